// The input forms beside the 17-column CSV file: CSV read by its header's
// names with RFC 4180 quoting.

#include "conversion.h"
#include "errors.h"
#include "named_columns.h"
#include "test_support.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace varnholt {
namespace {

    namespace fs = std::filesystem;
    using namespace std::string_literals;

    using testing::caseName;
    using testing::exampleEntry;
    using testing::exampleRow;
    using testing::header;
    using testing::PrintTo;
    using testing::readBytes;

    std::string dataFile(const std::string &name) { return std::string(VARNHOLT_TEST_DATA) + "/" + name; }

    /// How a run on some bytes ended.
    struct Ending {
        RunOutcome outcome = RunOutcome::WrongHeader;
        int count = 0;
        std::string message; ///< empty when the run threw nothing
        int line = 0;
        bool outputExists = false;
        std::string output;
    };

    struct Modes {
        bool renumber = false;
        std::size_t nameWidth = 0;
    };

    /// Converts the file `input` (convertFile), or its bytes through an open
    /// handle (convertStreams), into a file named `output`.
    Ending convert(const fs::path &input, const fs::path &output, bool streams, Modes modes = {})
    {
        Conversion conversion;
        conversion.renumbermode = modes.renumber ? 1 : 0;
        conversion.namewidth = modes.nameWidth;
        Ending ending;
        try {
            RunResult result;
            if (streams) {
                const InputFile file(input.string());
                result = conversion.convertStreams(file.handle(), output.string());
            } else {
                result = conversion.convertFile(input.string(), output.string());
            }
            ending.outcome = result.outcome;
            ending.count = result.count;
        } catch (const ConversionError &error) {
            ending.message = error.what();
            ending.line = error.line();
        }
        ending.outputExists = fs::exists(output);
        ending.output = readBytes(output);
        return ending;
    }

    /// The run on `bytes`, written to a file of `folder` first.
    Ending convertBytes(const testing::TemporaryFolder &folder, std::string_view bytes, Modes modes = {})
    {
        const fs::path input = folder.path() / "in.txt";
        testing::writeBytes(input, bytes);
        fs::remove(folder.path() / "out.TLE");
        return convert(input, folder.path() / "out.TLE", false, modes);
    }

    // The same catalogue in every form converts to the same bytes.

    struct FormCase {
        const char *name;
        const char *file;
    };

    class SameCatalogue : public ::testing::TestWithParam<FormCase> { };

    TEST_P(SameCatalogue, GivesTheSameTle)
    {
        const testing::TemporaryFolder folder("forms");
        const fs::path input = dataFile(GetParam().file);
        for (const bool streams : { false, true }) {
            const Ending ending = convert(input, folder.path() / "out.TLE", streams);
            EXPECT_EQ(ending.message, "") << (streams ? "streams" : "file");
            EXPECT_EQ(ending.count, 8);
            EXPECT_EQ(ending.output, readBytes(dataFile("catalogue.tle")))
                << (streams ? "streams" : "file");
        }
    }

    // Renumbering and the name width act on every form as on the CSV file.
    TEST_P(SameCatalogue, FollowsTheModes)
    {
        const testing::TemporaryFolder folder("forms");
        const Modes modes { true, 9 };
        const Ending expected
            = convert(dataFile("catalogue.csv"), folder.path() / "csv.TLE", false, modes);
        const Ending ending
            = convert(dataFile(GetParam().file), folder.path() / "out.TLE", false, modes);
        ASSERT_EQ(expected.message, "");
        EXPECT_EQ(ending.message, "");
        EXPECT_EQ(ending.output, expected.output);
    }

    INSTANTIATE_TEST_SUITE_P(Forms,
        SameCatalogue,
        ::testing::Values(FormCase { "Standard", "catalogue.csv" },
            FormCase { "QuotedWide", "forms/quoted.csv" },
            FormCase { "Shuffled", "forms/shuffled.csv" },
            FormCase { "ExtraColumnAfterTheStandardStart", "forms/prefixed.csv" }),
        caseName);

    // The header or first bytes decide the form.

    struct HeaderCase {
        const char *name;
        std::string bytes;
        RunOutcome outcome;
        std::string message; ///< the error, for a header that names columns wrongly
    };

    class FormOfHeader : public ::testing::TestWithParam<HeaderCase> { };

    TEST_P(FormOfHeader, IsAcceptedOrRefused)
    {
        const testing::TemporaryFolder folder("header");
        const HeaderCase &c = GetParam();
        const Ending ending = convertBytes(folder, c.bytes);
        EXPECT_EQ(ending.message, c.message);
        if (!c.message.empty()) {
            EXPECT_EQ(ending.line, 1);
            EXPECT_FALSE(ending.outputExists);
            return;
        }
        EXPECT_EQ(ending.outcome, c.outcome);
        EXPECT_EQ(ending.outputExists, c.outcome == RunOutcome::Converted);
        EXPECT_EQ(ending.output, "");
    }

