#pragma once

// Independent reference rules and invariant checks shared by the fuzz targets.
// Nothing here calls the conversion code it checks: the line rules, the row
// splitting, the number grammars and the checksum are written out again, more
// simply and more slowly, so that a disagreement shows a fault on one side.
// Where the fields lie in the element lines comes from the layout table.

#include "tle_layout.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace varnholt::fuzz {

/// Stops the run with a report; libFuzzer keeps the input as a crash.
[[noreturn]] inline void violation(std::string_view what, std::string_view detail = {})
{
    std::fprintf(stderr, "INVARIANT VIOLATED: %.*s\n  detail: [%.*s]\n",
        static_cast<int>(what.size()), what.data(), static_cast<int>(detail.size()), detail.data());
    std::abort();
}

inline void require(bool condition, std::string_view what, std::string_view detail = {})
{
    if (!condition)
        violation(what, detail);
}

/// A file in memory holding `bytes`, open for reading and writing from its start.
inline int memoryFileHolding(std::string_view bytes)
{
    const int fd = memfd_create("bytes", MFD_CLOEXEC);
    require(fd >= 0, "memfd_create failed");
    require(write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()),
        "cannot fill the memory file");
    require(lseek(fd, 0, SEEK_SET) == 0, "cannot rewind");
    return fd;
}

/// Every byte of the file open as `fd`, from its start.
inline std::string readDescriptor(int fd)
{
    require(lseek(fd, 0, SEEK_SET) == 0, "cannot rewind");
    std::string bytes;
    std::array<char, 65536> buffer {};
    for (;;) {
        const ssize_t got = read(fd, buffer.data(), buffer.size());
        require(got >= 0, "cannot read a descriptor back");
        if (got == 0)
            return bytes;
        bytes.append(buffer.data(), static_cast<std::size_t>(got));
    }
}

inline bool isDigitChar(char c) { return c >= '0' && c <= '9'; }

/// The checksum digit of columns 1-68: digits add their value, "-" adds one.
inline char referenceChecksum(std::string_view line)
{
    unsigned sum = 0;
    for (std::size_t i = 0; i < 68 && i < line.size(); ++i) {
        if (isDigitChar(line[i]))
            sum += static_cast<unsigned>(line[i] - '0');
        else if (line[i] == '-')
            sum += 1;
    }
    return static_cast<char>('0' + sum % 10);
}

/// An element line: 69 characters, `number` in column 1, a blank in column 2,
/// and its checksum in column 69.
inline void checkElementLine(std::string_view line, char number)
{
    require(line.size() == 69, "element line is not 69 characters", line);
    require(line[0] == number, "element line has the wrong line number", line);
    require(line[1] == ' ', "column 2 of an element line is not blank", line);
    require(line[68] == referenceChecksum(line), "wrong checksum digit", line);
    for (char c : line)
        require(c != '\r' && c != '\n', "line break inside an element line", line);
}

/// The two lines of one entry: both valid, and the same catalogue number.
inline void checkEntryLines(std::string_view line1, std::string_view line2)
{
    checkElementLine(line1, '1');
    checkElementLine(line2, '2');
    constexpr tle::FieldPlace catalogue1 = tle::place(1, tle::Field::catalogueNumber);
    constexpr tle::FieldPlace catalogue2 = tle::place(2, tle::Field::catalogueNumber);
    require(line1.substr(catalogue1.column - 1, catalogue1.width)
            == line2.substr(catalogue2.column - 1, catalogue2.width),
        "catalogue numbers of the two lines differ", std::string(line1) + "|" + std::string(line2));
    require(line1[tle::place(1, tle::Field::ephemerisType).column - 1] == '0',
        "line 1 does not hold the ephemeris type 0", line1);
}

/// The catalogue number's five characters for a value 0-339999.
inline std::string referenceCatalogue(long value)
{
    static const char letters[] = "ABCDEFGHJKLMNPQRSTUVWXYZ";
    char text[8];
    const long high = value / 10000;
    if (high < 10)
        std::snprintf(text, sizeof text, "%05ld", value);
    else
        std::snprintf(text, sizeof text, "%c%04ld", letters[high - 10], value % 10000);
    return text;
}

/// The lines of a text file: LF or CR LF ends a line, a lone CR is dropped,
/// character 26 ends the text (at a line start the input; inside a line the
/// line, whose rest is skipped up to the line end or a further 26).
inline std::vector<std::string> referenceLines(std::string_view bytes)
{
    std::vector<std::string> lines;
    std::size_t i = 0;
    while (i < bytes.size() && bytes[i] != '\x1a') {
        std::string line;
        bool skipping = false;
        bool inputEnded = false;
        for (; i < bytes.size(); ++i) {
            const char c = bytes[i];
            if (c == '\n') {
                ++i;
                break;
            }
            if (c == '\x1a') {
                if (skipping) {
                    inputEnded = true;
                    break;
                }
                skipping = true;
            } else if (c != '\r' && !skipping) {
                line += c;
            }
        }
        lines.push_back(std::move(line));
        if (inputEnded)
            break;
    }
    return lines;
}

