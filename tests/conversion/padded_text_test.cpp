#include "conversion.h"
#include "line_reader.h"
#include "padded_text.h"
#include "row_columns.h"
#include "test_support.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace varnholt {
namespace {

    using testing::caseName;
    using testing::exampleRow;
    using testing::PrintTo;

    // Room behind a text is promised by whoever made it, so nothing else may.
    static_assert(!std::is_constructible_v<PaddedText, std::string_view>);
    static_assert(!std::is_constructible_v<PaddedText, const std::string &>);
    static_assert(!std::is_constructible_v<PaddedText, const char *>);
    static_assert(!std::is_convertible_v<std::string_view, PaddedText>);
    static_assert(std::is_convertible_v<PaddedText, std::string_view>);

    // Reads every byte a reader may take for `text`: its own and the room
    // behind it. Under AddressSanitizer a byte outside the memory kept for
    // it ends the test.
    unsigned touchRoom(PaddedText text)
    {
        unsigned sum = 0;
        const volatile char *p = text.data();
        for (std::size_t k = 0; k < text.size() + PaddedText::padding; ++k)
            sum += static_cast<unsigned char>(p[k]);
        return sum;
    }

    // A satellite row whose first column has `length` characters.
    std::string rowOfLength(std::size_t length)
    {
        return std::string(length, '7') + std::string(exampleRow.substr(exampleRow.find(',')));
    }

    TEST(PaddedText, LinesAndColumnsHaveTheirRoomBehindThem)
    {
        // Short lines, lines ending just before or after a buffer refill, and
        // lines longer than a buffer, each ending the input too.
        std::string bytes;
        for (std::size_t length : { 0U, 1U, 15U, 16U, 17U, 63U, 64U, 65U, 200U })
            bytes += rowOfLength(length) + "\r\n";
        bytes += rowOfLength(65536 - bytes.size() - 3) + "\n";
        bytes += rowOfLength(70000) + "\n";
        bytes += "a,b,c";

        const testing::TemporaryInput file(bytes);
        LineReader fromFile(file.handle());
        LineReader fromMemory(bytes);

        for (LineReader *reader : { &fromFile, &fromMemory }) {
            int lines = 0;
            PaddedText line;
            RowColumns columns;
            while (reader->next(line)) {
                ++lines;
                touchRoom(line);
                if (columns.split(line) != RowColumns::count)
                    continue;
                for (std::size_t n = 1; n <= RowColumns::count; ++n)
                    touchRoom(columns[n]);
                touchRoom(columns[11].substr(0, 1));
            }
            EXPECT_EQ(lines, 12);
            touchRoom(PaddedText());
        }
    }

    TEST(PaddedText, CopiesHaveTheirRoomBehindThem)
    {
        // Texts of every length class the readers treat apart, an empty one
        // among them and one last, each read through its room.
        const std::vector<std::string> texts { "51.6416", "", std::string(16, '9'),
            std::string { '1', '\0', '2' }, std::string(100, '5'), "" };
        const std::vector<std::string_view> views(texts.begin(), texts.end());
        PaddedCopy copies;
        for (std::size_t n : { views.size(), std::size_t { 2 }, views.size() }) {
            copies.assign(std::span(views).first(n)); // shrinking, then growing again
            for (std::size_t i = 0; i < n; ++i) {
                EXPECT_EQ(copies[i].view(), views[i]);
                touchRoom(copies[i]);
            }
        }
        touchRoom(PaddedCopy().text());
    }

    struct SplitCase {
        const char *name;
        std::string row;
        std::size_t found;
        std::vector<std::string> columns; // the first, the 16th and the 17th
    };

    class RowSplit : public ::testing::TestWithParam<SplitCase> { };

    TEST_P(RowSplit, CutsAtCommasAlikeWithOrWithoutRoomBehindTheRow)
    {
        const SplitCase &c = GetParam();
        RowColumns bare;
        EXPECT_EQ(bare.split(c.row), c.found);
        const std::string bytes = c.row + "\n";
        LineReader reader(bytes);
        PaddedText line;
        ASSERT_TRUE(reader.next(line));
        RowColumns padded;
        EXPECT_EQ(padded.split(line), c.found);
        if (c.found < RowColumns::count)
            return;
        for (const RowColumns *columns : { &bare, &padded }) {
            EXPECT_EQ((*columns)[1].view(), c.columns[0]);
            EXPECT_EQ((*columns)[16].view(), c.columns[1]);
            EXPECT_EQ((*columns)[17].view(), c.columns[2]);
        }
    }

