#include "line_reader.h"
#include "test_support.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace varnholt {
namespace {

    using namespace std::string_literals;
    using testing::caseName;
    using testing::PrintTo;

    std::vector<std::string> readAll(LineReader &reader)
    {
        std::vector<std::string> lines;
        std::string_view line;
        while (reader.next(line))
            lines.emplace_back(line);
        return lines;
    }

    /// The lines of `bytes` written to a temporary file and read back through
    /// the file layer; the file is closed however the reading ends.
    void readAllFromAFile(const std::string &bytes, std::vector<std::string> &lines)
    {
        const testing::TemporaryInput file(bytes);
        LineReader reader(file.handle());
        lines = readAll(reader);
    }

    struct ReaderCase {
        const char *name;
        std::string bytes;
        std::vector<std::string> lines;
    };

    class LineReaderRules : public ::testing::TestWithParam<ReaderCase> { };

    TEST_P(LineReaderRules, FromMemory)
    {
        LineReader reader(GetParam().bytes);
        EXPECT_EQ(readAll(reader), GetParam().lines);
    }

    // The same bytes from a file, so that lines cross the reader's buffer refills.
    TEST_P(LineReaderRules, FromAFile)
    {
        std::vector<std::string> lines;
        ASSERT_NO_FATAL_FAILURE(readAllFromAFile(GetParam().bytes, lines));
        EXPECT_EQ(lines, GetParam().lines);
    }

    using Lines = std::vector<std::string>;

    INSTANTIATE_TEST_SUITE_P(Rules,
        LineReaderRules,
        ::testing::Values(ReaderCase { "CrLf", "a\r\nb\r\n", Lines { "a", "b" } },
            ReaderCase { "Lf", "a\nb\n", Lines { "a", "b" } },
            ReaderCase { "NoFinalLineEnd", "a\r\nb", Lines { "a", "b" } },
            ReaderCase { "EmptyInput", "", Lines {} },
            ReaderCase { "EmptyLineInside", "a\n\nb\n", Lines { "a", "", "b" } },
            ReaderCase { "LoneCrDropped", "a\rb\r\nc", Lines { "ab", "c" } },
            ReaderCase { "CrOnlyFileIsOneLine", "a\rb\rc\r", Lines { "abc" } },
            ReaderCase { "CrCrLf", "a\r\r\nb", Lines { "a", "b" } },
            ReaderCase { "EofCharStartsLine",
                "a\n\x1a"
                "b\nc\n",
                Lines { "a" } },
            ReaderCase { "EofCharInsideLine",
                "ab\x1a"
                "cd\nef\n",
                Lines { "ab", "ef" } },
            ReaderCase { "SecondEofCharEndsInput",
                "ab\x1a"
                "cd\x1a"
                "ef\ngh\n",
                Lines { "ab" } },
            ReaderCase { "EofCharAtStart",
                "\x1a"
                "abc",
                Lines {} },
            ReaderCase { "BytesAsTheyAre", "\xef\xbb\xbfOBJECT\t\"x\"\0y\n"s,
                Lines { "\xef\xbb\xbfOBJECT\t\"x\"\0y"s } },
            ReaderCase { "LongLine", std::string(700000, 'x') + "\r\nz",
                Lines { std::string(700000, 'x'), "z" } }),
        caseName);

    // Lines of every length from 1 to 97 with CR LF ends, over several
    // buffers' worth: each buffer end falls at another place in a line, on a
    // CR and between CR and LF among them.
    TEST(LineReader, BufferEndsFallAnywhereInALine)
    {
        std::string bytes;
        std::vector<std::string> written;
        for (int i = 0; bytes.size() < 600000; ++i) {
            written.emplace_back(
                static_cast<std::size_t>(1 + i % 97), static_cast<char>('a' + i % 26));
            bytes += written.back() + "\r\n";
        }
        std::vector<std::string> fromFile;
        ASSERT_NO_FATAL_FAILURE(readAllFromAFile(bytes, fromFile));
        EXPECT_EQ(fromFile, written);
        LineReader fromMemory(bytes);
        EXPECT_EQ(readAll(fromMemory), written);
    }

    TEST(LineReader, CountsLinesFromOne)
    {
        LineReader reader(std::string_view("h\n\nrow\n"));
        std::string_view line;
        ASSERT_TRUE(reader.next(line));
        EXPECT_EQ(reader.lineNumber(), 1);
        ASSERT_TRUE(reader.next(line));
        ASSERT_TRUE(reader.next(line));
        EXPECT_EQ(reader.lineNumber(), 3);
        EXPECT_FALSE(reader.next(line));
    }

} // namespace
} // namespace varnholt
