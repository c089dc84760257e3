// The load commands with a recording window: what they ask, what they show
// and where, and the numbering mode they leave behind.

#include "errors.h"
#include "load_command.h"
#include "recording_host.h"
#include "test_support.h"

#include <filesystem>
#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace varnholt {

/// How GoogleTest prints a point in its messages.
inline void PrintTo(Point point, std::ostream *out) { *out << point.x << ',' << point.y; }
inline void PrintTo(const FilterEntry &entry, std::ostream *out)
{
    *out << '"' << entry.description << "\" | \"" << entry.patterns << '"';
}

namespace {

    namespace fs = std::filesystem;
    using testing::caseName;
    using testing::exampleEntry;
    using testing::exampleRow;
    using testing::header;
    using testing::PrintTo;
    using testing::readBytes;
    using testing::RecordingHost;
    using Message = RecordingHost::Message;

    const std::string row(exampleRow);

    TEST(LoadCommandTexts, SummaryAndPlaces)
    {
        EXPECT_EQ(summaryMessage(1, "/d/a.TLE"),
            "Conversion completed (1 satellites)\n\nFile saved as /d/a.TLE\n\n\n"
            "                        Click OK to SAVE and EXIT.");
        // Letter-form numbers add one line after the file's name, and only then.
        EXPECT_EQ(summaryMessage(1, "/d/a.TLE", 0), summaryMessage(1, "/d/a.TLE"));
        EXPECT_EQ(summaryMessage(3, "/d/a.TLE", 1),
            "Conversion completed (3 satellites)\n\nFile saved as /d/a.TLE\n\n"
            "1 catalogue number above 99999 written in letter form (A0000 is 100000); a tracker "
            "that reads only digits needs \"Load with Five-Digit Numbers\".\n\n\n"
            "                        Click OK to SAVE and EXIT.");
        EXPECT_THAT(summaryMessage(3, "/d/a.TLE", 2),
            ::testing::HasSubstr("TLE\n\n2 catalogue numbers above 99999 written"));
        EXPECT_EQ(summaryPlace({ 100, 200 }), (Point { 175, 265 }));
        EXPECT_EQ(wrongHeaderPlace({ -200, 10 }), (Point { -75, 110 }));
    }

    struct FilterCase {
        const char *name;
        std::string_view filter;
        std::vector<FilterEntry> entries;
    };

    class FilterEntries : public ::testing::TestWithParam<FilterCase> { };

    TEST_P(FilterEntries, ReadInOrder)
    {
        EXPECT_EQ(filterEntries(GetParam().filter), GetParam().entries);
    }

    INSTANTIATE_TEST_SUITE_P(Texts,
        FilterEntries,
        ::testing::Values(
            FilterCase { "LoadCommands", loadFilter,
                { { "CSV satellite data (*.csv, *.txt)", "*.csv;*.txt" },
                    { "JSON satellite data (*.json)", "*.json" }, { "All files (*.*)", "*.*" } } },
            FilterCase { "OneEntry", "Text|*.txt", { { "Text", "*.txt" } } },
            FilterCase { "PatternsWithoutDescription", "*.csv", { { "*.csv", "*.csv" } } },
            FilterCase { "LastPatternsMissing", "Text|*.txt|*.dat",
                { { "Text", "*.txt" }, { "*.dat", "*.dat" } } },
            FilterCase { "EmptyPatterns", "Text|", { { "Text", "" } } },
            FilterCase { "Empty", "", {} }),
        caseName);

    /// The three commands of the File menu, and a file handed over without the dialog.
    enum class Command { load, renumber, fiveDigit, handedOver };

    struct EndingCase {
        const char *name;
        std::optional<std::string> bytes; ///< the input file's; none for a cancelled dialog
        bool emptyName = false; ///< the dialog gives an empty name
        std::optional<Message>
            shown; ///< the one box shown, its text with "<output>" for the TLE's name
        std::optional<RunOutcome> outcome; ///< none when cancelled or when the run throws
        std::string error; ///< the ConversionError's message, when the run throws
    };

