#include "field_text.h"

#include "byte_blocks.h"
#include "errors.h"
#include "field_conversions.h"
#include "number_text.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstdlib>
#include <cstring>

namespace varnholt {

namespace {

    constexpr std::size_t notFound = std::string_view::npos;

    // The widths of the fields the fixed-width writers fill.
    constexpr std::size_t catalogueWidth = tle::place(1, tle::Field::catalogueNumber).width;
    constexpr std::size_t firstDerivativeWidth = tle::place(1, tle::Field::firstDerivative).width;
    constexpr std::size_t exponentWidth = tle::place(1, tle::Field::bstar).width;
    constexpr std::size_t eccentricityWidth = tle::place(2, tle::Field::eccentricity).width;
    static_assert(tle::place(1, tle::Field::secondDerivative).width == exponentWidth);

    bool isDigit(char c) noexcept { return c >= '0' && c <= '9'; }

    // The characters at positions from..to (counted from 1) that the text has.
    std::string_view positions(std::string_view text, std::size_t from, std::size_t to) noexcept
    {
        if (text.size() < from)
            return {};
        return text.substr(from - 1, to - from + 1);
    }

    std::string prefixed(std::size_t count, char fill, std::string_view text)
    {
        std::string result(count, fill);
        result += text;
        return result;
    }

    void decimalOrThrow(PaddedText text, DecimalDigits &digits)
    {
        if (!DecimalDigits::parse(text, digits))
            throw ConversionError(floatMessage(text));
    }

    constexpr std::array<int, 13> daysBeforeMonth { 0, 0, 31, 59, 90, 120, 151, 181, 212, 243, 273,
        304, 334 };

    // Two digit characters as a number, or -1.
    int twoDigits(std::string_view text) noexcept
    {
        if (text.size() != 2 || !isDigit(text[0]) || !isDigit(text[1]))
            return -1;
        return (text[0] - '0') * 10 + (text[1] - '0');
    }

    // Four decimal digits of `value` (below 10 000), computed apart from each
    // other rather than in one chain of divisions.
    void writeDigits4(std::uint32_t value, char *out) noexcept
    {
        const std::uint32_t high = value / 100;
        const std::uint32_t low = value % 100;
        out[0] = static_cast<char>('0' + high / 10);
        out[1] = static_cast<char>('0' + high % 10);
        out[2] = static_cast<char>('0' + low / 10);
        out[3] = static_cast<char>('0' + low % 10);
    }

    // Eight decimal digits of `value` (below 10^8), zeros in front.
    void writeDigits8(std::uint32_t value, char *out) noexcept
    {
        writeDigits4(value / 10000, out);
        writeDigits4(value % 10000, out + 4);
    }

    // The eight fraction digits of a day for a time of day in microseconds.
    // A day has 86 400 000 000 microseconds, so they are floor(micro / 864).
    // When the division leaves no remainder the double computed by the
    // reference rule may sit a hair below the exact value, so that case (one
    // in 864) is left to the reference rule: false, and nothing written.
    bool writeDayFraction(std::int64_t micro, char *out) noexcept
    {
        if (micro % 864 == 0)
            return false;
        writeDigits8(static_cast<std::uint32_t>((micro / 864) % 100'000'000), out);
        return true;
    }

    // The days of the year before the first of `month`, February 29 counted
    // in every year divisible by 4. Month 0 finds 0 in the table, as any month
    // outside 1-12 must.
    int daysBefore(int year, int month) noexcept
    {
        const int days = static_cast<unsigned>(month) <= 12
            ? daysBeforeMonth[static_cast<std::size_t>(month)]
            : 0;
        return days + static_cast<int>((year % 4 == 0) & (month > 2));
    }

