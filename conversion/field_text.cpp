#include "field_text.h"

#include "errors.h"
#include "number_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdlib>

namespace varnholt {

namespace {

    constexpr std::size_t notFound = std::string_view::npos;

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

    [[noreturn]] void doesNotFit(std::string_view text)
    {
        throw ConversionError(doesNotFitMessage(text));
    }

    DecimalDigits decimalOrThrow(std::string_view text)
    {
        const auto digits = DecimalDigits::parse(text);
        if (!digits)
            throw ConversionError(floatMessage(text));
        return *digits;
    }

    constexpr std::array<int, 13> daysBeforeMonth { 0, 0, 31, 59, 90, 120, 151,
                                                     181, 212, 243, 273, 304, 334 };

    // Two digit characters as a number, or -1.
    int twoDigits(std::string_view text) noexcept
    {
        if (text.size() != 2 || !isDigit(text[0]) || !isDigit(text[1]))
            return -1;
        return (text[0] - '0') * 10 + (text[1] - '0');
    }

    // The common epoch form "hh:mm:ss.ffffff": the fraction's eight digits
    // straight from the exact time in microseconds. A day has 86 400 000 000
    // microseconds, so the eight digits are floor(micro / 864). When the
    // division leaves no remainder the double computed by the reference rule
    // may sit a hair below the exact value, so that case (one in 864) takes the
    // reference rule. Returns false when the form is not the common one.
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
            int place = 100000;
            for (char c : fraction) {
                if (!isDigit(c))
                    return false;
                micro += (c - '0') * place;
                place /= 10;
            }
        }
        const std::int64_t total = ((std::int64_t { h } * 60 + m) * 60 + s) * 1'000'000 + micro;
        if (total % 864 == 0)
            return false;
        std::int64_t digits = (total / 864) % 100'000'000;
        for (int k = 7; k >= 0; --k) {
            out[k] = static_cast<char>('0' + digits % 10);
            digits /= 10;
        }
        return true;
    }

} // namespace

std::string PadInclination(std::string_view text)
{
    std::size_t blanks = 0;
    const auto digits = DecimalDigits::parse(text);
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
    return prefixed(blanks, ' ', text);
}

std::string PadAngle(std::string_view text)
{
    const std::size_t point = text.find('.');
    if (point == 1)
        return prefixed(2, ' ', text);
    if (point == 2)
        return prefixed(1, ' ', text);
    return std::string(text);
}

std::string ConvertBstar(std::string_view text)
{
    static constexpr std::string_view zero = " 00000+0";
    if (text.empty())
        return std::string(zero);
    const DecimalDigits digits = decimalOrThrow(text);
    if (digits.isZero())
        return std::string(zero);
    std::string result(8, ' ');
    const std::int64_t exponent = digits.roundedSignificant(5, &result[1]);
    if (exponent < -9)
        return std::string(zero);
    if (exponent > 9)
        doesNotFit(text);
    if (digits.negative())
        result[0] = '-';
    result[6] = exponent < 0 ? '-' : '+';
    result[7] = static_cast<char>('0' + std::llabs(exponent));
    return result;
}

std::string ConvertNdot(std::string_view text)
{
    std::string result(" .00000000");
    if (text.empty())
        return result;
    const DecimalDigits digits = decimalOrThrow(text);
    if (!digits.fixedFraction(8, &result[2]))
        doesNotFit(text);
    // A value that rounds to zero is written unsigned.
    if (digits.negative() && result.find_first_not_of('0', 2) != notFound)
        result[0] = '-';
    return result;
}