    class LoadCommandEnding : public ::testing::TestWithParam<EndingCase> {
    protected:
        /// Runs `command` on the case's input; the result, or the error's message.
        std::optional<RunResult> run(Command command, std::string &error)
        {
            const EndingCase &c = GetParam();
            std::string path;
            if (c.bytes) {
                path = (m_folder.path() / "active.csv").string();
                testing::writeBytes(path, *c.bytes);
            }
            host.answer = c.bytes ? std::optional<std::string>(path) : std::nullopt;
            if (c.emptyName)
                host.answer = "";
            LoadCommand load(conversion, host);
            try {
                switch (command) {
                case Command::load:
                    return load.loadCSVfile();
                case Command::renumber:
                    return load.loadAndRenumber();
                case Command::fiveDigit:
                    return load.loadWithFiveDigitNumbers();
                case Command::handedOver:
                    return load.loadChosenFile(host.answer.value_or(std::string()));
                }
            } catch (const ConversionError &caught) {
                error = caught.what();
            }
            return std::nullopt;
        }

        const testing::TemporaryFolder m_folder { "load" };
        Conversion conversion;
        RecordingHost host;
    };

    TEST_P(LoadCommandEnding, ShowsOneBoxAndLeavesTheNumberingOff)
    {
        const EndingCase &c = GetParam();
        const std::string output = (m_folder.path() / "active.TLE").string();
        for (const Command command :
            { Command::load, Command::renumber, Command::fiveDigit, Command::handedOver }) {
            SCOPED_TRACE(static_cast<int>(command));
            host.messages.clear();
            host.filters.clear();
            std::string error;
            const std::optional<RunResult> result = run(command, error);

            EXPECT_EQ(error, c.error);
            EXPECT_EQ(result.has_value(), c.outcome.has_value());
            if (result && c.outcome) {
                EXPECT_EQ(result->outcome, *c.outcome);
            }
            if (c.shown) {
                ASSERT_EQ(host.messages.size(), 1U);
                const Message &shown = host.messages[0];
                std::string text = c.shown->text;
                if (const std::size_t at = text.find("<output>"); at != std::string::npos)
                    text.replace(at, 8, output);
                EXPECT_EQ(shown.kind, c.shown->kind);
                EXPECT_EQ(shown.text, text);
                EXPECT_EQ(shown.at, c.shown->at);
            } else {
                EXPECT_TRUE(host.messages.empty());
            }
            // The menu commands ask with the dialog; a handed-over file does not.
            EXPECT_EQ(host.filters.size(), command == Command::handedOver ? 0U : 1U);
            EXPECT_EQ(conversion.renumbermode, 0);
            EXPECT_EQ(conversion.fivedigitmode, 0);
        }
    }

    const std::string goodFile = std::string(header) + "\n" + row + "\n";

    INSTANTIATE_TEST_SUITE_P(Endings,
        LoadCommandEnding,
        ::testing::Values(
            EndingCase { "Cancelled", std::nullopt, false,
                Message { Message::Notice, "Not a valid filename", {} }, std::nullopt, "" },
            EndingCase { "EmptyName", std::nullopt, true,
                Message { Message::Notice, "Not a valid filename", {} }, std::nullopt, "" },
            EndingCase { "WrongHeader", "object_name,object_id\n" + row + "\n", false,
                Message { Message::PlacedError,
                    "This is not a satellite CSV data file\n\n      Click OK to exit",
                    { 225, 300 } },
                RunOutcome::WrongHeader, "" },
            EndingCase { "Converted", goodFile, false,
                Message { Message::PlacedNotice,
                    "Conversion completed (1 satellites)\n\nFile saved as <output>\n\n\n"
                    "                        Click OK to SAVE and EXIT.",
                    { 175, 265 } },
                RunOutcome::Converted, "" },
            EndingCase { "ErrorInARow", std::string(header) + "\n" + row + "\nonly,three,columns\n",
                false, std::nullopt, std::nullopt,
                "Line 3 has only 3 columns; a satellite row has 17" },
            EndingCase { "EmptyFile", "", false,
                Message { Message::PlacedError,
                    "This is not a satellite CSV data file\n\n      Click OK to exit",
                    { 225, 300 } },
                RunOutcome::WrongHeader, "" }),
        caseName);

