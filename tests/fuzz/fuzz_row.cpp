// The row splitter and ConvertTLE on one arbitrary data row.
//
// The first byte chooses renumbering (bit 0) and where the counter stands
// (bits 1-2); the rest is the row, taken as it is (the line reader never hands
// over a line feed, but the splitter must not care).

#include "conversion.h"
#include "errors.h"
#include "field_text.h"
#include "fuzz_support.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace {

using namespace varnholt;
using namespace varnholt::fuzz;

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

void checkSplit(const TElementSet &e, const std::vector<std::string_view> &columns, bool renumber,
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
    require(e.classification == columns[10].substr(0, 1), "classification is not column 11's first");
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

void checkLines(const Conversion &c)
{
    const std::string &l1 = c.line1;
    const std::string &l2 = c.line2;
    checkEntryLines(l1, l2);
    const TElementSet &e = c.elementSet;
    const auto catalogue = referenceCatalogueText(e.catnumber);
    require(catalogue.has_value(), "an invalid catalogue number was converted", e.catnumber);
    require(l1.substr(2, 5) == *catalogue, "wrong catalogue number", l1);
    require(l1[7] == (e.classification.empty() ? ' ' : e.classification[0]),
            "column 8 is not the classification", l1);
    for (std::size_t column : { 9U, 18U, 33U, 44U, 53U, 62U, 64U })
        require(l1[column - 1] == ' ', "a separating column of line 1 is not blank", l1);
    const std::string_view ndot = std::string_view(l1).substr(33, 10);
    require(ndot[1] == '.' && (ndot[0] == ' ' || ndot[0] == '-') && isBlankOrDigits(ndot.substr(2), 0),
            "the first derivative is not sign, point and eight digits", l1);
    require(isExponentField(std::string_view(l1).substr(44, 8)), "the second derivative is malformed", l1);
    require(isExponentField(std::string_view(l1).substr(53, 8)), "BSTAR is malformed", l1);
    require(isBlankOrDigits(std::string_view(l2).substr(26, 7), 0), "eccentricity is not seven digits", l2);
    // Every field keeps to its columns, so the blanks between them stay.
    for (std::size_t column : { 8U, 17U, 26U, 34U, 43U, 52U })
        require(l2[column - 1] == ' ', "a separating column of line 2 is not blank", l2);
}

// The two element lines assembled from the field conversions one by one,
// each returning its own text, in the order the entry assembly uses them (so
// that the first failing field is the same). Throws as they do. The texts
// placed as they stand are first checked by the reference grammars: a
// decimal text that reads as a double, or digits only; and what is placed for
// one must not be wider than its field.
struct Assembled {
    std::string line1;
    std::string line2;
};

std::string_view readsAsDecimal(std::string_view text)
{
    const auto decimal = referenceDecimal(text);
    bool range = false;
    if (!text.empty() && (!decimal || std::isinf(referenceDouble(*decimal, range))))
        throw ConversionError(floatText(text));
    return text;
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
    Assembled a { std::string(69, ' '), std::string(69, ' ') };
    const std::string catalogue = CatalogueNumber(e.catnumber);
    place(a.line1, 1, "1");
    place(a.line1, 3, catalogue);
    place(a.line1, 8, e.classification);
    place(a.line1, 10, part(e.intldesig, 3, 2));
    place(a.line1, 12, part(e.intldesig, 6, 6));
    place(a.line1, 19, ConvertEpoch(e.epochtext));
    place(a.line1, 34, ConvertNdot(e.ndot));
    place(a.line1, 45, ConvertBstar(e.ddot));
    place(a.line1, 54, ConvertBstar(e.bstar));
    place(a.line1, 63, "0");
    place(a.line1, 65, fitting(e.elsetnumber, RightAlign(digitsOnly(e.elsetnumber), 4), 4));
    a.line1[68] = referenceChecksum(a.line1);

    place(a.line2, 1, "2");
    place(a.line2, 3, catalogue);
    const std::size_t blanks = PadInclination(e.inclination).size() - e.inclination.size();
    place(
        a.line2, 9, fitting(e.inclination, std::string(blanks, ' ') + fixed(e.inclination, 4), 8));
    place(a.line2, 18, fitting(e.raan, PadAngle(fixed(readsAsDecimal(e.raan), 4)), 8));
    place(a.line2, 27, EccentricityDigits(e.eccentricity));
    place(a.line2, 35,
        fitting(e.argperigee, PadArgPerigee(fixed(readsAsDecimal(e.argperigee), 4)), 8));
    place(
        a.line2, 44, fitting(e.meananomaly, PadAngle(fixed(readsAsDecimal(e.meananomaly), 4)), 8));
    place(a.line2, 53,
        fitting(e.meanmotion, PadMeanMotion(fixed(readsAsDecimal(e.meanmotion), 8)), 11));
    place(a.line2, 64, fitting(e.revnumber, RightAlign(digitsOnly(e.revnumber), 5), 5));
    a.line2[68] = referenceChecksum(a.line2);
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
