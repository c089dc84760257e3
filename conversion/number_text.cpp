#include "number_text.h"

#include "byte_blocks.h"
#include "errors.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <system_error>

namespace varnholt {

namespace {

    constexpr std::int64_t exponentLimit = 1'000'000'000'000LL;

    bool isDigit(char c) noexcept { return c >= '0' && c <= '9'; }

    int hexValue(char c) noexcept
    {
        if (isDigit(c))
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    }

    std::string_view skipBlanks(std::string_view text) noexcept
    {
        std::size_t i = 0;
        while (i < text.size() && text[i] == ' ')
            ++i;
        return text.substr(i);
    }

    std::string quoted(std::string_view text, std::string_view rest)
    {
        std::string message;
        message.reserve(text.size() + rest.size() + 2);
        message += '\'';
        // The message travels as a C string (what(), message boxes), which a
        // NUL byte would cut short; it is shown as "?".
        for (char c : text)
            message += c == '\0' ? '?' : c;
        message += '\'';
        message += rest;
        return message;
    }

    std::optional<std::int32_t> parseInteger(std::string_view text) noexcept
    {
        std::string_view s = skipBlanks(text);
        bool negative = false;
        if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
            negative = s[0] == '-';
            s.remove_prefix(1);
        }
        bool hex = false;
        if (!s.empty() && (s[0] == '$' || s[0] == 'x' || s[0] == 'X')) {
            hex = true;
            s.remove_prefix(1);
        } else if (s.size() >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
            hex = true;
            s.remove_prefix(2);
        }
        if (s.empty())
            return std::nullopt;
        if (hex) {
            std::uint32_t pattern = 0;
            int significant = 0;
            for (char c : s) {
                const int v = hexValue(c);
                if (v < 0)
                    return std::nullopt;
                if (significant > 0 || v != 0)
                    ++significant;
                if (significant > 8)
                    return std::nullopt;
                pattern = (pattern << 4) | static_cast<std::uint32_t>(v);
            }
            // The pattern is two's complement; a "-" negates it with 32-bit wrap-around.
            if (negative)
                pattern = 0U - pattern;
            return static_cast<std::int32_t>(pattern);
        }
        std::int64_t value = 0;
        for (char c : s) {
            if (!isDigit(c))
                return std::nullopt;
            value = value * 10 + (c - '0');
            if (value > 2'147'483'648LL)
                return std::nullopt;
        }
        if (negative)
            value = -value;
        if (value > std::numeric_limits<std::int32_t>::max())
            return std::nullopt;
        return static_cast<std::int32_t>(value);
    }

} // namespace

std::string floatMessage(std::string_view text)
{
    return quoted(text, " is not a valid floating point value");
}

std::string integerMessage(std::string_view text)
{
    return quoted(text, " is not a valid integer value");
}

std::string doesNotFitMessage(std::string_view text)
{
    return quoted(text, " does not fit its TLE field");
}

std::string catalogueMessage(std::string_view text)
{
    return quoted(text, " is not a valid catalogue number");
}

std::int32_t readIntegerText(std::string_view text)
{
    if (const auto value = parseInteger(text))
        return *value;
    throw ConversionError(integerMessage(text));
}

std::optional<DecimalDigits> DecimalDigits::parse(PaddedText text)
{
    std::optional<DecimalDigits> digits(std::in_place);
    if (!parse(text, *digits))
        digits.reset();
    return digits;
}

bool DecimalDigits::parse(PaddedText text, DecimalDigits &d) noexcept
{
    return text.size() <= shortText ? parseShort(text, d) : parseAny(text, d);
}

namespace {

    // How many characters from position `from` (at most 16) on are of the
    // kind `mask` marks.
    unsigned runLength(std::uint32_t mask, unsigned from) noexcept
    {
        return static_cast<unsigned>(std::countr_zero(~(std::uint64_t { mask } >> from)));
    }

