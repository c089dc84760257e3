#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace varnholt::tle {

// Where each field of the two element lines goes: one table, read by the
// entry assembly, the fuzz oracles and the tests, and checked against the
// help's tables. Columns count from 1, as the TLE layout is written.

/// Characters in an element line, the checksum digit included.
inline constexpr std::size_t lineLength = 69;

/// The fields of the element lines.
enum class Field {
    lineNumber,
    catalogueNumber,
    classification,
    designator,
    epoch,
    firstDerivative,
    secondDerivative,
    bstar,
    ephemerisType,
    elementSetNumber,
    inclination,
    raan,
    eccentricity,
    argumentOfPerigee,
    meanAnomaly,
    meanMotion,
    revolutionNumber,
    checksum,
};

/// How a field's characters are formed.
enum class Formed {
    fixedText, ///< the field's `text` in every entry
    copied, ///< characters of the row's text as they stand
    rightAligned, ///< the row's digits, blanks in front to the field's width
    blankFilled, ///< the row's number as it stands, blanks in front to put its point in place
    zeroFilled, ///< the same with zeros in front
    converted, ///< the row's number rewritten in the field's own form
    checksum, ///< the checksum digit of the columns before it
};

struct FieldPlace {
    Field field;
    int line; ///< 1 or 2
    std::size_t column; ///< the first column
    std::size_t width; ///< columns taken, from `column` on
    Formed formed;
    std::string_view name;
    std::string_view text = {}; ///< a fixed text's characters

    constexpr std::size_t lastColumn() const noexcept { return column + width - 1; }
};

/// Every field of both lines, each line's in column order. The columns
/// between the fields hold blanks.
inline constexpr std::array layout {
    FieldPlace { Field::lineNumber, 1, 1, 1, Formed::fixedText, "line number", "1" },
    FieldPlace { Field::catalogueNumber, 1, 3, 5, Formed::converted, "catalogue number" },
    FieldPlace { Field::classification, 1, 8, 1, Formed::copied, "classification" },
    FieldPlace { Field::designator, 1, 10, 8, Formed::copied, "international designator" },
    FieldPlace { Field::epoch, 1, 19, 14, Formed::converted, "epoch" },
    FieldPlace { Field::firstDerivative, 1, 34, 10, Formed::converted, "first derivative" },
    FieldPlace { Field::secondDerivative, 1, 45, 8, Formed::converted, "second derivative" },
    FieldPlace { Field::bstar, 1, 54, 8, Formed::converted, "BSTAR" },
    FieldPlace { Field::ephemerisType, 1, 63, 1, Formed::fixedText, "ephemeris type", "0" },
    FieldPlace { Field::elementSetNumber, 1, 65, 4, Formed::rightAligned, "element set number" },
    FieldPlace { Field::checksum, 1, 69, 1, Formed::checksum, "checksum" },
    FieldPlace { Field::lineNumber, 2, 1, 1, Formed::fixedText, "line number", "2" },
    FieldPlace { Field::catalogueNumber, 2, 3, 5, Formed::converted, "catalogue number" },
    FieldPlace { Field::inclination, 2, 9, 8, Formed::blankFilled, "inclination" },
    FieldPlace { Field::raan, 2, 18, 8, Formed::blankFilled, "RAAN" },
    FieldPlace { Field::eccentricity, 2, 27, 7, Formed::converted, "eccentricity" },
    FieldPlace { Field::argumentOfPerigee, 2, 35, 8, Formed::zeroFilled, "argument of perigee" },
    FieldPlace { Field::meanAnomaly, 2, 44, 8, Formed::blankFilled, "mean anomaly" },
    FieldPlace { Field::meanMotion, 2, 53, 11, Formed::blankFilled, "mean motion" },
    FieldPlace { Field::revolutionNumber, 2, 64, 5, Formed::rightAligned, "revolution number" },
    FieldPlace { Field::checksum, 2, 69, 1, Formed::checksum, "checksum" },
};

/// The character put in front of the text of a field formed `formed` to fill
/// it: "0" for a zero-filled field, a blank for any other.
constexpr char fillCharacter(Formed formed) noexcept
{
    return formed == Formed::zeroFilled ? '0' : ' ';
}

/// The entry of `field` in element line `line`, or null when the line has no such field.
constexpr const FieldPlace *find(int line, Field field) noexcept
{
    for (const FieldPlace &place : layout)
        if (place.line == line && place.field == field)
            return &place;
    return nullptr;
}

/// The entry of `field` in element line `line`, found while compiling; a
/// field the line does not have does not compile.
consteval FieldPlace place(int line, Field field) { return *find(line, field); }

} // namespace varnholt::tle
