#pragma once

#include "padded_text.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace varnholt {

/// Reads an integer text: leading blanks, an optional sign, then decimal
/// digits or a hexadecimal number ("$", "x", "X", "0x" or "0X" and up to eight
/// significant hex digits, taken as a 32-bit two's-complement pattern).
/// Nothing may follow. Decimal values must fit a signed 32-bit integer.
/// Throws ConversionError "'<text>' is not a valid integer value".
std::int32_t readIntegerText(std::string_view text);

/// Reads a decimal text: leading blanks, an optional sign, a mantissa of
/// digits with at most one "." (a lone "." reads as 0), an optional exponent
/// ("E" or "e", optional sign, digits that may be missing), trailing blanks.
/// Returns the double nearest to the value written; a value too small for a
/// double reads as zero. Throws ConversionError "'<text>' is not a valid
/// floating point value" for anything else and for a value too large for a
/// double.
double readDecimalText(std::string_view text);

/// The exact decimal value of a decimal text, as 0.d1d2d3... × 10^exponent()
/// with d1 the first non-zero digit. Reading digits works on the text itself,
/// never through a binary double, so `.0001773` keeps its digits.
class DecimalDigits {
public:
    // The digits are read where the text stands, a text of up to 16
    // characters sixteen bytes at a time; they stay valid while it does.

    /// Nothing when `text` is not a decimal text.
    static std::optional<DecimalDigits> parse(PaddedText text);

    /// The same, filling `digits` in place; false when `text` is not a
    /// decimal text (`digits` is then unspecified).
    static bool parse(PaddedText text, DecimalDigits &digits) noexcept;

    bool negative() const noexcept { return m_negative; }
    bool isZero() const noexcept { return m_count == 0; }

    /// The power of ten that 0.d1d2... is scaled by; meaningless for zero.
    std::int64_t exponent() const noexcept { return m_exponent; }

    /// How many digits are written from the first non-zero one on.
    std::int64_t significantCount() const noexcept { return m_count; }

    /// The i-th significant digit as a character, counting from 1; "0" for
    /// any i outside the written digits (including i < 1).
    char digit(std::int64_t i) const noexcept
    {
        // Texts of up to 16 characters keep their digits in a window with
        // zeros on either side, which answers without a branch on i.
        const std::int64_t k = windowLead + m_first + i - 1;
        if (m_windowed && k >= 0 && k < static_cast<std::int64_t>(windowSize))
            return m_window[static_cast<std::size_t>(k)];
        if (i < 1 || i > m_count)
            return '0';
        return rawDigit(m_first + i - 1);
    }

    /// The significant digits `from` to `from + count - 1`, as digit() gives
    /// them, into `out`.
    void digits(std::int64_t from, int count, char *out) const noexcept
    {
        const std::int64_t k = windowLead + m_first + from - 1;
        if (m_windowed && k >= 0 && k + count <= static_cast<std::int64_t>(windowSize)) {
            const char *in = m_window.data() + k;
            for (int j = 0; j < count; ++j)
                out[j] = in[j];
            return;
        }
        for (int j = 0; j < count; ++j)
            out[j] = digit(from + j);
    }

    /// The magnitude's digits from 10^-1 to 10^-places, rounded half away from
    /// zero at the next place. Returns false when the rounded magnitude is 1 or
    /// more. `out` receives `places` characters.
    bool fixedFraction(int places, char *out) const noexcept;

    /// The first `count` significant digits rounded half away from zero into
    /// `out`; returns the power of ten for 0.out × 10^e (a carry raises it).
    std::int64_t roundedSignificant(int count, char *out) const noexcept;

private:
    static constexpr std::size_t shortText = 16; // texts read through the window
    static constexpr std::int64_t windowLead = 16; // zeros before the first written digit
    static constexpr std::size_t windowSize = 48;

    static bool parseShort(PaddedText text, DecimalDigits &digits) noexcept;
    static bool parseAny(std::string_view text, DecimalDigits &digits) noexcept;

    char rawDigit(std::int64_t index) const noexcept
    {
        const auto intSize = static_cast<std::int64_t>(m_intDigits.size());
        if (index < intSize)
            return m_intDigits[static_cast<std::size_t>(index)];
        return m_fracDigits[static_cast<std::size_t>(index - intSize)];
    }

    bool m_negative = false;
    std::string_view m_intDigits; // digits before the point, leading zeros included
    std::string_view m_fracDigits; // digits after the point
    std::int64_t m_first = 0; // index of the first non-zero digit in int+frac
    std::int64_t m_count = 0; // written digits from m_first on; 0 for zero
    std::int64_t m_exponent = 0;
    bool m_windowed = false;
    // Zeros, then the written digits (before and after the point) from
    // windowLead on, then zeros.
    std::array<char, windowSize> m_window;
};

// The messages that name a text; a NUL byte in it is shown as "?".

/// "'<text>' is not a valid floating point value"
std::string floatMessage(std::string_view text);
/// "'<text>' is not a valid integer value"
std::string integerMessage(std::string_view text);
/// "'<text>' does not fit its TLE field"
std::string doesNotFitMessage(std::string_view text);
/// "'<text>' is not a valid catalogue number"
std::string catalogueMessage(std::string_view text);

} // namespace varnholt
