// The row splitter and ConvertTLE on one arbitrary data row.
//
// The first byte chooses renumbering (bit 0) and where the counter stands
// (bits 1-2); the rest is the row, taken as it is (the line reader never hands
// over a line feed, but the splitter must not care).

#include "conversion.h"
#include "errors.h"
#include "field_conversions.h"
#include "fuzz_support.h"
#include "tle_layout.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace {

using namespace varnholt;
using namespace varnholt::fuzz;
using tle::Field;

constexpr int rowLine = 7;
constexpr std::array<std::int32_t, 4> counterStarts { 20000, 99999, 339999, 0 };

bool isBlankOrDigits(std::string_view text, std::size_t digitsFrom)
{
    for (std::size_t i = 0; i < text.size(); ++i)
        if (i >= digitsFrom ? !isDigitChar(text[i]) : text[i] != ' ')
            return false;
    return true;
}

// An exponent field: sign, five digits, exponent sign, one digit.
bool isExponentField(std::string_view text)
{
    return text.size() == 8 && (text[0] == ' ' || text[0] == '-')
        && text.substr(1, 5).find_first_not_of("0123456789") == std::string_view::npos
        && (text[6] == '+' || text[6] == '-') && isDigitChar(text[7]);
}

void checkSplit(const TElementSet &e,
    const std::vector<std::string_view> &columns,
    bool renumber,
    std::int32_t counter)
{
    const auto same = [&](std::string_view field, std::size_t column) {
        require(field == columns[column - 1], "a field is not its column's text",
            std::string(field) + " / column " + std::to_string(column));
    };
    same(e.satname, 1);
    same(e.intldesig, 2);
    same(e.epochtext, 3);
    same(e.meanmotion, 4);
    same(e.eccentricity, 5);
    same(e.inclination, 6);
    same(e.raan, 7);
    same(e.argperigee, 8);
    same(e.meananomaly, 9);
    require(
        e.classification == columns[10].substr(0, 1), "classification is not column 11's first");
    if (renumber)
        require(e.catnumber == std::to_string(counter), "renumbered catalogue is not the counter");
    else
        same(e.catnumber, 12);
    same(e.elsetnumber, 13);
    same(e.revnumber, 14);
    same(e.bstar, 15);
    same(e.ndot, 16);
    same(e.ddot, 17);
}

// The characters of element line `line` in `field`'s columns.
std::string_view inField(std::string_view line, const tle::FieldPlace &field)
{
    return line.substr(field.column - 1, field.width);
}

// Whether column `column` of element line `line` lies between its fields.
bool isSeparatingColumn(int line, std::size_t column)
{
    return std::none_of(tle::layout.begin(), tle::layout.end(), [&](const tle::FieldPlace &field) {
        return field.line == line && field.column <= column && column <= field.lastColumn();
    });
}

void checkLines(const Conversion &c)
{
    const std::string &l1 = c.line1;
    const std::string &l2 = c.line2;
    checkEntryLines(l1, l2);
    const TElementSet &e = c.elementSet;
    const auto catalogue = referenceCatalogueText(e.catnumber);
    require(catalogue.has_value(), "an invalid catalogue number was converted", e.catnumber);
    require(inField(l1, tle::place(1, Field::catalogueNumber)) == *catalogue,
        "wrong catalogue number", l1);
    require(inField(l1, tle::place(1, Field::classification))[0]
            == (e.classification.empty() ? ' ' : e.classification[0]),
        "the classification column is not the classification", l1);
    const std::string_view ndot = inField(l1, tle::place(1, Field::firstDerivative));
    require(
        ndot[1] == '.' && (ndot[0] == ' ' || ndot[0] == '-') && isBlankOrDigits(ndot.substr(2), 0),
        "the first derivative is not sign, point and eight digits", l1);
    require(isExponentField(inField(l1, tle::place(1, Field::secondDerivative))),
        "the second derivative is malformed", l1);
    require(isExponentField(inField(l1, tle::place(1, Field::bstar))), "BSTAR is malformed", l1);
    require(isBlankOrDigits(inField(l2, tle::place(2, Field::eccentricity)), 0),
        "eccentricity is not seven digits", l2);
    // Every field keeps to its columns, so the blanks between them stay.
    for (std::size_t column = 1; column <= tle::lineLength; ++column) {
        if (isSeparatingColumn(1, column))
            require(l1[column - 1] == ' ', "a separating column of line 1 is not blank", l1);
        if (isSeparatingColumn(2, column))
            require(l2[column - 1] == ' ', "a separating column of line 2 is not blank", l2);
    }
}