    // The day of the year in at least three digits, zeros in front; returns
    // the end of what it wrote.
    char *writeDayOfYear(int day, char *out) noexcept
    {
        if (day >= 0 && day <= 999) {
            char digits[4];
            writeDigits4(static_cast<std::uint32_t>(day), digits);
            return std::copy(digits + 1, digits + 4, out);
        }
        char dayText[12];
        const auto dayLength = static_cast<std::size_t>(
            std::to_chars(dayText, dayText + sizeof dayText, day).ptr - dayText);
        for (std::size_t k = dayLength; k < 3; ++k)
            *out++ = '0';
        return std::copy(dayText, dayText + dayLength, out);
    }

    // The common epoch form "hh:mm:ss.ffffff": the fraction's eight digits
    // straight from the exact time in microseconds. Returns false when the
    // form is not the common one, or the reference rule must decide.
    bool fastFractionDigits(std::string_view hours,
        std::string_view minutes,
        std::string_view seconds,
        char *out) noexcept
    {
        const int h = twoDigits(hours);
        const int m = twoDigits(minutes);
        if (h < 0 || m < 0 || seconds.size() < 2)
            return false;
        const int s = twoDigits(seconds.substr(0, 2));
        if (s < 0)
            return false;
        std::int64_t micro = 0;
        if (seconds.size() > 2) {
            if (seconds[2] != '.')
                return false;
            const std::string_view fraction = seconds.substr(3);
            if (fraction.size() == 6) {
                // The published form, six decimals: no loop whose length varies.
                bool digits = true;
                for (char c : fraction) {
                    digits &= isDigit(c);
                    micro = micro * 10 + (c - '0');
                }
                if (!digits)
                    return false;
            } else {
                int place = 100000;
                for (char c : fraction) {
                    if (!isDigit(c))
                        return false;
                    micro += std::int64_t { c - '0' } * place;
                    place /= 10;
                }
            }
        }
        return writeDayFraction(((std::int64_t { h } * 60 + m) * 60 + s) * 1'000'000 + micro, out);
    }

    // The mask readers take sixteen bytes from a text's start, whatever its length.
    static_assert(PaddedText::padding >= blocks::width);

    // Bit k set for each of the first `size` (at most 16) characters.
    unsigned textMask(std::size_t size) noexcept { return (1U << size) - 1; }

} // namespace

void doesNotFit(std::string_view text) { throw ConversionError(doesNotFitMessage(text)); }

namespace {

    // Digits with at most one point among or after them, one at a time.
    bool isPlainDecimal(std::string_view text) noexcept
    {
        std::size_t points = 0;
        for (char c : text) {
            if (c == '.')
                ++points;
            else if (!isDigit(c))
                return false;
        }
        return points <= 1;
    }

    // Whether digit and point masks of sixteen bytes show digits with at most
    // one point in the characters `inText` marks.
    bool isPlainDecimal(unsigned digits, unsigned points, unsigned inText) noexcept
    {
        const unsigned pointsInText = points & inText;
        return ((digits | pointsInText) & inText) == inText
            && (pointsInText & (pointsInText - 1)) == 0;
    }

    // Out of line, so that the checks that call it stay small enough to be
    // inlined where they run for every row.
    [[noreturn]] void notDecimal(std::string_view text)
    {
        throw ConversionError(floatMessage(text));
    }

} // namespace

void checkDecimalField(PaddedText text)
{
    // A text of up to sixteen characters reads off two masks.
    if (text.size() <= blocks::width) {
        const char *buffer = text.data();
        if (isPlainDecimal(
                blocks::digitMask(buffer), blocks::equalMask(buffer, '.'), textMask(text.size())))
            return;
    } else if (isPlainDecimal(text)) {
        return;
    }
    notDecimal(text);
}

void checkDigitsField(PaddedText text)
{
    bool digits = false;
    if (text.size() <= blocks::width) {
        const unsigned inText = textMask(text.size());
        digits = (blocks::digitMask(text.data()) & inText) == inText;
    } else {
        const std::string_view all = text;
        digits = std::all_of(all.begin(), all.end(), isDigit);
    }
    if (!digits)
        throw ConversionError(integerMessage(text));
}

namespace {

