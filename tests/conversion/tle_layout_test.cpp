#include "test_support.h"
#include "tle_layout.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace varnholt {
namespace {

    using testing::caseName;
    using testing::PrintTo;
    using tle::Field;
    using tle::FieldPlace;

    // The TLE layout as published for the two element lines.
    struct KnownField {
        const char *name;
        int line;
        Field field;
        std::size_t first;
        std::size_t last;
    };

    constexpr KnownField knownFields[] = {
        { "Line1Number", 1, Field::lineNumber, 1, 1 },
        { "Line1Catalogue", 1, Field::catalogueNumber, 3, 7 },
        { "Classification", 1, Field::classification, 8, 8 },
        { "Designator", 1, Field::designator, 10, 17 },
        { "Epoch", 1, Field::epoch, 19, 32 },
        { "FirstDerivative", 1, Field::firstDerivative, 34, 43 },
        { "SecondDerivative", 1, Field::secondDerivative, 45, 52 },
        { "Bstar", 1, Field::bstar, 54, 61 },
        { "EphemerisType", 1, Field::ephemerisType, 63, 63 },
        { "ElementSetNumber", 1, Field::elementSetNumber, 65, 68 },
        { "Line1Checksum", 1, Field::checksum, 69, 69 },
        { "Line2Number", 2, Field::lineNumber, 1, 1 },
        { "Line2Catalogue", 2, Field::catalogueNumber, 3, 7 },
        { "Inclination", 2, Field::inclination, 9, 16 },
        { "Raan", 2, Field::raan, 18, 25 },
        { "Eccentricity", 2, Field::eccentricity, 27, 33 },
        { "ArgumentOfPerigee", 2, Field::argumentOfPerigee, 35, 42 },
        { "MeanAnomaly", 2, Field::meanAnomaly, 44, 51 },
        { "MeanMotion", 2, Field::meanMotion, 53, 63 },
        { "RevolutionNumber", 2, Field::revolutionNumber, 64, 68 },
        { "Line2Checksum", 2, Field::checksum, 69, 69 },
    };

    class LayoutField : public ::testing::TestWithParam<KnownField> { };

    TEST_P(LayoutField, HasItsPublishedColumns)
    {
        const KnownField &known = GetParam();
        const FieldPlace *place = tle::find(known.line, known.field);
        ASSERT_NE(place, nullptr);
        EXPECT_EQ(place->column, known.first) << place->name;
        EXPECT_EQ(place->lastColumn(), known.last) << place->name;
    }

    INSTANTIATE_TEST_SUITE_P(Tle, LayoutField, ::testing::ValuesIn(knownFields), caseName);

    TEST(Layout, HoldsThePublishedFieldsOnly)
    {
        EXPECT_EQ(tle::layout.size(), std::size(knownFields));
        for (const FieldPlace &place : tle::layout)
            EXPECT_EQ(std::count_if(std::begin(knownFields), std::end(knownFields),
                          [&](const KnownField &known) {
                              return known.line == place.line && known.field == place.field;
                          }),
                1)
                << "line " << place.line << ": " << place.name;
    }

    TEST(Layout, FieldsOfALineKeepApartAndLeaveTheSeparatorsBlank)
    {
        const std::map<int, std::set<std::size_t>> separators {
            { 1, { 2, 9, 18, 33, 44, 53, 62, 64 } },
            { 2, { 2, 8, 17, 26, 34, 43, 52 } },
        };
        for (const auto &[line, blank] : separators) {
            std::vector<int> taken(tle::lineLength + 1, 0);
            std::size_t previous = 0;
            for (const FieldPlace &place : tle::layout) {
                if (place.line != line)
                    continue;
                EXPECT_GT(place.column, previous) << place.name << ": not in column order";
                previous = place.column;
                ASSERT_GE(place.width, 1U) << place.name;
                ASSERT_LE(place.lastColumn(), tle::lineLength) << place.name;
                if (place.field == Field::checksum) {
                    EXPECT_EQ(place.column, tle::lineLength);
                } else {
                    EXPECT_LE(place.lastColumn(), tle::lineLength - 1) << place.name;
                }
                for (std::size_t column = place.column; column <= place.lastColumn(); ++column)
                    ++taken[column];
            }
            for (std::size_t column = 1; column <= tle::lineLength; ++column)
                EXPECT_EQ(taken[column], blank.count(column) != 0 ? 0 : 1)
                    << "line " << line << ", column " << column;
        }
    }