inline bool referenceBlankRow(std::string_view row)
{
    for (char c : row)
        if (c != ' ')
            return false;
    return true;
}

/// The columns of a row, cut at every comma.
inline std::vector<std::string_view> referenceColumns(std::string_view row)
{
    std::vector<std::string_view> columns;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = row.find(',', start);
        if (comma == std::string_view::npos) {
            columns.push_back(row.substr(start));
            return columns;
        }
        columns.push_back(row.substr(start, comma - start));
        start = comma + 1;
    }
}

/// The integer-text grammar: blanks, optional sign, decimal digits within a
/// signed 32-bit integer, or "$", "x", "X", "0x", "0X" and at most eight
/// significant hex digits taken as a two's-complement pattern.
inline std::optional<std::int32_t> referenceInteger(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    std::string_view body = text.substr(i);
    bool hex = false;
    if (body.starts_with("0x") || body.starts_with("0X")) {
        hex = true;
        body.remove_prefix(2);
    } else if (body.starts_with('$') || body.starts_with('x') || body.starts_with('X')) {
        hex = true;
        body.remove_prefix(1);
    }
    if (body.empty())
        return std::nullopt;
    const std::string_view allowed = hex ? "0123456789abcdefABCDEF" : "0123456789";
    if (body.find_first_not_of(allowed) != std::string_view::npos)
        return std::nullopt;
    const std::size_t firstSignificant = body.find_first_not_of('0');
    const std::string_view significant = firstSignificant == std::string_view::npos
        ? std::string_view("0")
        : body.substr(firstSignificant);
    if (hex) {
        if (significant.size() > 8)
            return std::nullopt;
        std::uint32_t pattern = static_cast<std::uint32_t>(
            std::strtoul(std::string(significant).c_str(), nullptr, 16));
        if (negative)
            pattern = ~pattern + 1U;
        return static_cast<std::int32_t>(pattern);
    }
    if (significant.size() > 10)
        return std::nullopt;
    long long value = std::strtoll(std::string(significant).c_str(), nullptr, 10);
    if (negative)
        value = -value;
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

/// The form of the numbers placed as their texts stand: at least one
/// character, each a digit or ".", and no more than one ".".
inline bool isPlainDecimalText(std::string_view text)
{
    return !text.empty() && text.find_first_not_of("0123456789.") == std::string_view::npos
        && std::count(text.begin(), text.end(), '.') <= 1;
}

/// A decimal text, checked by its grammar and read by the C library.
struct ReferenceDecimal {
    bool negative = false;
    bool nonZero = false; ///< some mantissa digit is not 0
    bool belowOne = true; ///< the magnitude is less than 1 (exactly, from the digits)
    std::string normalised; ///< what strtod reads: sign, mantissa, "e", exponent
};

inline std::optional<ReferenceDecimal> referenceDecimal(std::string_view text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && text[begin] == ' ')
        ++begin;
    while (end > begin && text[end - 1] == ' ')
        --end;
    std::string_view s = text.substr(begin, end - begin);
    ReferenceDecimal d;
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        d.negative = s[i++] == '-';
    std::string mantissa;
    bool point = false;
    // The first non-zero digit: its index among the digits before the point,
    // or among those after it.
    bool firstBeforePoint = false;
    long long firstIndex = 0;
    long long integerDigits = 0;
    long long fractionDigits = 0;
    for (; i < s.size(); ++i) {
        if (isDigitChar(s[i])) {
            mantissa += s[i];
            if (s[i] != '0' && !d.nonZero) {
                d.nonZero = true;
                firstBeforePoint = !point;
                firstIndex = point ? fractionDigits : integerDigits;
            }
            ++(point ? fractionDigits : integerDigits);
        } else if (s[i] == '.' && !point) {
            point = true;
            mantissa += '.';
        } else {
            break;
        }
    }
    if (mantissa.empty())
        return std::nullopt;
    std::string exponent = "0";
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        std::string sign;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            sign = s[i++];
        std::string digits;
        while (i < s.size() && isDigitChar(s[i]))
            digits += s[i++];
        exponent = sign + (digits.empty() ? "0" : digits);
    }
    if (i != s.size())
        return std::nullopt;
    if (d.nonZero) {
        // 0.d1d2... x 10^order: the first non-zero digit at index k of n digits
        // before the point gives order n - k; at index j after it, -j.
        const long long order = firstBeforePoint ? integerDigits - firstIndex : -firstIndex;
        const bool negativeExponent = exponent[0] == '-';
        const std::string digits = exponent.substr(negativeExponent || exponent[0] == '+' ? 1 : 0);
        const std::size_t significant = std::min(digits.find_first_not_of('0'), digits.size());
        if (digits.size() - significant > 12) {
            d.belowOne = negativeExponent;
        } else {
            const long long e = std::atoll(digits.c_str());
            d.belowOne = order + (negativeExponent ? -e : e) <= 0;
        }
    }
    if (mantissa == ".")
        mantissa = "0";
    d.normalised = (d.negative ? "-" : "") + mantissa + "e" + exponent;
    return d;
}