    // With `plainOnly`, a text that is not digits with at most one point, or
    // is empty, throws the floating point message, as the entry assembly
    // needs; without it, any decimal text reads.
    template <bool plainOnly> std::size_t inclinationBlanks(PaddedText text)
    {
        // The usual form: digits without a leading zero (or a lone "0"), a point,
        // at least one digit, nothing else. The number of digits before the
        // point then says where the value lies against 10 and 100.
        // At most 15 digits, so that the double the value reads as cannot reach
        // the next power of ten ("9.999999999999999999" reads as 10).
        if (!text.empty() && text.size() <= 16) {
            const char *buffer = text.data();
            const auto size = static_cast<unsigned>(text.size());
            const unsigned inText = textMask(size);
            const blocks::DecimalClasses kinds = blocks::classifyDecimal(buffer, size);
            const unsigned points = kinds.point;
            const auto point = static_cast<unsigned>(std::countr_zero(points | (1U << 16)));
            if ((kinds.digit | points) == inText && points == (1U << point) && point >= 1
                && point + 1 < size && (buffer[0] != '0' || point == 1))
                return static_cast<std::size_t>(point == 1) * 2
                    + static_cast<std::size_t>(point == 2);
            if constexpr (plainOnly)
                if (!isPlainDecimal(kinds.digit, points, inText))
                    notDecimal(text);
        } else if constexpr (plainOnly) {
            if (text.empty() || !isPlainDecimal(text))
                notDecimal(text);
        }

        std::size_t blanks = 0;
        DecimalDigits parsed;
        const DecimalDigits *digits = DecimalDigits::parse(text, parsed) ? &parsed : nullptr;
        // Digits alone give a value of at least 100 from the third place before
        // the point on, which no double reads below 100: so such a text, too
        // long for a double, does not fit rather than fails to read.
        if (plainOnly && digits && !digits->isZero() && digits->exponent() >= 3)
            return 0;
        if (digits && digits->significantCount() <= 15 && digits->exponent() < 300) {
            // Up to 15 digits the nearest double lies on the same side of 10 and
            // 100 as the value written, so the digits alone decide.
            const bool belowOne = digits->isZero() || digits->negative();
            if (belowOne || digits->exponent() <= 1)
                ++blanks;
            if (belowOne || digits->exponent() <= 2)
                ++blanks;
        } else {
            const double value = readDecimalText(text);
            if (value < 10)
                ++blanks;
            if (value < 100)
                ++blanks;
        }
        return blanks;
    }

} // namespace

std::size_t inclinationFill(PaddedText text) { return inclinationBlanks<false>(text); }

std::size_t inclinationFieldFill(PaddedText text) { return inclinationBlanks<true>(text); }

std::string_view CompleteFixed(std::string_view text, std::size_t decimals, std::string &scratch)
{
    if (isCompleteFixed(text))
        return text;
    if (!text.empty() && text[0] == '.') {
        scratch.assign(1, '0');
        scratch += text;
        return scratch;
    }
    if (!text.empty() && std::all_of(text.begin(), text.end(), isDigit)) {
        scratch.assign(text);
        scratch += '.';
        scratch.append(decimals, '0');
        return scratch;
    }
    return text;
}

void writeExponentField(PaddedText text, char *out)
{
    // Sign, mantissa digits, exponent sign, exponent digit.
    constexpr std::size_t mantissaDigits = exponentWidth - 3;
    static constexpr std::string_view zero = " 00000+0";
    static_assert(zero.size() == exponentWidth);
    std::copy(zero.begin(), zero.end(), out);
    if (text.empty() || std::string_view(text) == "0")
        return;
    DecimalDigits digits;
    decimalOrThrow(text, digits);
    if (digits.isZero())
        return;
    char mantissa[mantissaDigits];
    const std::int64_t exponent
        = digits.roundedSignificant(static_cast<int>(mantissaDigits), mantissa);
    if (exponent < -9)
        return;
    if (exponent > 9)
        doesNotFit(text);
    out[0] = digits.negative() ? '-' : ' ';
    std::copy(mantissa, mantissa + mantissaDigits, out + 1);
    out[exponentWidth - 2] = exponent < 0 ? '-' : '+';
    out[exponentWidth - 1] = static_cast<char>('0' + std::llabs(exponent));
}

void writeNdot(PaddedText text, char *out)
{
    // Sign, point, decimals.
    constexpr std::size_t decimals = firstDerivativeWidth - 2;
    static constexpr std::string_view zero = " .00000000";
    static_assert(zero.size() == firstDerivativeWidth);
    std::copy(zero.begin(), zero.end(), out);
    if (text.empty() || std::string_view(text) == "0")
        return;
    DecimalDigits digits;
    decimalOrThrow(text, digits);
    if (!digits.fixedFraction(static_cast<int>(decimals), out + 2))
        doesNotFit(text);
    // A value that rounds to zero is written unsigned.
    if (digits.negative()
        && std::any_of(out + 2, out + firstDerivativeWidth, [](char c) { return c != '0'; }))
        out[0] = '-';
}

void writeEccentricity(PaddedText text, char *out)
{
    DecimalDigits digits;
    decimalOrThrow(text, digits);
    if (digits.isZero()) {
        std::fill(out, out + eccentricityWidth, '0');
        return;
    }
    if (digits.negative() || digits.exponent() > 0)
        doesNotFit(text);
    digits.digits(digits.exponent() + 1, static_cast<int>(eccentricityWidth), out);
}

namespace {