// The two element lines assembled from the field conversions one by one,
// each returning its own text, in the order the entry assembly uses them (so
// that the first failing field is the same). Throws as they do. The texts
// placed as they stand are first checked by the reference grammars: digits
// with at most one point (the inclination not empty), or digits only; and
// what is placed for one must not be wider than its field.
struct Assembled {
    std::string line1;
    std::string line2;
};

std::string_view readsAsDecimal(std::string_view text)
{
    if (!text.empty() && !isPlainDecimalText(text))
        throw ConversionError(floatText(text));
    return text;
}

// PadInclination's blanks for digits with at most one point: by the value,
// which is 100 or more where it is too large for a double.
std::size_t inclinationBlanks(std::string_view text)
{
    if (!isPlainDecimalText(text))
        throw ConversionError(floatText(text));
    bool range = false;
    const double value = referenceDouble(*referenceDecimal(text), range);
    return (value < 10 ? 1U : 0U) + (value < 100 ? 1U : 0U);
}

std::string_view digitsOnly(std::string_view text)
{
    if (text.find_first_not_of("0123456789") != std::string_view::npos)
        throw ConversionError(integerText(text));
    return text;
}

std::string fitting(std::string_view text, std::string placed, std::size_t width)
{
    if (placed.size() > width)
        throw ConversionError(fitText(text));
    return placed;
}