    TEST(Layout, FixedTextsAndFillsAreThoseOfTheirFields)
    {
        for (const FieldPlace &place : tle::layout) {
            if (place.formed == tle::Formed::fixedText) {
                EXPECT_EQ(place.text.size(), place.width) << place.name;
            } else {
                EXPECT_TRUE(place.text.empty()) << place.name;
            }
        }
        EXPECT_EQ(tle::find(1, Field::lineNumber)->text, "1");
        EXPECT_EQ(tle::find(2, Field::lineNumber)->text, "2");
        EXPECT_EQ(tle::find(1, Field::ephemerisType)->text, "0");
        EXPECT_EQ(tle::fillCharacter(tle::find(2, Field::argumentOfPerigee)->formed), '0');
        EXPECT_EQ(tle::fillCharacter(tle::find(2, Field::meanAnomaly)->formed), ' ');
        EXPECT_EQ(tle::fillCharacter(tle::find(2, Field::revolutionNumber)->formed), ' ');
    }

    // The help page's tables: each row's columns, field name and the start of
    // its "How it is written" cell, for the table under "<h2>Line n</h2>".
    struct HelpRow {
        std::size_t first;
        std::size_t last;
        std::string name;
        std::string written;
    };

    std::vector<HelpRow> helpTable(const std::string &page, int line)
    {
        const std::string heading = "<h2>Line " + std::to_string(line) + "</h2>";
        const std::size_t start = page.find(heading);
        if (start == std::string::npos)
            return {};
        const std::size_t end = page.find("</table>", start);
        const std::string table = page.substr(start, end - start);
        static const std::regex row(
            R"(<tr><td>(\d+)(?:&ndash;(\d+))?</td><td>([^<]*)</td><td>([^\n]*))");
        std::vector<HelpRow> rows;
        for (auto it = std::sregex_iterator(table.begin(), table.end(), row);
             it != std::sregex_iterator(); ++it) {
            const std::smatch &m = *it;
            const std::size_t first = std::stoul(m[1]);
            rows.push_back({ first, m[2].matched ? std::stoul(m[2]) : first, m[3], m[4] });
        }
        return rows;
    }

    // The help's name for each field.
    const std::map<std::string, Field> helpNames {
        { "line number", Field::lineNumber },
        { "catalogue number", Field::catalogueNumber },
        { "classification", Field::classification },
        { "international designator", Field::designator },
        { "epoch", Field::epoch },
        { "first derivative of the mean motion", Field::firstDerivative },
        { "second derivative of the mean motion", Field::secondDerivative },
        { "BSTAR drag term", Field::bstar },
        { "ephemeris type", Field::ephemerisType },
        { "element set number", Field::elementSetNumber },
        { "checksum", Field::checksum },
        { "inclination", Field::inclination },
        { "right ascension of the ascending node", Field::raan },
        { "eccentricity", Field::eccentricity },
        { "argument of perigee", Field::argumentOfPerigee },
        { "mean anomaly", Field::meanAnomaly },
        { "mean motion", Field::meanMotion },
        { "revolution number at epoch", Field::revolutionNumber },
    };

    TEST(HelpPage, TleOutputTablesListTheLayoutsFieldsAndColumns)
    {
        const std::string page = testing::readBytes(VARNHOLT_HELP_DIR "/tle_output.html");
        ASSERT_FALSE(page.empty());
        for (const int line : { 1, 2 }) {
            // The layout's name for each field, its first and last column.
            using Columns = std::tuple<std::string, std::size_t, std::size_t>;
            std::set<Columns> inHelp;
            for (const HelpRow &row : helpTable(page, line)) {
                ASSERT_TRUE(helpNames.contains(row.name))
                    << "line " << line << ": no field is called '" << row.name << "'";
                const FieldPlace *place = tle::find(line, helpNames.at(row.name));
                inHelp.insert({ place != nullptr ? std::string(place->name) : row.name, row.first,
                    row.last });
                if (place != nullptr && place->formed == tle::Formed::fixedText) {
                    EXPECT_NE(row.written.find("<tt>" + std::string(place->text) + "</tt>"),
                        std::string::npos)
                        << row.name << ": " << row.written;
                }
            }
            std::set<Columns> inLayout;
            for (const FieldPlace &place : tle::layout)
                if (place.line == line)
                    inLayout.insert({ std::string(place.name), place.column, place.lastColumn() });
            EXPECT_EQ(inHelp, inLayout) << "line " << line;
        }
    }

} // namespace
} // namespace varnholt