    [[noreturn]] void noFiveDigitStandIn(std::string_view text)
    {
        throw ConversionError("Catalogue number '" + std::string(text)
            + "' is above 119999 and has no five-digit stand-in");
    }

    // The five-digit stand-in of a number above 99999 (`text` its row's text).
    std::uint32_t fiveDigitStandIn(std::uint32_t value, std::string_view text)
    {
        if (value > 119'999)
            noFiveDigitStandIn(text);
        return value - 20'000;
    }

} // namespace

void writeCatalogueNumber(std::string_view text, char *out, CatalogueForm form)
{
    static constexpr std::string_view alpha = "ABCDEFGHJKLMNPQRSTUVWXYZ"; // 10 to 33
    static_assert(catalogueWidth == 5, "written as a digit or letter and four digits");
    const auto write = [&out](std::uint32_t value) {
        writeDigits4(value % 10000, out + 1);
        const std::uint32_t high = value / 10000;
        out[0] = high < 10 ? static_cast<char>('0' + high) : alpha[high - 10];
    };
    const bool standIns = form == CatalogueForm::fiveDigits;
    // The usual text, one to six digits: right-aligned among zeros, it reads
    // in a loop of fixed length.
    if (!text.empty() && text.size() <= 6) {
        char digits[6] = { '0', '0', '0', '0', '0', '0' };
        blocks::copyShort(digits + 6 - text.size(), text.data(), text.size());
        bool allDigits = true;
        std::uint32_t value = 0;
        for (char c : digits) {
            allDigits &= isDigit(c);
            value = value * 10 + static_cast<std::uint32_t>(c - '0');
        }
        if (allDigits && value <= 339'999) {
            write(value > 99'999 && standIns ? fiveDigitStandIn(value, text) : value);
            return;
        }
    }
    if (text.size() == catalogueWidth && alpha.find(text[0]) != notFound
        && std::all_of(text.begin() + 1, text.end(), isDigit)) {
        if (!standIns) {
            std::copy(text.begin(), text.end(), out);
            return;
        }
        std::uint32_t value = static_cast<std::uint32_t>(alpha.find(text[0]) + 10);
        for (char c : text.substr(1))
            value = value * 10 + static_cast<std::uint32_t>(c - '0');
        write(fiveDigitStandIn(value, text));
        return;
    }
    const auto invalid = [&] { return ConversionError(catalogueMessage(text)); };
    if (text.empty() || !std::all_of(text.begin(), text.end(), isDigit))
        throw invalid();
    const std::string_view significant
        = text.substr(std::min(text.find_first_not_of('0'), text.size()));
    std::uint32_t value = 0;
    for (char c : significant.substr(0, 7))
        value = value * 10 + static_cast<std::uint32_t>(c - '0');
    if (significant.size() > 6 || value > 339'999) {
        if (standIns)
            noFiveDigitStandIn(text);
        throw invalid();
    }
    write(value > 99'999 && standIns ? fiveDigitStandIn(value, text) : value);
}

namespace {

    // The published form "yyyy-mm-ddThh:mm:ss.ffffff" (26 characters) with
    // digits where the fields are read: the same values as the general way
    // below, read at fixed places. False for any other text, and for the one
    // time in 864 where the reference rule decides the fraction.
    bool writePublishedEpoch(std::string_view text, char *out) noexcept
    {
        constexpr std::size_t size = 26;
        if (text.size() != size)
            return false;
        std::array<char, 2 * blocks::width> b {};
        std::memcpy(b.data(), text.data(), size);
        const std::uint32_t digits = blocks::digitMask(b.data())
            | std::uint32_t { blocks::digitMask(b.data() + 16) } << 16;
        constexpr std::uint32_t needed = 0b11'1111'0110'1101'1011'0110'1100U; // 2-3, 5-6, ... 20-25
        if ((digits & needed) != needed || b[19] != '.')
            return false;
        const auto two = [&b](std::size_t k) { return (b[k] - '0') * 10 + (b[k + 1] - '0'); };
        const std::int64_t micro
            = std::int64_t { two(20) } * 10000 + std::int64_t { two(22) } * 100 + two(24);
        // The day of the year has three digits here (at most 335 + 99), so the
        // fraction's place is known.
        if (!writeDayFraction(
                ((std::int64_t { two(11) } * 60 + two(14)) * 60 + two(17)) * 1'000'000 + micro,
                out + 6))
            return false;
        out[0] = b[2];
        out[1] = b[3];
        writeDayOfYear(daysBefore(two(2), two(5)) + two(8), out + 2);
        out[5] = '.';
        return true;
    }

} // namespace

std::size_t writeEpoch(std::string_view text, char *out)
{
    if (writePublishedEpoch(text, out))
        return 14;

    const std::string_view yearText = positions(text, 3, 4);
    // Two plain digits are by far the usual case; anything else takes the full reader.
    const auto integerAt = [](std::string_view part) {
        const int value = twoDigits(part);
        return value >= 0 ? value : readIntegerText(part);
    };
    const int month = integerAt(positions(text, 6, 7));
    const int year = integerAt(yearText);
    const int day = daysBefore(year, month) + integerAt(positions(text, 9, 10));

    const std::string_view secondsText = positions(text, 18, 26);
    const std::string_view hoursText = positions(text, 12, 13);
    const std::string_view minutesText = positions(text, 15, 16);
    char fraction[8];
    if (!fastFractionDigits(hoursText, minutesText, secondsText, fraction)) {
        const double seconds = readDecimalText(secondsText);
        const double hours = readDecimalText(hoursText);
        const double minutes = readDecimalText(minutesText);
        const double f = (hours * 60 + minutes + seconds / 60) / 1440;
        if (f < 0)
            doesNotFit(text);
        const std::string digits = dayFractionDigits(f);
        std::copy(digits.begin(), digits.end(), fraction);
    }

    char *p = std::copy(yearText.begin(), yearText.end(), out);
    p = writeDayOfYear(day, p);
    *p++ = '.';
    p = std::copy(fraction, fraction + 8, p);
    return static_cast<std::size_t>(p - out);
}

std::string PadInclination(std::string_view text)
{
    return prefixed(inclinationFill(PaddedCopy(text).text()), ' ', text);
}

std::string PadAngle(std::string_view text) { return prefixed(angleFill(text), ' ', text); }

std::string ConvertBstar(std::string_view text)
{
    std::string result(exponentWidth, ' ');
    writeExponentField(PaddedCopy(text).text(), result.data());
    return result;
}

std::string ConvertNdot(std::string_view text)
{
    std::string result(firstDerivativeWidth, ' ');
    writeNdot(PaddedCopy(text).text(), result.data());
    return result;
}

std::string dayFractionDigits(double f)
{
    std::string result(8, '0');
    if (f == 0)
        return result;
    // 15 significant digits: d.dddddddddddddde±x
    std::array<char, 40> buffer {};
    const auto [end, ec] = std::to_chars(
        buffer.data(), buffer.data() + buffer.size(), f, std::chars_format::scientific, 14);
    const std::string_view text(buffer.data(), static_cast<std::size_t>(end - buffer.data()));
    const std::size_t e = text.find('e');
    int power = 0;
    std::from_chars(text.data() + e + 1 + (text[e + 1] == '+' ? 1 : 0), end, power);
    std::string mantissa;
    for (char c : text.substr(0, e))
        if (isDigit(c))
            mantissa += c;
    // mantissa[0] has the place 10^power; decimal j after the point has 10^-j.
    for (int j = 1; j <= 8; ++j) {
        const int index = power + j;
        if (index >= 0 && index < static_cast<int>(mantissa.size()))
            result[static_cast<std::size_t>(j - 1)] = mantissa[static_cast<std::size_t>(index)];
    }
    return result;
}

std::string ConvertEpoch(std::string_view text)
{
    char out[epochCapacity];
    return std::string(out, writeEpoch(text, out));
}

std::string CatalogueNumber(std::string_view text)
{
    return CatalogueNumber(text, CatalogueForm::letters);
}

std::string CatalogueNumber(std::string_view text, CatalogueForm form)
{
    std::string result(catalogueWidth, ' ');
    writeCatalogueNumber(text, result.data(), form);
    return result;
}

std::string EccentricityDigits(std::string_view text)
{
    std::string result(eccentricityWidth, '0');
    writeEccentricity(PaddedCopy(text).text(), result.data());
    return result;
}

std::string IntlDesignator(std::string_view text)
{
    std::string result(positions(text, 3, 4));
    result += positions(text, 6, 11);
    return result;
}

std::string PadArgPerigee(std::string_view text) { return prefixed(angleFill(text), '0', text); }

std::string PadMeanMotion(std::string_view text)
{
    return prefixed(meanMotionFill(text), ' ', text);
}

std::string RightAlign(std::string_view text, std::size_t width)
{
    return prefixed(rightAlignFill(text, width), ' ', text);
}

char Checksum(std::string_view line)
{
    unsigned sum = 0;
    const std::size_t count = line.empty() ? 0 : line.size() - 1;
    std::size_t i = 0;
    for (; i + blocks::width <= count; i += blocks::width)
        sum += blocks::checksumCount(line.data() + i);
    if (i < count && count >= blocks::width) {
        // The last sixteen characters, less those already counted.
        const std::size_t last = count - blocks::width;
        sum += blocks::checksumCount(line.data() + last, static_cast<unsigned>(i - last));
        i = count;
    }
    for (; i < count; ++i) {
        const auto c = static_cast<unsigned char>(line[i]);
        const auto digit = static_cast<unsigned char>(c - '0');
        sum += digit < 10 ? digit : static_cast<unsigned>(c == '-');
    }
    return static_cast<char>('0' + sum % 10);
}

} // namespace varnholt