    INSTANTIATE_TEST_SUITE_P(Rows,
        RowSplit,
        ::testing::Values(SplitCase { "Empty", "", 1, {} },
            SplitCase { "SixteenColumns", "a,b,c,d,e,f,g,h,i,j,k,l,m,n,o,p", 16, {} },
            SplitCase { "Seventeen", "a,b,c,d,e,f,g,h,i,j,k,l,m,n,o,p,q", 17, { "a", "p", "q" } },
            SplitCase { "LastEmpty", "a,b,c,d,e,f,g,h,i,j,k,l,m,n,o,p,", 17, { "a", "p", "" } },
            SplitCase {
                "MoreColumns", "a" + std::string(15, ',') + "p,q,r,s", 17, { "a", "p", "q" } },
            // Commas found in a later block of 64 characters than the one before.
            SplitCase { "LongColumns",
                std::string(100, 'x') + std::string(15, ',') + std::string(70, 'p') + ",q", 17,
                { std::string(100, 'x'), std::string(70, 'p'), "q" } }),
        caseName);

    TEST(RowSplit, AShortRowLeavesTheRowBeforeAsItWas)
    {
        RowColumns columns;
        ASSERT_EQ(columns.split(exampleRow), RowColumns::count);
        EXPECT_EQ(columns.split("a,b,c"), 3U);
        EXPECT_EQ(columns[1].view(), "EXAMPLESAT 4");
        EXPECT_EQ(columns[17].view(), "0");
    }

    // The entry of the example row with some columns replaced, converted
    // from the row and from an element set a caller filled.
    struct HandSetCase {
        const char *name;
        std::vector<std::pair<std::size_t, std::string>> columns;
    };

    class HandSetTexts : public ::testing::TestWithParam<HandSetCase> { };

    // The element set's fields in row order, each with its column number.
    const std::vector<std::pair<std::size_t, std::string_view TElementSet::*>> fieldColumns {
        { 1, &TElementSet::satname },
        { 2, &TElementSet::intldesig },
        { 3, &TElementSet::epochtext },
        { 4, &TElementSet::meanmotion },
        { 5, &TElementSet::eccentricity },
        { 6, &TElementSet::inclination },
        { 7, &TElementSet::raan },
        { 8, &TElementSet::argperigee },
        { 9, &TElementSet::meananomaly },
        { 11, &TElementSet::classification },
        { 12, &TElementSet::catnumber },
        { 13, &TElementSet::elsetnumber },
        { 14, &TElementSet::revnumber },
        { 15, &TElementSet::bstar },
        { 16, &TElementSet::ndot },
        { 17, &TElementSet::ddot },
    };

    TEST_P(HandSetTexts, ConvertAsTheRowDoesAlsoBeforeAnyRowWasSplit)
    {
        std::vector<std::string> texts;
        RowColumns example;
        example.split(exampleRow);
        for (std::size_t n = 1; n <= RowColumns::count; ++n)
            texts.emplace_back(example[n]);
        for (const auto &[column, text] : GetParam().columns)
            texts[column - 1] = text;
        std::string row = texts[0];
        for (std::size_t n = 1; n < texts.size(); ++n)
            row += ',' + texts[n];

        Conversion fromRow;
        fromRow.splitRow(row, 2);
        fromRow.ConvertTLE();

        // Empty texts as a default string_view: no characters, and no address.
        Conversion handSet;
        for (const auto &[column, field] : fieldColumns)
            handSet.elementSet.*field = texts[column - 1].empty()
                ? std::string_view()
                : std::string_view(texts[column - 1]);
        handSet.elementSet.classification = handSet.elementSet.classification.substr(0, 1);
        handSet.ConvertTLE();
        EXPECT_EQ(handSet.line1, fromRow.line1);
        EXPECT_EQ(handSet.line2, fromRow.line2);

        // The same texts put into an element set after a row was split.
        Conversion afterARow;
        afterARow.splitRow(exampleRow, 2);
        afterARow.elementSet = handSet.elementSet;
        afterARow.ConvertTLE();
        EXPECT_EQ(afterARow.line1, fromRow.line1);
        EXPECT_EQ(afterARow.line2, fromRow.line2);
    }

    INSTANTIATE_TEST_SUITE_P(Fields,
        HandSetTexts,
        ::testing::Values(HandSetCase { "AsInTheRow", {} },
            HandSetCase { "EmptyNumbers",
                { { 7, "" }, { 8, "" }, { 9, "" }, { 13, "" }, { 14, "" }, { 15, "" }, { 16, "" },
                    { 17, "" } } },
            HandSetCase { "SixteenCharacters",
                { { 5, ".000123456789012" }, { 15, ".123456789012345" },
                    { 16, "-.12345678901234" } } },
            HandSetCase { "LongerThanSixteen",
                { { 15, "0.000000000000000012345" }, { 17, "-.0000000000000000000001" } } }),
        caseName);

} // namespace
} // namespace varnholt