    /// `row` with each value in double quotes.
    std::string quotedEach(std::string row)
    {
        for (std::size_t comma = row.find(','); comma != std::string::npos;
             comma = row.find(',', comma + 3))
            row.replace(comma, 1, "\",\"");
        return "\"" + row + "\"";
    }

    const std::string shuffledHeader
        = "EPOCH,OBJECT_NAME,OBJECT_ID,MEAN_MOTION,ECCENTRICITY,INCLINATION,RA_OF_ASC_NODE,"
          "ARG_OF_PERICENTER,MEAN_ANOMALY,CLASSIFICATION_TYPE,NORAD_CAT_ID,ELEMENT_SET_NO,"
          "REV_AT_EPOCH,BSTAR,MEAN_MOTION_DOT,MEAN_MOTION_DDOT";

    INSTANTIATE_TEST_SUITE_P(Headers,
        FormOfHeader,
        ::testing::Values(HeaderCase { "Shuffled", shuffledHeader + "\r\n", RunOutcome::Converted, "" },
            HeaderCase { "Quoted", quotedEach(std::string(header)) + "\r\n",
                RunOutcome::Converted, "" },
            HeaderCase { "QuotedAfterByteOrderMark", "\xEF\xBB\xBF" + quotedEach(shuffledHeader),
                RunOutcome::Converted, "" },
            HeaderCase { "BlanksAroundNames", " EPOCH ,\tOBJECT_NAME" + shuffledHeader.substr(17),
                RunOutcome::Converted, "" },
            HeaderCase { "LowerCase", "epoch,object_name,object_id,mean_motion\r\n",
                RunOutcome::WrongHeader, "" },
            HeaderCase { "OneNameIsChance", "NAME,EPOCH,VALUE\r\n", RunOutcome::WrongHeader, "" },
            HeaderCase { "MissingColumn", std::string(shuffledHeader).replace(shuffledHeader.find("MEAN_MOTION,"), 12, "") + "\r\n",
                RunOutcome::WrongHeader, "The header has no MEAN_MOTION column" },
            HeaderCase { "FirstMissingNamed", "BSTAR,NORAD_CAT_ID,EPOCH\r\n", RunOutcome::WrongHeader,
                "The header has no OBJECT_NAME column" },
            HeaderCase { "NamedTwice", shuffledHeader + ",EPOCH\r\n", RunOutcome::WrongHeader,
                "The header has two EPOCH columns" },
            // A header read by position as always, whatever else it holds.
            HeaderCase { "StandardStartNamedTwice", std::string(header) + ",EPOCH\r\n",
                RunOutcome::Converted, "" },
            HeaderCase { "StandardStartMissingColumns", "OBJECT_NAME,OBJECT_ID,BSTAR\r\n",
                RunOutcome::Converted, "" },
            HeaderCase { "ByteOrderMarkAndBlanksOnly", "\xEF\xBB\xBF  \n", RunOutcome::WrongHeader, "" }),
        caseName);

    // Rows read by their header's names.

    /// The example row's texts, by column name.
    std::vector<std::string> exampleTexts()
    {
        std::vector<std::string> texts;
        std::string_view row = exampleRow;
        for (std::size_t comma; (comma = row.find(',')) != std::string_view::npos;
             row.remove_prefix(comma + 1))
            texts.emplace_back(row.substr(0, comma));
        texts.emplace_back(row);
        return texts;
    }

    /// The example row in the order of shuffledHeader (which has no EPHEMERIS_TYPE).
    std::string shuffledRow(std::string_view name = "EXAMPLESAT 4")
    {
        std::vector<std::string> texts = exampleTexts();
        texts[0] = name;
        std::string row = texts[2] + "," + texts[0] + "," + texts[1];
        for (std::size_t k = 3; k < texts.size(); ++k)
            if (k != optionalColumn)
                row += "," + texts[k];
        return row;
    }

    struct RowCase {
        const char *name;
        std::string body; ///< what follows the shuffled header and its line end
        std::string output;
        std::string message;
        int line;
    };

    class NamedRows : public ::testing::TestWithParam<RowCase> { };

    TEST_P(NamedRows, ConvertOrStopAtTheLine)
    {
        const testing::TemporaryFolder folder("named");
        const RowCase &c = GetParam();
        const Ending ending = convertBytes(folder, shuffledHeader + "\r\n" + c.body);
        EXPECT_EQ(ending.output, c.output);
        EXPECT_EQ(ending.message, c.message);
        EXPECT_EQ(ending.line, c.line);
    }

