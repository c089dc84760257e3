// The number readers and every field conversion on one arbitrary text, each
// checked against the grammar and value rules written out independently.

#include "errors.h"
#include "field_conversions.h"
#include "fuzz_support.h"
#include "number_text.h"
#include "row_columns.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace {

using namespace varnholt;
using namespace varnholt::fuzz;

// Runs `f`; the conversion's text, or nothing with `message` set.
template <class F> std::optional<std::string> attempt(F f, std::string &message)
{
    try {
        return f();
    } catch (const ConversionError &error) {
        message = error.what();
        return std::nullopt;
    }
}

// Runs a check; false with `message` set when it throws.
template <class F> bool passes(F check, std::string &message)
{
    try {
        check();
        return true;
    } catch (const ConversionError &error) {
        message = error.what();
        return false;
    }
}

void checkInteger(std::string_view text)
{
    const auto expected = referenceInteger(text);
    try {
        const std::int32_t value = readIntegerText(text);
        require(expected.has_value(), "an integer text that is not one was read", text);
        require(value == *expected, "an integer text read to the wrong value", text);
    } catch (const ConversionError &error) {
        require(!expected.has_value(), "a valid integer text was refused", text);
        require(error.what() == integerText(text), "wrong integer message", error.what());
    }
}

void checkDecimal(std::string_view text)
{
    const auto reference = referenceDecimal(text);
    require(DecimalDigits::parse(PaddedCopy(text).text()).has_value() == reference.has_value(),
        "the decimal grammars disagree", text);
    bool range = false;
    const double expected = reference ? referenceDouble(*reference, range) : 0.0;
    try {
        const double value = readDecimalText(text);
        require(reference.has_value(), "a decimal text that is not one was read", text);
        require(!std::isinf(expected), "an overflowing decimal text was read", text);
        if (range && std::fabs(expected) < DBL_MIN)
            require(value == 0 || value == expected, "an underflowing text read wrongly", text);
        else
            require(value == expected && std::signbit(value) == std::signbit(expected),
                "a decimal text read to the wrong value", text);
    } catch (const ConversionError &error) {
        require(!reference.has_value() || std::isinf(expected), "a valid decimal text was refused",
            text);
        require(error.what() == floatText(text), "wrong floating point message", error.what());
    }
}

void checkInclination(std::string_view text)
{
    std::string message;
    const auto result = attempt([&] { return PadInclination(text); }, message);
    const auto reference = referenceDecimal(text);
    bool range = false;
    const double value = reference ? referenceDouble(*reference, range) : 0.0;
    if (!reference || std::isinf(value)) {
        require(!result && message == floatText(text), "inclination: wrong failure", text);
        return;
    }
    require(result.has_value(), "inclination refused", message);
    const std::size_t blanks = (value < 10 ? 1U : 0U) + (value < 100 ? 1U : 0U);
    require(*result == std::string(blanks, ' ') + std::string(text), "inclination padded wrongly",
        text);
}

// The inclination as the entry assembly places it: digits with at most one
// point, padded as PadInclination pads; a text too long for a double has a
// value of 100 or more.
void checkInclinationField(std::string_view text)
{
    std::string message;
    const PaddedCopy copy(text);
    const auto blanks
        = attempt([&] { return std::string(inclinationFieldFill(copy.text()), ' '); }, message);
    if (!isPlainDecimalText(text)) {
        require(!blanks && message == floatText(text), "inclination field: wrong failure", text);
        return;
    }
    require(blanks.has_value(), "inclination field refused", message);
    bool range = false;
    const double value = referenceDouble(*referenceDecimal(text), range);
    require(blanks->size() == (value < 10 ? 1U : 0U) + (value < 100 ? 1U : 0U),
        "inclination field padded wrongly", text);
}

void checkPads(std::string_view text)
{
    const std::size_t point = text.find('.');
    const std::size_t fill = point == 1 ? 2 : point == 2 ? 1 : 0;
    require(
        PadAngle(text) == std::string(fill, ' ') + std::string(text), "angle padded wrongly", text);
    require(PadArgPerigee(text) == std::string(fill, '0') + std::string(text),
        "argument of perigee padded wrongly", text);
    require(PadMeanMotion(text) == std::string(point == 1 ? 1 : 0, ' ') + std::string(text),
        "mean motion padded wrongly", text);
}

