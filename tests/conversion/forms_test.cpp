// The input forms beside the 17-column CSV file: CSV read by its header's
// names with RFC 4180 quoting, and JSON arrays of records.

#include "conversion.h"
#include "errors.h"
#include "named_columns.h"
#include "test_support.h"

#include <chrono>
#include <clocale>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

#ifndef _WIN32
#include <unistd.h>
#endif

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

    std::string dataFile(const std::string &name)
    {
        return std::string(VARNHOLT_TEST_DATA) + "/" + name;
    }

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
    Ending convertBytes(
        const testing::TemporaryFolder &folder, std::string_view bytes, Modes modes = {})
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
            FormCase { "ExtraColumnAfterTheStandardStart", "forms/prefixed.csv" },
            FormCase { "JsonNumbers", "forms/numbers.json" },
            FormCase { "JsonStrings", "forms/strings.json" }),
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
        ::testing::Values(
            HeaderCase { "Shuffled", shuffledHeader + "\r\n", RunOutcome::Converted, "" },
            HeaderCase {
                "Quoted", quotedEach(std::string(header)) + "\r\n", RunOutcome::Converted, "" },
            HeaderCase { "QuotedAfterByteOrderMark", "\xEF\xBB\xBF" + quotedEach(shuffledHeader),
                RunOutcome::Converted, "" },
            HeaderCase { "BlanksAroundNames", " EPOCH ,\tOBJECT_NAME" + shuffledHeader.substr(17),
                RunOutcome::Converted, "" },
            HeaderCase { "LowerCase", "epoch,object_name,object_id,mean_motion\r\n",
                RunOutcome::WrongHeader, "" },
            HeaderCase { "OneNameIsChance", "NAME,EPOCH,VALUE\r\n", RunOutcome::WrongHeader, "" },
            HeaderCase { "MissingColumn",
                std::string(shuffledHeader).replace(shuffledHeader.find("MEAN_MOTION,"), 12, "")
                    + "\r\n",
                RunOutcome::WrongHeader, "The header has no MEAN_MOTION column" },
            HeaderCase { "FirstMissingNamed", "BSTAR,NORAD_CAT_ID,EPOCH\r\n",
                RunOutcome::WrongHeader, "The header has no OBJECT_NAME column" },
            HeaderCase { "NamedTwice", shuffledHeader + ",EPOCH\r\n", RunOutcome::WrongHeader,
                "The header has two EPOCH columns" },
            // A header read by position as always, whatever else it holds.
            HeaderCase { "StandardStartNamedTwice", std::string(header) + ",EPOCH\r\n",
                RunOutcome::Converted, "" },
            HeaderCase { "StandardStartMissingColumns", "OBJECT_NAME,OBJECT_ID,BSTAR\r\n",
                RunOutcome::Converted, "" },
            HeaderCase { "EmptyJsonArray", "[]", RunOutcome::Converted, "" },
            HeaderCase { "JsonAfterBlankLines", " \r\n\t\n[\n]\n", RunOutcome::Converted, "" },
            HeaderCase { "JsonAfterByteOrderMark", "\xEF\xBB\xBF [ ]", RunOutcome::Converted, "" },
            HeaderCase {
                "JsonObjectAtTop", "{\"OBJECT_NAME\": \"X\"}", RunOutcome::WrongHeader, "" },
            HeaderCase {
                "ByteOrderMarkAndBlanksOnly", "\xEF\xBB\xBF  \n", RunOutcome::WrongHeader, "" }),
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
                shuffledRow() + ",\"first\nsecond\"\r\n" + withFloat(shuffledRow()) + "\r\n", entry,
                "'0.05x2' is not a valid floating point value", 4 }),
        caseName);

    // A header that begins as the standard one but is read by its names
    // (an extra column among the first 17) still finds rows too short for it.
    TEST(NamedRowsAfterTheStandardStart, AreCheckedForLength)
    {
        const testing::TemporaryFolder folder("start");
        std::string columns(header);
        columns.insert(columns.find(",EPOCH"), ",LAUNCH_DATE");
        const Ending ending = convertBytes(folder, columns + "\n" + std::string(exampleRow) + "\n");
        EXPECT_EQ(ending.message, "Line 2 has only 17 columns; MEAN_MOTION_DDOT is column 18");
        EXPECT_EQ(ending.line, 2);
        EXPECT_EQ(ending.output, "");
    }

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
            RecordCase {
                "DoubledQuotes", { "\"say \"\"hi\"\"\",\"\"\"\"" }, Texts { "say \"hi\"", "\"" } },
            RecordCase { "EmptyQuoted", { "\"\",x" }, Texts { "", "x" } },
            RecordCase { "QuoteInsideAnUnquotedValue", { "a\"b,c" }, Texts { "a\"b", "c" } },
            RecordCase { "BlanksKept", { " a , \"b\"" }, Texts { " a ", " \"b\"" } },
            RecordCase { "OverThreeLines", { "x,\"one", "", "three\",y" },
                Texts { "x", "one\n\nthree", "y" } }),
        caseName);

    // JSON values read as the CSV file's texts would be.

    /// The example row as a JSON record of strings, with `column` given as the JSON text `value`.
    std::string jsonRecord(std::string_view column, std::string_view value)
    {
        const std::vector<std::string> texts = exampleTexts();
        std::string record = "{";
        for (std::size_t k = 0; k < texts.size(); ++k) {
            record += (k == 0 ? "\"" : ", \"") + std::string(columnNames[k]) + "\": ";
            record += columnNames[k] == column ? std::string(value) : "\"" + texts[k] + "\"";
        }
        return record + "}";
    }

    /// The example row with `column`'s text replaced.
    std::string csvRow(std::string_view column, std::string_view text)
    {
        std::vector<std::string> texts = exampleTexts();
        texts[*columnIndex(column)] = text;
        std::string row = texts[0];
        for (std::size_t k = 1; k < texts.size(); ++k)
            row += "," + texts[k];
        return row;
    }

    struct ValueCase {
        const char *name;
        const char *column;
        std::string json; ///< the value as JSON
        std::string text; ///< the same value as the CSV file's text
    };

    class JsonValues : public ::testing::TestWithParam<ValueCase> { };

    TEST_P(JsonValues, ReadAsTheirText)
    {
        const ValueCase &c = GetParam();
        const testing::TemporaryFolder folder("values");
        const Ending fromCsv
            = convertBytes(folder, std::string(header) + "\n" + csvRow(c.column, c.text) + "\n");
        const Ending fromJson = convertBytes(folder, "[" + jsonRecord(c.column, c.json) + "]");
        EXPECT_EQ(fromJson.output, fromCsv.output);
        EXPECT_EQ(fromJson.message, fromCsv.message);
        EXPECT_EQ(fromJson.count, fromCsv.count);
    }

    INSTANTIATE_TEST_SUITE_P(Values,
        JsonValues,
        ::testing::Values(ValueCase { "MinusZero", "MEAN_MOTION_DOT", "-0", "-0" },
            ValueCase { "Zero", "MEAN_MOTION_DOT", "0", "0" },
            ValueCase { "NegativeInteger", "MEAN_MOTION_DDOT", "-2", "-2" },
            ValueCase { "SmallDecimal", "BSTAR", "0.0001", "0.0001" },
            ValueCase { "Exponent", "BSTAR", "1.5e-05", "1.5e-05" },
            ValueCase { "ExponentCapital", "MEAN_MOTION_DOT", "-2.97E-6", "-2.97E-6" },
            ValueCase { "TrailingZeros", "RA_OF_ASC_NODE", "85.1000", "85.1000" },
            ValueCase { "IntegerAngle", "INCLINATION", "12", "12" },
            ValueCase { "CatalogueNumber", "NORAD_CAT_ID", "100057", "100057" },
            ValueCase { "CatalogueAsString", "NORAD_CAT_ID", "\"J0001\"", "J0001" },
            ValueCase { "LargestUnsigned", "ELEMENT_SET_NO", "18446744073709551615",
                "18446744073709551615" },
            ValueCase {
                "BeyondUnsigned", "REV_AT_EPOCH", "18446744073709551616", "18446744073709551616" },
            ValueCase { "LongDecimal", "MEAN_MOTION", "1.002712340000000000001",
                "1.002712340000000000001" },
            ValueCase { "NullIsEmpty", "MEAN_MOTION_DDOT", "null", "" },
            ValueCase { "EscapedName", "OBJECT_NAME", "\"SAT \\\"\\u00c9\\\" \\/1\"",
                "SAT \"\xC3\x89\" /1" },
            ValueCase { "StringNumber", "ECCENTRICITY", "\".0002345\"", ".0002345" },
            ValueCase { "BadStringNumber", "INCLINATION", "\"0.05x2\"", "0.05x2" }),
        caseName);

    // JSON files that stop the run, and what is kept.

    const std::string record = jsonRecord("", "");

    struct JsonCase {
        const char *name;
        std::string bytes;
        int count; ///< entries written before the end
        std::string message;
        int line;
    };

    class JsonRuns : public ::testing::TestWithParam<JsonCase> { };

    TEST_P(JsonRuns, KeepTheEntriesBeforeAnError)
    {
        const JsonCase &c = GetParam();
        const testing::TemporaryFolder folder("json");
        const Ending ending = convertBytes(folder, c.bytes);
        EXPECT_EQ(ending.message, c.message);
        EXPECT_EQ(ending.line, c.line);
        std::string entries;
        for (int k = 0; k < c.count; ++k)
            entries += exampleEntry;
        EXPECT_EQ(ending.output, entries);
        EXPECT_TRUE(ending.outputExists);
    }

    std::string recordWith(std::string_view column, std::string_view value)
    {
        return jsonRecord(column, value);
    }

    INSTANTIATE_TEST_SUITE_P(Files,
        JsonRuns,
        ::testing::Values(JsonCase { "Two", "[" + record + ",\n" + record + "]\n", 2, "", 0 },
            JsonCase { "OtherKeysPassedOver",
                "[{\"A\": {\"B\": [1, {\"C\": null}]}, " + record.substr(1) + "]", 1, "", 0 },
            JsonCase { "Malformed", "[\n" + record + ",\n  {\"OBJECT_NAME\": }\n]", 1,
                "The JSON is malformed at line 3, column 19: syntax error while parsing value - "
                "unexpected '}'; expected '[', '{', or a literal",
                3 },
            JsonCase { "BadLiteral", "[" + record + ",\n\n tru]", 1,
                "The JSON is malformed at line 3, column 5: syntax error while parsing value - "
                "invalid literal",
                3 },
            JsonCase { "Truncated", "[" + record + ",", 1,
                "The JSON is malformed at line 1, column " + std::to_string(record.size() + 2)
                    + ": syntax error while parsing value - unexpected end of input; expected "
                      "'[', '{', or a literal",
                1 },
            JsonCase { "TextAfterTheArray", "[" + record + "]\n,", 1,
                "The JSON is malformed at line 2, column 1: syntax error while parsing value - "
                "unexpected ','; expected end of input",
                2 },
            // A record's first key opens 7 characters in; the 99th "[" in its value is the
            // 101st open array or object.
            JsonCase { "NestedTooDeep", "[{\"A\": " + std::string(1000000, '['), 0,
                "The JSON is malformed at line 1, column 106: values nested more than 100 deep",
                1 },
            JsonCase { "NotAnObject", "[" + record + ",\n 42]", 1, "Record 2 is not an object", 2 },
            JsonCase { "ArrayAsRecord", "[\n[" + record + "]]", 0, "Record 1 is not an object", 2 },
            JsonCase { "ObjectValue", "[" + record + ",\n" + recordWith("MEAN_MOTION", "{}") + "]",
                1, "Record 2: MEAN_MOTION is an object, not a text or a number", 2 },
            JsonCase { "ArrayValue", "[" + recordWith("BSTAR", "[0]") + "]", 0,
                "Record 1: BSTAR is an array, not a text or a number", 1 },
            JsonCase { "TrueValue", "[" + recordWith("OBJECT_NAME", "true") + "]", 0,
                "Record 1: OBJECT_NAME is true, not a text or a number", 1 },
            JsonCase { "MissingKey", "[" + record + ",\n{\"OBJECT_NAME\": \"X\"}]", 1,
                "Record 2 has no OBJECT_ID", 2 },
            JsonCase { "KeyTwice", "[{\"EPOCH\": \"x\", " + record.substr(1) + "]", 0,
                "Record 1 has EPOCH twice", 1 },
            JsonCase { "LineBreakInName", "[" + recordWith("OBJECT_NAME", "\"A\\nB\"") + "]", 0,
                "Record 1: OBJECT_NAME holds a line break", 1 },
            JsonCase { "BadField",
                "[" + record + ",\n\n" + recordWith("INCLINATION", "0.05e") + "]", 1,
                "The JSON is malformed at line 3, column "
                    + std::to_string(recordWith("INCLINATION", "0.05e").find("0.05e") + 6)
                    + ": syntax error while parsing value - invalid number; expected '+', '-', "
                      "or digit after exponent",
                3 },
            JsonCase { "FieldThatDoesNotRead",
                "[" + record + ",\n\n" + recordWith("INCLINATION", "\"0.05x2\"") + "]", 1,
                "'0.05x2' is not a valid floating point value", 3 }),
        caseName);

    // Records over many input buffers: each is read whole, and the line of a
    // record far into the file is counted right.
    TEST(JsonRecords, CrossTheInputBuffers)
    {
        const testing::TemporaryFolder folder("big");
        std::string bytes = "[\n";
        const int records = 1500; // about 600 bytes each: several 64 KiB buffers
        for (int k = 0; k < records; ++k)
            bytes += "  " + record + ",\n";
        bytes += "  " + recordWith("INCLINATION", "\"0.05x2\"") + "\n]\n";
        const Ending ending = convertBytes(folder, bytes);
        ASSERT_EQ(ending.line, records + 2) << ending.message;
        std::string entries;
        for (int k = 0; k < records; ++k)
            entries += exampleEntry;
        EXPECT_EQ(ending.output, entries);
    }

    // The JSON parser writes a number's point as the C locale's decimal
    // point, which a window program's locale may make a comma.
    TEST(JsonRecords, ReadNumbersAlikeUnderADecimalComma)
    {
        struct LocaleBack {
            std::string saved = std::setlocale(LC_NUMERIC, nullptr);
            ~LocaleBack() { std::setlocale(LC_NUMERIC, saved.c_str()); }
        } back;
        bool comma = false;
        for (const char *name :
            { "de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "German_Germany.1252" })
            if (std::setlocale(LC_NUMERIC, name) && *std::localeconv()->decimal_point == ',') {
                comma = true;
                break;
            }
        if (!comma)
            GTEST_SKIP() << "no locale with a decimal comma here";
        const testing::TemporaryFolder folder("comma");
        const Ending ending
            = convert(dataFile("forms/numbers.json"), folder.path() / "out.TLE", false);
        EXPECT_EQ(ending.message, "");
        EXPECT_EQ(ending.output, readBytes(dataFile("catalogue.tle")));
    }

#ifndef _WIN32
    // A pipe may hand over a byte at a time: the form is still told from the
    // first bytes that are not a byte-order mark or blank.
    TEST(FirstBytes, ArriveAByteAtATime)
    {
        const testing::TemporaryFolder folder("pipe");
        for (const std::string &bytes : { "\xEF\xBB\xBF \r\n[" + record + "]",
                 "\xEF\xBB\xBF" + quotedEach(shuffledHeader) + "\n" + good }) {
            int channel[2];
            ASSERT_EQ(pipe(channel), 0);
            std::thread writer([&] {
                for (std::size_t k = 0; k < bytes.size(); ++k) {
                    if (write(channel[1], bytes.data() + k, 1) != 1)
                        break;
                    if (k < 12)
                        std::this_thread::sleep_for(std::chrono::milliseconds(2));
                }
                close(channel[1]);
            });
            Conversion conversion;
            const fs::path output = folder.path() / "out.TLE";
            RunResult result;
            EXPECT_NO_THROW(result = conversion.convertStreams(channel[0], output.string()));
            writer.join();
            close(channel[0]);
            EXPECT_EQ(result.count, 1) << bytes.substr(0, 8);
            EXPECT_EQ(readBytes(output), exampleEntry);
        }
    }
#endif

} // namespace
} // namespace varnholt
