#pragma once

#include "number_text.h"
#include "padded_text.h"
#include "tle_layout.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace varnholt {

// The pieces of the field conversions that a run uses: it writes each field
// straight into its element line. field_conversions.h has the same
// conversions as whole texts.

/// The eight fraction digits of a day fraction `f` >= 0: `f` rounded to 15
/// significant digits, written in plain notation, the first eight digits after
/// the point (filled with "0"). ConvertEpoch's reference rule.
std::string dayFractionDigits(double f);

/// How a catalogue number above 99999 is written in its five columns.
enum class CatalogueForm {
    /// 100000-339999 as a letter (A=10 ... Z=33, no I or O) and four digits.
    letters,
    /// 100000-119999 as the number minus 20000, a stand-in in 80000-99999, a
    /// range public catalogues never publish; a higher number has none.
    fiveDigits,
};

/// A fixed-point text as TLE readers need it, the value unchanged: one that
/// begins with "." gets a "0" in front (".7392" gives "0.7392"); one of
/// digits only gets "." and `decimals` zeros ("0" gives "0.0000"); any
/// other text is returned as it is. `scratch` holds a changed text.
std::string_view CompleteFixed(std::string_view text, std::size_t decimals, std::string &scratch);

/// True for the usual fixed-point text, which CompleteFixed returns as it
/// is: a digit first and the point within the next three characters.
inline bool isCompleteFixed(std::string_view text) noexcept
{
    // Bitwise operators: where the point lies varies from row to row, and
    // a chain of branches on it would be mispredicted.
    return text.size() >= 4 && text[0] >= '0' && text[0] <= '9'
        && (static_cast<int>(text[1] == '.') | static_cast<int>(text[2] == '.')
               | static_cast<int>(text[3] == '.'))
        != 0;
}

// Building blocks of the field conversions, for the entry assembly, which
// writes straight into its lines: how many fill characters go in front of a
// text, and writers of the fixed-width results. They throw as the
// conversions do. Those that read a number take a PaddedText and read it
// where it stands, sixteen bytes at a time; a bare text goes through a
// PaddedCopy.

std::size_t inclinationFill(PaddedText text); ///< PadInclination's blanks

/// PadInclination's blanks for the inclination field, whose text is placed as
/// it stands: throws the floating point message naming `text` unless it is
/// digits with at most one point, empty text included.
std::size_t inclinationFieldFill(PaddedText text);

/// PadAngle's blanks, PadArgPerigee's zeros: 2 when the first "." is the 2nd
/// character, 1 when it is the 3rd, else 0.
inline std::size_t angleFill(std::string_view text) noexcept
{
    if (text.size() >= 2 && text[0] != '.' && text[1] == '.')
        return 2;
    if (text.size() >= 3 && text[0] != '.' && text[1] != '.' && text[2] == '.')
        return 1;
    return 0;
}

/// PadMeanMotion's blanks: 1 when the first "." is the 2nd character.
inline std::size_t meanMotionFill(std::string_view text) noexcept
{
    return text.size() >= 2 && text[0] != '.' && text[1] == '.' ? 1 : 0;
}

/// RightAlign's blanks. An empty text places nothing, so a long text before
/// it keeps its characters.
inline std::size_t rightAlignFill(std::string_view text, std::size_t width) noexcept
{
    return text.empty() || text.size() >= width ? 0 : width - text.size();
}

// What the text of a field placed as it stands must be before the entry
// assembly places it (PadAngle, PadArgPerigee, PadMeanMotion and RightAlign
// only pad): a number of its kind written with digits only, whose fill and
// text as placed take no more than the field's columns. A reader of the lines
// refuses a sign, a blank or an exponent in these columns, or reads another
// value. An empty text passes these checks: it places nothing and leaves its
// columns blank.

/// Throws the floating point message naming `text` unless it is empty or
/// digits with at most one point among or after them ("5.4321", "130", ".5",
/// "5."): no sign, blank, exponent or second point. The rule of the right
/// ascension, the argument of perigee, the mean anomaly and the mean motion;
/// the inclination's is inclinationFieldFill's, which refuses an empty text too.
void checkDecimalField(PaddedText text);

/// Throws the integer message naming `text` unless it is empty or decimal
/// digits only: no sign, no blanks. The rule of the element set number and
/// the revolution number.
void checkDigitsField(PaddedText text);

/// Throws the does-not-fit message naming `text`.
[[noreturn]] void doesNotFit(std::string_view text);

/// Throws the does-not-fit message naming `text` when what is placed for it,
/// `placed` characters of fill and text, takes more than `field`'s columns.
inline void checkFieldWidth(std::string_view text, std::size_t placed, const tle::FieldPlace &field)
{
    if (placed > field.width)
        doesNotFit(text);
}

// The writers fill their field's width in tle_layout.h.

void writeExponentField(PaddedText text, char *out); ///< ConvertBstar, 8 characters
void writeNdot(PaddedText text, char *out); ///< ConvertNdot, 10 characters
void writeEccentricity(PaddedText text, char *out); ///< EccentricityDigits, 7 characters
/// CatalogueNumber, 5 characters
void writeCatalogueNumber(std::string_view text, char *out, CatalogueForm form);
inline constexpr std::size_t epochCapacity = 32;
std::size_t writeEpoch(std::string_view text, char *out); ///< ConvertEpoch; returns its length

/// The checksum digit of a line: digits add their value and "-" adds 1 over
/// every character but the last; the sum modulo 10.
char Checksum(std::string_view line);

} // namespace varnholt