/// The C library's double for a reference decimal; `range` is set on
/// overflow or underflow.
inline double referenceDouble(const ReferenceDecimal &d, bool &range)
{
    errno = 0;
    const double value = std::strtod(d.normalised.c_str(), nullptr);
    range = errno == ERANGE;
    return value;
}

inline long double referenceLongDouble(const ReferenceDecimal &d)
{
    return std::strtold(d.normalised.c_str(), nullptr);
}

/// A text as a message shows it: a NUL byte would end the C string, so it
/// stands as "?".
inline std::string shown(std::string_view text)
{
    std::string result(text);
    for (char &c : result)
        if (c == '\0')
            c = '?';
    return result;
}

inline std::string quotedMessage(std::string_view text, std::string_view rest)
{
    return "'" + shown(text) + "'" + std::string(rest);
}

inline std::string floatText(std::string_view text)
{
    return quotedMessage(text, " is not a valid floating point value");
}
inline std::string integerText(std::string_view text)
{
    return quotedMessage(text, " is not a valid integer value");
}
inline std::string catalogueText(std::string_view text)
{
    return quotedMessage(text, " is not a valid catalogue number");
}
inline std::string fitText(std::string_view text)
{
    return quotedMessage(text, " does not fit its TLE field");
}

/// The quoted text of a number message, or nothing when `message` is not one.
inline std::optional<std::string_view> numberMessageText(std::string_view message)
{
    for (std::string_view rest : { std::string_view("' is not a valid floating point value"),
             std::string_view("' is not a valid integer value"),
             std::string_view("' is not a valid catalogue number"),
             std::string_view("' does not fit its TLE field") }) {
        if (message.size() >= rest.size() + 1 && message.front() == '\'' && message.ends_with(rest))
            return message.substr(1, message.size() - rest.size() - 1);
    }
    return std::nullopt;
}

/// "Line N has only M columns; a satellite row has 17" for `line` and `columns`.
inline std::string shortRowText(int line, std::size_t columns)
{
    return "Line " + std::to_string(line) + " has only " + std::to_string(columns)
        + " columns; a satellite row has 17";
}

/// The three CR LF lines of each entry in `output`; a violation when it is not
/// a whole number of complete entries.
struct Entry {
    std::string_view name, line1, line2;
};

inline std::vector<Entry> splitEntries(std::string_view output)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < output.size()) {
        const std::size_t end = output.find("\r\n", start);
        require(end != std::string_view::npos, "output ends inside a line");
        lines.push_back(output.substr(start, end - start));
        start = end + 2;
    }
    require(lines.size() % 3 == 0, "output is not a whole number of entries");
    std::vector<Entry> entries;
    for (std::size_t k = 0; k < lines.size(); k += 3) {
        const Entry entry { lines[k], lines[k + 1], lines[k + 2] };
        require(entry.name.find_first_of("\r\n") == std::string_view::npos,
            "line break inside a name line", entry.name);
        checkEntryLines(entry.line1, entry.line2);
        entries.push_back(entry);
    }
    return entries;
}

/// The catalogue number's five characters for a column text, or nothing when
/// the text is not a catalogue number: a letter (no I, no O) and four digits
/// stand as they are; digits only, of value 0-339999, are reshaped.
inline std::optional<std::string> referenceCatalogueText(std::string_view text)
{
    constexpr std::string_view letters = "ABCDEFGHJKLMNPQRSTUVWXYZ";
    if (text.size() == 5 && letters.find(text[0]) != std::string_view::npos
        && text.substr(1).find_first_not_of("0123456789") == std::string_view::npos)
        return std::string(text);
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    const std::size_t first = text.find_first_not_of('0');
    const std::string_view significant
        = first == std::string_view::npos ? std::string_view("0") : text.substr(first);
    if (significant.size() > 6)
        return std::nullopt;
    const long value = std::strtol(std::string(significant).c_str(), nullptr, 10);
    if (value > 339999)
        return std::nullopt;
    return referenceCatalogue(value);
}

} // namespace varnholt::fuzz