    // Whether the character at `at` (at most 16) is of the kind `mask` marks.
    unsigned kindAt(std::uint32_t mask, unsigned at) noexcept
    {
        return static_cast<unsigned>(std::uint64_t { mask } >> at) & 1U;
    }

} // namespace

// The same grammar as parseAny, read off bit masks of the character kinds:
// each part of the text is a run of one kind, measured by counting bits, so
// no loop runs once per character.
bool DecimalDigits::parseShort(PaddedText text, DecimalDigits &d) noexcept
{
    // The masks and the window below read 16 bytes from any position in the
    // text.
    static_assert(PaddedText::padding >= 2 * shortText);
    const char *buffer = text.data();
    const auto size = static_cast<unsigned>(text.size());
    const blocks::DecimalClasses kinds = blocks::classifyDecimal(buffer, size);
    const std::uint64_t inText = (std::uint64_t { 1 } << size) - 1;
    const std::uint64_t nonBlank = ~std::uint64_t { kinds.blank } & inText;
    if (nonBlank == 0)
        return false;
    const auto begin = static_cast<unsigned>(std::countr_zero(nonBlank));
    const auto end = static_cast<unsigned>(64 - std::countl_zero(nonBlank));

    unsigned p = begin;
    const unsigned signed_ = kindAt(kinds.sign, p);
    d.m_negative = signed_ != 0 && buffer[p] == '-';
    p += signed_;
    const unsigned intStart = p;
    const unsigned intCount = runLength(kinds.digit, p);
    p += intCount;
    const unsigned point = kindAt(kinds.point, p);
    p += point;
    const unsigned fracStart = p;
    const unsigned fracCount = point != 0 ? runLength(kinds.digit, p) : 0;
    p += fracCount;
    if (intCount == 0 && fracCount == 0 && point == 0)
        return false;

    std::int64_t exponent = 0;
    if (kindAt(kinds.exponent, p) != 0) {
        ++p;
        const unsigned exponentSign = kindAt(kinds.sign, p);
        const bool negativeExponent = exponentSign != 0 && buffer[p] == '-';
        p += exponentSign;
        // Saturated as in parseAny.
        for (const unsigned stop = p + runLength(kinds.digit, p); p != stop; ++p) {
            if (exponent < exponentLimit)
                exponent = exponent * 10 + (buffer[p] - '0');
        }
        if (negativeExponent)
            exponent = -exponent;
    }
    if (p != end)
        return false;

    unsigned first = std::min(runLength(kinds.zero, intStart), intCount);
    if (first == intCount)
        first += std::min(runLength(kinds.zero, fracStart), fracCount);
    d.m_intDigits = std::string_view(text.data() + intStart, intCount);
    d.m_fracDigits = std::string_view(text.data() + fracStart, fracCount);
    d.m_first = first;
    d.m_count = std::int64_t { intCount } + fracCount - first;
    d.m_exponent = std::int64_t { intCount } - first + exponent;

    // The window: zeros, the integer digits, the fraction digits, zeros. Each
    // move takes 16 bytes, what follows the digits included, and the next
    // move writes over what does not belong.
    d.m_windowed = true;
    char *window = d.m_window.data();
    std::memset(window, '0', windowSize);
    const auto lead = static_cast<std::size_t>(windowLead);
    std::memcpy(window + lead, buffer + intStart, shortText);
    std::memcpy(window + lead + intCount, buffer + fracStart, shortText);
    std::memset(window + lead + intCount + fracCount, '0', shortText);
    return true;
}

bool DecimalDigits::parseAny(std::string_view text, DecimalDigits &d) noexcept
{
    d.m_windowed = false;
    d.m_negative = false;
    d.m_intDigits = {};
    d.m_fracDigits = {};
    const char *p = text.data();
    const char *end = p + text.size();
    while (p != end && *p == ' ')
        ++p;
    while (end != p && end[-1] == ' ')
        --end;
    if (p != end && (*p == '+' || *p == '-')) {
        d.m_negative = *p == '-';
        ++p;
    }
    const char *intStart = p;
    while (p != end && isDigit(*p))
        ++p;
    d.m_intDigits = std::string_view(intStart, static_cast<std::size_t>(p - intStart));
    bool point = false;
    if (p != end && *p == '.') {
        point = true;
        const char *fracStart = ++p;
        while (p != end && isDigit(*p))
            ++p;
        d.m_fracDigits = std::string_view(fracStart, static_cast<std::size_t>(p - fracStart));
    }
    if (d.m_intDigits.empty() && d.m_fracDigits.empty() && !point)
        return false;
    std::int64_t exponent = 0;
    if (p != end && (*p == 'E' || *p == 'e')) {
        ++p;
        bool negativeExponent = false;
        if (p != end && (*p == '+' || *p == '-')) {
            negativeExponent = *p == '-';
            ++p;
        }
        for (; p != end && isDigit(*p); ++p) {
            // Saturate: such an exponent over- or underflows whatever the mantissa.
            if (exponent < exponentLimit)
                exponent = exponent * 10 + (*p - '0');
        }
        if (negativeExponent)
            exponent = -exponent;
    }
    if (p != end)
        return false;

    std::size_t zeros = 0;
    while (zeros < d.m_intDigits.size() && d.m_intDigits[zeros] == '0')
        ++zeros;
    if (zeros == d.m_intDigits.size()) {
        std::size_t fracZeros = 0;
        while (fracZeros < d.m_fracDigits.size() && d.m_fracDigits[fracZeros] == '0')
            ++fracZeros;
        zeros += fracZeros;
    }
    const auto first = static_cast<std::int64_t>(zeros);
    d.m_first = first;
    d.m_count = static_cast<std::int64_t>(d.m_intDigits.size() + d.m_fracDigits.size()) - first;
    d.m_exponent = static_cast<std::int64_t>(d.m_intDigits.size()) - first + exponent;
    return true;
}

namespace {