// The checks of the texts placed as they stand, on a copy of the text with NUL
// bytes behind it and, when it holds no comma, on the text as the first column
// of a kept row, read where it stands with a comma and a column of points
// behind it: digits with at most one point, or digits only; an empty text
// passes both.
void checkNumberFields(std::string_view text)
{
    const bool reads = text.empty() || isPlainDecimalText(text);
    const bool digits = text.find_first_not_of("0123456789") == std::string_view::npos;
    const auto judge = [&](PaddedText checked) {
        std::string message;
        const bool decimalPassed = passes([&] { checkDecimalField(checked); }, message);
        require(decimalPassed == reads, "a decimal field's text judged wrongly", text);
        require(decimalPassed || message == floatText(text), "wrong decimal message", message);
        const bool digitsPassed = passes([&] { checkDigitsField(checked); }, message);
        require(digitsPassed == digits, "a count field's text judged wrongly", text);
        require(digitsPassed || message == integerText(text), "wrong count message", message);
    };
    judge(PaddedCopy(text).text());
    if (text.find(',') == std::string_view::npos) {
        RowColumns row;
        const std::string line
            = std::string(text) + ',' + std::string(32, '.') + std::string(15, ',');
        require(row.split(line) == RowColumns::count, "a row of 17 columns was not split", line);
        require(row[1].view() == text, "the kept column is not the text", text);
        judge(row[1]);
    }
}

// A rounded fixed-point or exponent result against the exact value: within
// half a unit of its last digit (with room for long double's own rounding).
bool withinHalfUnit(long double exact, long double written, long double unit)
{
    return std::fabs(exact - written) <= unit / 2 * (1 + 1e-9L) + std::fabs(exact) * 1e-15L;
}

void checkBstar(std::string_view text)
{
    std::string message;
    const auto result = attempt([&] { return ConvertBstar(text); }, message);
    if (text.empty()) {
        require(result == " 00000+0", "an empty BSTAR is not zero");
        return;
    }
    const auto reference = referenceDecimal(text);
    if (!reference) {
        require(!result && message == floatText(text), "BSTAR: wrong failure", message);
        return;
    }
    const long double value = std::fabs(referenceLongDouble(*reference));
    if (!result) {
        require(message == fitText(text), "BSTAR: wrong message", message);
        require(value >= 0.99999e9L, "BSTAR refused a value that fits", text);
        return;
    }
    const std::string &r = *result;
    require(r.size() == 8 && (r[0] == ' ' || r[0] == '-') && (r[6] == '+' || r[6] == '-')
            && isDigitChar(r[7])
            && r.substr(1, 5).find_first_not_of("0123456789") == std::string::npos,
        "BSTAR is not an exponent field", r);
    if (r == " 00000+0") {
        require(!reference->nonZero || value < 1.00001e-10L, "BSTAR lost a value", text);
        return;
    }
    require(r[1] != '0', "BSTAR mantissa not normalised", r);
    require((r[0] == '-') == reference->negative, "BSTAR sign wrong", text);
    const int exponent = (r[6] == '-' ? -1 : 1) * (r[7] - '0');
    const long double mantissa = std::strtold(("0." + r.substr(1, 5)).c_str(), nullptr);
    const long double scale = std::pow(10.0L, exponent);
    require(withinHalfUnit(value, mantissa * scale, 1e-5L * scale), "BSTAR rounded wrongly",
        std::string(text) + " -> " + r);
}

void checkNdot(std::string_view text)
{
    std::string message;
    const auto result = attempt([&] { return ConvertNdot(text); }, message);
    if (text.empty()) {
        require(result == " .00000000", "an empty first derivative is not zero");
        return;
    }
    const auto reference = referenceDecimal(text);
    if (!reference) {
        require(!result && message == floatText(text), "ndot: wrong failure", message);
        return;
    }
    const long double value = std::fabs(referenceLongDouble(*reference));
    if (!result) {
        require(message == fitText(text), "ndot: wrong message", message);
        require(value >= 0.99999999L, "ndot refused a value that fits", text);
        return;
    }
    const std::string &r = *result;
    require(r.size() == 10 && r[1] == '.' && (r[0] == ' ' || r[0] == '-')
            && r.substr(2).find_first_not_of("0123456789") == std::string::npos,
        "ndot is not sign, point and eight digits", r);
    const long double written = std::strtold(r.substr(1).c_str(), nullptr);
    require(withinHalfUnit(value, written, 1e-8L), "ndot rounded wrongly",
        std::string(text) + " -> " + r);
    require((r[0] == '-') == (reference->negative && written != 0), "ndot sign wrong", text);
}