    std::string entryNamed(std::string_view name)
    {
        std::string entry(exampleEntry);
        entry.replace(0, entry.find('\r'), name);
        return entry;
    }

    const std::string good = shuffledRow() + "\r\n";
    const std::string entry(exampleEntry);

    std::string withFloat(std::string row)
    {
        row.replace(row.find("0.0512"), 6, "0.05x2");
        return row;
    }

    INSTANTIATE_TEST_SUITE_P(Rows,
        NamedRows,
        ::testing::Values(RowCase { "Plain", good + good, entry + entry, "", 0 },
            RowCase { "QuotedValues", shuffledRow("\"ISS, \"\"ZARYA\"\"\"") + "\r\n",
                entryNamed("ISS, \"ZARYA\""), "", 0 },
            RowCase { "EveryValueQuoted", quotedEach(shuffledRow()) + "\r\n", entry, "", 0 },
            RowCase { "EmptyQuotedValue", shuffledRow("\"\"") + "\n", entryNamed(""), "", 0 },
            RowCase { "BlankLinesPassedOver", "\r\n   \r\n" + good, entry, "", 0 },
            RowCase { "ShortRow", good + "2024-03-11T12:02:41,X,2015-034A,1.0\r\n", entry,
                "Line 3 has only 4 columns; ECCENTRICITY is column 5", 3 },
            RowCase { "BadNumber", good + withFloat(shuffledRow()) + "\r\n", entry,
                "'0.05x2' is not a valid floating point value", 3 },
            RowCase { "QuoteNotClosed", good + shuffledRow("\"ISS, ZARYA") + "\r\n" + good, entry,
                "Line 3 has a quoted value that the file ends in", 3 },
            RowCase { "TextAfterClosingQuote", shuffledRow("\"ISS\" ZARYA") + "\r\n", "",
                "Line 2: column 2 has text after its closing quote", 2 },
            RowCase { "LineBreakInANeededValue", shuffledRow("\"ISS\r\nZARYA\"") + "\r\n", "",
                "Line 2: OBJECT_NAME holds a line break", 2 },
            // A value over two lines in a column passed over: the row after
            // it is still counted by the file's lines.
            RowCase { "LinesOfAValuePassedOver",
                shuffledRow() + ",\"first\nsecond\"\r\n" + withFloat(shuffledRow()) + "\r\n",
                entry, "'0.05x2' is not a valid floating point value", 4 }),
        caseName);

    // RFC 4180 records, line by line.

    struct RecordCase {
        const char *name;
        std::vector<std::string> lines;
        std::vector<std::string> fields;
    };

    class CsvRecords : public ::testing::TestWithParam<RecordCase> { };

    TEST_P(CsvRecords, SplitIntoFields)
    {
        const RecordCase &c = GetParam();
        CsvRecord record;
        bool complete = record.start(c.lines[0], 7);
        for (std::size_t k = 1; k < c.lines.size(); ++k) {
            ASSERT_FALSE(complete) << "complete before line " << k;
            complete = record.resume(c.lines[k]);
        }
        ASSERT_TRUE(complete);
        std::vector<std::string> fields;
        for (std::size_t k = 0; k < record.size(); ++k)
            fields.emplace_back(record[k]);
        EXPECT_EQ(fields, c.fields);
        EXPECT_EQ(record.lineNumber(), 7);
    }

    using Texts = std::vector<std::string>;

    INSTANTIATE_TEST_SUITE_P(Records,
        CsvRecords,
        ::testing::Values(RecordCase { "Plain", { "a,b,c" }, Texts { "a", "b", "c" } },
            RecordCase { "EmptyLine", { "" }, Texts { "" } },
            RecordCase { "EmptyLast", { "a," }, Texts { "a", "" } },
            RecordCase { "QuotedComma", { "\"a,b\",c" }, Texts { "a,b", "c" } },
            RecordCase { "DoubledQuotes", { "\"say \"\"hi\"\"\",\"\"\"\"" }, Texts { "say \"hi\"", "\"" } },
            RecordCase { "EmptyQuoted", { "\"\",x" }, Texts { "", "x" } },
            RecordCase { "QuoteInsideAnUnquotedValue", { "a\"b,c" }, Texts { "a\"b", "c" } },
            RecordCase { "BlanksKept", { " a , \"b\"" }, Texts { " a ", " \"b\"" } },
            RecordCase { "OverThreeLines", { "x,\"one", "", "three\",y" }, Texts { "x", "one\n\nthree", "y" } }),
        caseName);


} // namespace
} // namespace varnholt