std::string dayFractionDigits(double f)
{
    std::string result(8, '0');
    if (f == 0)
        return result;
    // 15 significant digits: d.dddddddddddddde±x
    std::array<char, 40> buffer {};
    const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), f,
                                         std::chars_format::scientific, 14);
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
    const std::string_view yearText = positions(text, 3, 4);
    // Two plain digits are by far the usual case; anything else takes the full reader.
    const auto integerAt = [](std::string_view part) {
        const int value = twoDigits(part);
        return value >= 0 ? value : readIntegerText(part);
    };
    const int month = integerAt(positions(text, 6, 7));
    const int year = integerAt(yearText);
    int day = month >= 1 && month <= 12 ? daysBeforeMonth[static_cast<std::size_t>(month)] : 0;
    if (year % 4 == 0 && month > 2)
        ++day;
    day += integerAt(positions(text, 9, 10));

    const std::string_view secondsText = positions(text, 18, 26);
    const std::string_view hoursText = positions(text, 12, 13);
    const std::string_view minutesText = positions(text, 15, 16);
    std::array<char, 8> fraction {};
    if (!fastFractionDigits(hoursText, minutesText, secondsText, fraction.data())) {
        const double seconds = readDecimalText(secondsText);
        const double hours = readDecimalText(hoursText);
        const double minutes = readDecimalText(minutesText);
        const double f = (hours * 60 + minutes + seconds / 60) / 1440;
        if (f < 0)
            doesNotFit(text);
        const std::string digits = dayFractionDigits(f);
        std::copy(digits.begin(), digits.end(), fraction.begin());
    }

    std::string result(yearText);
    std::array<char, 12> dayText {};
    const auto dayEnd = std::to_chars(dayText.data(), dayText.data() + dayText.size(), day).ptr;
    const auto dayLength = static_cast<std::size_t>(dayEnd - dayText.data());
    if (dayLength < 3)
        result.append(3 - dayLength, '0');
    result.append(dayText.data(), dayLength);
    result += '.';
    result.append(fraction.data(), fraction.size());
    return result;
}

std::string CatalogueNumber(std::string_view text)
{
    static constexpr std::string_view alpha = "ABCDEFGHJKLMNPQRSTUVWXYZ"; // 10 to 33
    const auto invalid = [&] {
        return ConversionError(catalogueMessage(text));
    };
    if (text.size() == 5 && alpha.find(text[0]) != notFound
        && std::all_of(text.begin() + 1, text.end(), isDigit))
        return std::string(text);
    if (text.empty() || !std::all_of(text.begin(), text.end(), isDigit))
        throw invalid();
    const std::string_view significant = text.substr(std::min(text.find_first_not_of('0'), text.size()));
    if (significant.size() > 6)
        throw invalid();
    int value = 0;
    for (char c : significant)
        value = value * 10 + (c - '0');
    if (value > 339'999)
        throw invalid();
    std::string result(5, '0');
    int rest = value;
    for (int k = 4; k >= 1; --k) {
        result[static_cast<std::size_t>(k)] = static_cast<char>('0' + rest % 10);
        rest /= 10;
    }
    result[0] = rest < 10 ? static_cast<char>('0' + rest) : alpha[static_cast<std::size_t>(rest - 10)];
    return result;
}

std::string EccentricityDigits(std::string_view text)
{
    const DecimalDigits digits = decimalOrThrow(text);
    if (digits.isZero())
        return std::string(7, '0');
    if (digits.negative() || digits.exponent() > 0)
        doesNotFit(text);
    std::string result(7, '0');
    for (int j = 1; j <= 7; ++j)
        result[static_cast<std::size_t>(j - 1)] = digits.digit(digits.exponent() + j);
    return result;
}

std::string IntlDesignator(std::string_view text)
{
    std::string result(positions(text, 3, 4));
    result += positions(text, 6, 11);
    return result;
}

std::string PadArgPerigee(std::string_view text)
{
    const std::size_t point = text.find('.');
    if (point == 1)
        return prefixed(2, '0', text);
    if (point == 2)
        return prefixed(1, '0', text);
    return std::string(text);
}

std::string PadMeanMotion(std::string_view text)
{
    return text.find('.') == 1 ? prefixed(1, ' ', text) : std::string(text);
}

std::string RightAlign(std::string_view text, std::size_t width)
{
    // An empty text places nothing, so a long text before it keeps its characters.
    if (text.empty())
        return {};
    return prefixed(text.size() < width ? width - text.size() : 0, ' ', text);
}

char Checksum(std::string_view line)
{
    // Written without branches or tables so that the compiler vectorises it.
    unsigned sum = 0;
    const std::size_t count = line.empty() ? 0 : line.size() - 1;
    for (std::size_t i = 0; i < count; ++i) {
        const auto c = static_cast<unsigned char>(line[i]);
        const auto digit = static_cast<unsigned char>(c - '0');
        sum += digit < 10 ? digit : static_cast<unsigned>(c == '-');
    }
    return static_cast<char>('0' + sum % 10);
}

} // namespace varnholt