void checkEccentricity(std::string_view text)
{
    std::string message;
    const auto result = attempt([&] { return EccentricityDigits(text); }, message);
    const auto reference = referenceDecimal(text);
    if (!reference) {
        require(!result && message == floatText(text), "eccentricity: wrong failure", message);
        return;
    }
    const long double value = referenceLongDouble(*reference);
    const bool fits = !reference->nonZero || (!reference->negative && reference->belowOne);
    if (!result) {
        require(message == fitText(text), "eccentricity: wrong message", message);
        require(!fits, "eccentricity refused a value that fits", text);
        return;
    }
    require(fits, "eccentricity accepted a value that does not fit", text);
    const std::string &r = *result;
    require(r.size() == 7 && r.find_first_not_of("0123456789") == std::string::npos,
        "eccentricity is not seven digits", r);
    const long double written = std::strtold(("0." + r).c_str(), nullptr);
    if (reference->nonZero)
        require(value - written >= -1e-15L && value - written < 1e-7L * (1 + 1e-9L),
            "eccentricity digits are not the value truncated", std::string(text) + " -> " + r);
    else
        require(r == "0000000", "a zero eccentricity is not zeros", text);
}

void checkCatalogue(std::string_view text)
{
    std::string message;
    const auto result = attempt([&] { return CatalogueNumber(text); }, message);
    const auto expected = referenceCatalogueText(text);
    if (expected)
        require(result == expected, "catalogue number reshaped wrongly", text);
    else
        require(!result && message == catalogueText(text), "catalogue number: wrong failure", text);
}

std::string_view part(std::string_view text, std::size_t from, std::size_t to)
{
    return text.size() < from ? std::string_view() : text.substr(from - 1, to - from + 1);
}

// The epoch by its reference rule, or the message of its first failing part.
std::string referenceEpoch(std::string_view text, bool &failed)
{
    failed = true;
    const std::string_view yearText = part(text, 3, 4);
    const auto month = referenceInteger(part(text, 6, 7));
    if (!month)
        return integerText(part(text, 6, 7));
    const auto year = referenceInteger(yearText);
    if (!year)
        return integerText(yearText);
    static constexpr int before[] = { 0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334 };
    long day = *month >= 1 && *month <= 12 ? before[*month - 1] : 0;
    if (*year % 4 == 0 && *month > 2)
        ++day;
    const auto dayOfMonth = referenceInteger(part(text, 9, 10));
    if (!dayOfMonth)
        return integerText(part(text, 9, 10));
    day += *dayOfMonth;
    double values[3] = {};
    const std::string_view parts[3]
        = { part(text, 18, 26), part(text, 12, 13), part(text, 15, 16) };
    for (int k = 0; k < 3; ++k) {
        const auto d = referenceDecimal(parts[k]);
        bool range = false;
        if (!d || std::isinf(values[k] = referenceDouble(*d, range)))
            return floatText(parts[k]);
        if (range && std::fabs(values[k]) < DBL_MIN)
            values[k] = 0; // the reader takes an underflow as zero
    }
    const double f = (values[1] * 60 + values[2] + values[0] / 60) / 1440;
    if (f < 0)
        return fitText(text);
    std::string fraction(8, '0');
    if (f != 0) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.14e", f);
        const std::string s = buffer;
        const std::string mantissa = s.substr(0, 1) + s.substr(2, 14);
        const int power = std::atoi(s.c_str() + s.find('e') + 1);
        for (int j = 1; j <= 8; ++j)
            if (power + j >= 0 && power + j < 15)
                fraction[static_cast<std::size_t>(j - 1)]
                    = mantissa[static_cast<std::size_t>(power + j)];
    }
    std::string dayText = std::to_string(day);
    if (dayText.size() < 3)
        dayText.insert(0, 3 - dayText.size(), '0');
    failed = false;
    return std::string(yearText) + dayText + "." + fraction;
}

void checkEpoch(std::string_view text)
{
    std::string message;
    const auto result = attempt([&] { return ConvertEpoch(text); }, message);
    bool failed = false;
    const std::string expected = referenceEpoch(text, failed);
    if (failed)
        require(!result && message == expected, "epoch: wrong failure", message + " / " + expected);
    else
        require(result == expected, "epoch converted wrongly",
            std::string(text) + " -> " + result.value_or(message) + " / " + expected);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char *>(data), size);
    const std::string_view text = bytes;
    checkInteger(text);
    checkDecimal(text);
    checkInclination(text);
    checkInclinationField(text);
    checkPads(text);
    checkNumberFields(text);
    checkBstar(text);
    checkNdot(text);
    checkEccentricity(text);
    checkCatalogue(text);
    checkEpoch(text);
    const std::string designator = IntlDesignator(text);
    require(designator == std::string(part(text, 3, 4)) + std::string(part(text, 6, 11)),
        "designator shaped wrongly", text);
    if (!text.empty()) {
        unsigned sum = 0;
        for (char c : text.substr(0, text.size() - 1))
            sum += isDigitChar(c) ? static_cast<unsigned>(c - '0') : c == '-' ? 1U : 0U;
        require(Checksum(text) == static_cast<char>('0' + sum % 10), "checksum wrong", text);
    }
    return 0;
}