    class LoadCommandRun : public ::testing::Test {
    protected:
        std::string write(const std::string &name, const std::string &bytes)
        {
            const fs::path path = m_folder.path() / name;
            testing::writeBytes(path, bytes);
            return path.string();
        }

        const testing::TemporaryFolder m_folder { "load" };
        Conversion conversion;
        RecordingHost host;
        LoadCommand load { conversion, host };
    };

    TEST_F(LoadCommandRun, DialogOffersTheFilterAndTheNameChosenLast)
    {
        const std::string input = write("a.csv", goodFile);
        host.answer = input;
        load.loadCSVfile();
        host.answer.reset();
        EXPECT_EQ(load.loadAndRenumber(), std::nullopt);
        EXPECT_EQ(host.filters, std::vector<std::string>(2, std::string(loadFilter)));
        EXPECT_EQ(host.lastNames, (std::vector<std::string> { "", input }));
        // Cancelled, the command keeps the last file and the counter as they were.
        EXPECT_EQ(conversion.sourcefilename, input);
        EXPECT_EQ(conversion.renumbercounter, 20000);
    }

    TEST_F(LoadCommandRun, EachCommandWritesItsNumbersAndTheNextLoadTheFilesOwn)
    {
        // 100000 is written A0000 in letter form, 80000 as a five-digit stand-in.
        std::string high = row;
        high.replace(high.find(",40732,"), 7, ",100000,");
        const std::string input = write("h.csv", std::string(header) + "\n" + high + "\n");
        const std::string output = (m_folder.path() / "h.TLE").string();
        const auto catalogueNumber = [&] { return readBytes(output).substr(2 + 12 + 2, 5); };
        host.answer = input;

        EXPECT_EQ(load.loadAndRenumber()->letterNumbers, 0);
        EXPECT_EQ(catalogueNumber(), "20001");
        EXPECT_EQ(load.loadWithFiveDigitNumbers()->letterNumbers, 0);
        EXPECT_EQ(catalogueNumber(), "80000");
        const std::optional<RunResult> plain = load.loadCSVfile();
        EXPECT_EQ(plain->letterNumbers, 1);
        EXPECT_EQ(catalogueNumber(), "A0000");
        EXPECT_EQ(host.messages.back().text, summaryMessage(1, output, 1));
        EXPECT_EQ(conversion.renumbercounter, 20001);
    }

    TEST_F(LoadCommandRun, ErrorKeepsEarlierEntriesAndTheCounterRunsOn)
    {
        std::string bad = row;
        bad.replace(bad.find("0.0512"), 6, "0.05x2");
        const std::string input
            = write("e.csv", std::string(header) + "\n" + row + "\n" + bad + "\n");
        host.answer = input;
        try {
            load.loadAndRenumber();
            FAIL() << "no error";
        } catch (const ConversionError &error) {
            EXPECT_STREQ(error.what(), "'0.05x2' is not a valid floating point value");
            EXPECT_EQ(error.line(), 3);
        }
        EXPECT_TRUE(host.messages.empty());
        EXPECT_EQ(conversion.renumbermode, 0);
        EXPECT_EQ(conversion.renumbercounter, 20002);
        EXPECT_THAT(readBytes(m_folder.path() / "e.TLE"),
            ::testing::StartsWith("EXAMPLESAT 4\r\n1 20001U"));
    }

    TEST_F(LoadCommandRun, SummaryGoesBesideTheWindowWhereItIsAfterTheRun)
    {
        host.answer = write("a.csv", goodFile);
        host.window = { -30, 0 };
        const std::optional<RunResult> result = load.loadCSVfile();
        ASSERT_TRUE(result);
        EXPECT_EQ(result->count, 1);
        EXPECT_EQ(readBytes(m_folder.path() / "a.TLE"), exampleEntry);
        ASSERT_EQ(host.messages.size(), 1U);
        EXPECT_EQ(host.messages[0].at, (Point { 45, 65 }));
    }

} // namespace
} // namespace varnholt