    // Adds one to the decimal digits out[0..count) from the right; returns
    // true when the carry runs out of the leftmost digit.
    bool incrementDigits(char *out, int count) noexcept
    {
        for (int k = count - 1; k >= 0; --k) {
            if (out[k] != '9') {
                ++out[k];
                return false;
            }
            out[k] = '0';
        }
        return true;
    }

} // namespace

bool DecimalDigits::fixedFraction(int places, char *out) const noexcept
{
    if (isZero()) {
        for (int j = 0; j < places; ++j)
            out[j] = '0';
        return true;
    }
    if (m_exponent > 0)
        return false;
    digits(m_exponent + 1, places, out);
    if (digit(m_exponent + places + 1) >= '5')
        return !incrementDigits(out, places);
    return true;
}

std::int64_t DecimalDigits::roundedSignificant(int count, char *out) const noexcept
{
    digits(1, count, out);
    std::int64_t exponent = m_exponent;
    if (digit(count + 1) >= '5' && incrementDigits(out, count)) {
        out[0] = '1';
        ++exponent;
    }
    return exponent;
}

double readDecimalText(std::string_view text)
{
    // The common plain form ("51.6416", "-.5E-3") goes straight to from_chars,
    // which reads exactly the decimal texts that start with a digit or a point
    // (after an optional "-") and have digits in any exponent.
    if (!text.empty()) {
        const std::size_t first = text[0] == '-' ? 1 : 0;
        if (first < text.size() && (isDigit(text[first]) || text[first] == '.')) {
            double value = 0;
            const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
            if (result.ec == std::errc() && result.ptr == text.data() + text.size())
                return value;
        }
    }
    const PaddedCopy copy(text);
    const auto digits = DecimalDigits::parse(copy.text());
    if (!digits)
        throw ConversionError(floatMessage(text));
    if (digits->isZero())
        return digits->negative() ? -0.0 : 0.0;
    // Beyond these powers no double is near: overflow is an error, underflow zero.
    if (digits->exponent() > 310)
        throw ConversionError(floatMessage(text));
    if (digits->exponent() < -330)
        return digits->negative() ? -0.0 : 0.0;

    // from_chars takes neither blanks, a "+" nor an exponent without digits, so
    // it reads a normalised copy: "-0.<significant digits>e<exponent>".
    std::string buffer;
    buffer.reserve(static_cast<std::size_t>(digits->significantCount()) + 24);
    if (digits->negative())
        buffer += '-';
    buffer += "0.";
    for (std::int64_t i = 1; i <= digits->significantCount(); ++i)
        buffer += digits->digit(i);
    buffer += 'e';
    buffer += std::to_string(digits->exponent());

    double value = 0;
    const auto result = std::from_chars(buffer.data(), buffer.data() + buffer.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        if (digits->exponent() > 0)
            throw ConversionError(floatMessage(text));
        return digits->negative() ? -0.0 : 0.0;
    }
    if (result.ec != std::errc() || std::isinf(value))
        throw ConversionError(floatMessage(text));
    return value;
}

} // namespace varnholt