Assembled assembleFromFields(const TElementSet &e)
{
    const auto place = [](std::string &line, std::size_t column, std::string_view text) {
        for (std::size_t i = 0; i < text.size() && column - 1 + i < line.size(); ++i)
            line[column - 1 + i] = text[i];
    };
    const auto part = [](std::string_view text, std::size_t from, std::size_t count) {
        return text.size() < from ? std::string_view() : text.substr(from - 1, count);
    };
    const auto fixed = [](std::string_view text, std::size_t decimals) {
        std::string scratch;
        return std::string(CompleteFixed(text, decimals, scratch));
    };
    // The field's column, and its width for what must fit it.
    const auto at = [](int line, Field field) { return *tle::find(line, field); };
    const auto checksum = [&](std::string &line, int number) {
        line[at(number, Field::checksum).column - 1] = referenceChecksum(line);
    };
    Assembled a { std::string(tle::lineLength, ' '), std::string(tle::lineLength, ' ') };
    const std::string catalogue = CatalogueNumber(e.catnumber);
    place(a.line1, at(1, Field::lineNumber).column, "1");
    place(a.line1, at(1, Field::catalogueNumber).column, catalogue);
    place(a.line1, at(1, Field::classification).column, e.classification);
    // The designator: the launch year, then the launch number and piece.
    const tle::FieldPlace designator = at(1, Field::designator);
    place(a.line1, designator.column, part(e.intldesig, 3, 2));
    place(a.line1, designator.column + 2, part(e.intldesig, 6, designator.width - 2));
    place(a.line1, at(1, Field::epoch).column, ConvertEpoch(e.epochtext));
    place(a.line1, at(1, Field::firstDerivative).column, ConvertNdot(e.ndot));
    place(a.line1, at(1, Field::secondDerivative).column, ConvertBstar(e.ddot));
    place(a.line1, at(1, Field::bstar).column, ConvertBstar(e.bstar));
    place(a.line1, at(1, Field::ephemerisType).column, "0");
    const tle::FieldPlace elset = at(1, Field::elementSetNumber);
    place(a.line1, elset.column,
        fitting(e.elsetnumber, RightAlign(digitsOnly(e.elsetnumber), elset.width), elset.width));
    checksum(a.line1, 1);

    place(a.line2, at(2, Field::lineNumber).column, "2");
    place(a.line2, at(2, Field::catalogueNumber).column, catalogue);
    const tle::FieldPlace inclination = at(2, Field::inclination);
    const std::size_t blanks = inclinationBlanks(e.inclination);
    place(a.line2, inclination.column,
        fitting(
            e.inclination, std::string(blanks, ' ') + fixed(e.inclination, 4), inclination.width));
    const tle::FieldPlace raan = at(2, Field::raan);
    place(a.line2, raan.column,
        fitting(e.raan, PadAngle(fixed(readsAsDecimal(e.raan), 4)), raan.width));
    place(a.line2, at(2, Field::eccentricity).column, EccentricityDigits(e.eccentricity));
    const tle::FieldPlace perigee = at(2, Field::argumentOfPerigee);
    place(a.line2, perigee.column,
        fitting(
            e.argperigee, PadArgPerigee(fixed(readsAsDecimal(e.argperigee), 4)), perigee.width));
    const tle::FieldPlace anomaly = at(2, Field::meanAnomaly);
    place(a.line2, anomaly.column,
        fitting(e.meananomaly, PadAngle(fixed(readsAsDecimal(e.meananomaly), 4)), anomaly.width));
    const tle::FieldPlace motion = at(2, Field::meanMotion);
    place(a.line2, motion.column,
        fitting(e.meanmotion, PadMeanMotion(fixed(readsAsDecimal(e.meanmotion), 8)), motion.width));
    const tle::FieldPlace revolution = at(2, Field::revolutionNumber);
    place(a.line2, revolution.column,
        fitting(
            e.revnumber, RightAlign(digitsOnly(e.revnumber), revolution.width), revolution.width));
    checksum(a.line2, 2);
    return a;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const bool renumber = (data[0] & 1) != 0;
    const std::int32_t counterStart = counterStarts[(data[0] >> 1) & 3];
    // The line reader never hands over a carriage return or a line feed.
    std::string bytes(reinterpret_cast<const char *>(data) + 1, size - 1);
    std::erase_if(bytes, [](char c) { return c == '\r' || c == '\n'; });
    const std::string_view row = bytes;
    const auto columns = referenceColumns(row);

    Conversion c;
    c.renumbermode = renumber ? 1 : 0;
    c.renumbercounter = counterStart;
    try {
        c.splitRow(row, rowLine);
    } catch (const ConversionError &error) {
        require(columns.size() < 17, "a full row was refused", error.what());
        require(error.what() == shortRowText(rowLine, columns.size()), "wrong short-row message",
            error.what());
        require(error.line() == rowLine, "the short-row error has the wrong line");
        require(c.renumbercounter == counterStart, "a short row used up a number");
        return 0;
    }
    require(columns.size() >= 17, "a short row was split", bytes);
    const std::int32_t counter = c.renumbercounter;
    require(counter == (renumber ? counterStart + 1 : counterStart), "the counter moved wrongly");
    checkSplit(c.elementSet, columns, renumber, counter);

    std::optional<Assembled> assembled;
    std::string assemblyError;
    try {
        assembled = assembleFromFields(c.elementSet);
    } catch (const ConversionError &error) {
        assemblyError = error.what();
    }
    try {
        c.ConvertTLE();
    } catch (const ConversionError &error) {
        const std::string message = error.what();
        require(!assembled, "the entry failed where its fields convert", message);
        require(message == assemblyError, "the entry failed on another field than its fields do",
            message + " / " + assemblyError);
        const auto quoted = numberMessageText(message);
        require(quoted.has_value(), "undocumented message", message);
        const TElementSet &e = c.elementSet;
        const bool named = *quoted == shown(e.catnumber) || *quoted == shown(e.ndot)
            || *quoted == shown(e.ddot) || *quoted == shown(e.bstar)
            || *quoted == shown(e.inclination) || *quoted == shown(e.eccentricity)
            || *quoted == shown(e.raan) || *quoted == shown(e.argperigee)
            || *quoted == shown(e.meananomaly) || *quoted == shown(e.meanmotion)
            || *quoted == shown(e.elsetnumber) || *quoted == shown(e.revnumber)
            || shown(e.epochtext).find(*quoted) != std::string::npos;
        require(named, "the message names no field", message);
        if (message == catalogueText(e.catnumber))
            require(!referenceCatalogueText(e.catnumber), "a valid catalogue number refused",
                e.catnumber);
        return 0;
    }
    require(assembled.has_value(), "the entry converted where a field fails", assemblyError);
    require(c.line1 == assembled->line1, "line 1 differs from its fields' conversions",
        c.line1 + " / " + assembled->line1);
    require(c.line2 == assembled->line2, "line 2 differs from its fields' conversions",
        c.line2 + " / " + assembled->line2);
    checkLines(c);
    return 0;
}
