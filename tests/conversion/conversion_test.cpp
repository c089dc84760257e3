#include "conversion.h"
#include "errors.h"
#include "test_support.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace varnholt {
namespace {

    namespace fs = std::filesystem;
    using ::testing::StrEq;
    using ::testing::ThrowsMessage;

    using testing::caseName;
    using testing::crlfLine;
    using testing::exampleEntry;
    using testing::exampleRow;
    using testing::header;
    using testing::PrintTo;
    using testing::publishedEntry;
    using testing::publishedRow;
    using testing::readBytes;

    std::string entryOf(Conversion &conversion, std::string_view row)
    {
        conversion.splitRow(row, 2);
        conversion.ConvertTLE();
        return std::string(conversion.elementSet.satname) + "\r\n" + conversion.line1 + "\r\n"
            + conversion.line2 + "\r\n";
    }

    // One field of the example row changed, and what the columns then hold.
    struct PlacementCase {
        const char *name;
        std::function<void(TElementSet &)> change;
        int line;
        std::size_t firstColumn;
        std::string expected;
    };

    class Placement : public ::testing::TestWithParam<PlacementCase> { };

    TEST_P(Placement, PutsTheTextInItsColumns)
    {
        const PlacementCase &c = GetParam();
        Conversion conversion;
        conversion.splitRow(exampleRow, 2);
        c.change(conversion.elementSet);
        conversion.ConvertTLE();
        const std::string &line = c.line == 1 ? conversion.line1 : conversion.line2;
        ASSERT_EQ(line.size(), 69U);
        EXPECT_EQ(line.substr(c.firstColumn - 1, c.expected.size()), c.expected) << line;
    }

    INSTANTIATE_TEST_SUITE_P(Columns,
        Placement,
        ::testing::Values(
            PlacementCase { "ElsetOneDigit", [](auto &e) { e.elsetnumber = "7"; }, 1, 65, "   7" },
            PlacementCase {
                "ElsetTwoDigits", [](auto &e) { e.elsetnumber = "42"; }, 1, 65, "  42" },
            PlacementCase {
                "ElsetFourDigits", [](auto &e) { e.elsetnumber = "1234"; }, 1, 65, "1234" },
            PlacementCase { "ElsetEmpty", [](auto &e) { e.elsetnumber = {}; }, 1, 64, "     " },
            PlacementCase { "RevOneDigit", [](auto &e) { e.revnumber = "1"; }, 2, 64, "    1" },
            PlacementCase {
                "RevFiveDigits", [](auto &e) { e.revnumber = "12345"; }, 2, 64, "12345" },
            PlacementCase { "RevEmpty", [](auto &e) { e.revnumber = {}; }, 2, 64, "     " },
            PlacementCase {
                "CatalogueZeroFilled", [](auto &e) { e.catnumber = "5"; }, 2, 1, "2 00005 " },
            PlacementCase {
                "CatalogueAlpha", [](auto &e) { e.catnumber = "100057"; }, 1, 1, "1 A0057U" },
            PlacementCase { "ClassificationEmpty", [](auto &e) { e.classification = {}; }, 1, 3,
                "40732  15034A" },
            PlacementCase { "DesignatorThreeLetters", [](auto &e) { e.intldesig = "1999-025ABC"; },
                1, 9, " 99025ABC " },
            PlacementCase {
                "DesignatorEmpty", [](auto &e) { e.intldesig = {}; }, 1, 9, "          24071" },
            PlacementCase {
                "SecondDerivative", [](auto &e) { e.ddot = "-.12345E-5"; }, 1, 44, " -12345-5 " },
            PlacementCase {
                "BstarExponentForm", [](auto &e) { e.bstar = ".33514E-3"; }, 1, 53, "  33514-3 0" },
            PlacementCase {
                "PerigeeWithoutPoint", [](auto &e) { e.argperigee = "130"; }, 2, 34, " 130.0000 " },
            // Published element sets leave out the "0" before the point and write zero as "0".
            PlacementCase { "InclinationBelowOne", [](auto &e) { e.inclination = ".7392"; }, 2, 8,
                "   0.7392 " },
            PlacementCase {
                "InclinationZero", [](auto &e) { e.inclination = "0"; }, 2, 8, "   0.0000 " },
            PlacementCase {
                "RaanBelowOne", [](auto &e) { e.raan = ".3424"; }, 2, 17, "   0.3424 " },
            PlacementCase {
                "PerigeeBelowOne", [](auto &e) { e.argperigee = ".6268"; }, 2, 34, " 000.6268 " },
            PlacementCase {
                "AnomalyZero", [](auto &e) { e.meananomaly = "0"; }, 2, 43, "   0.0000 " },
            PlacementCase { "MeanMotionBelowOne", [](auto &e) { e.meanmotion = ".90816298"; }, 2,
                52, "  0.90816298 1234" },
            PlacementCase { "EccentricityEightDecimals",
                [](auto &e) { e.eccentricity = ".00279781"; }, 2, 26, " 0027978 " },
            // The widest texts that fit, and the shortest.
            PlacementCase { "InclinationEightColumns", [](auto &e) { e.inclination = "179.9999"; },
                2, 8, " 179.9999 " },
            PlacementCase {
                "RaanEightColumns", [](auto &e) { e.raan = "359.9999"; }, 2, 17, " 359.9999 " },
            PlacementCase { "AnomalyFourDigitsBeforePoint",
                [](auto &e) { e.meananomaly = "1234.567"; }, 2, 43, " 1234.567 " },
            PlacementCase { "MeanMotionElevenColumns",
                [](auto &e) { e.meanmotion = "16.12345678"; }, 2, 52, " 16.12345678 " },
            PlacementCase {
                "PerigeePointLast", [](auto &e) { e.argperigee = "5."; }, 2, 34, " 005.     " },
            PlacementCase { "RaanLonePoint", [](auto &e) { e.raan = "."; }, 2, 17, "   0.     " },
            PlacementCase { "ElsetZero", [](auto &e) { e.elsetnumber = "0"; }, 1, 64, "    0" },
            PlacementCase { "RevZeros", [](auto &e) { e.revnumber = "00000"; }, 2, 64, "00000" },
            // An empty text places nothing: its columns stay blank.
            PlacementCase {
                "PerigeeEmpty", [](auto &e) { e.argperigee = {}; }, 2, 34, "          " },
            PlacementCase {
                "MeanMotionEmpty", [](auto &e) { e.meanmotion = {}; }, 2, 52, "             " }),
        caseName);

    // A column of the data row and the element set's field that holds it.
    struct Column {
        std::size_t number;
        std::string_view TElementSet::*field;
    };
    namespace columns {
        const Column epoch { 3, &TElementSet::epochtext };
        const Column meanMotion { 4, &TElementSet::meanmotion };
        const Column eccentricity { 5, &TElementSet::eccentricity };
        const Column inclination { 6, &TElementSet::inclination };
        const Column raan { 7, &TElementSet::raan };
        const Column perigee { 8, &TElementSet::argperigee };
        const Column anomaly { 9, &TElementSet::meananomaly };
        const Column catalogue { 12, &TElementSet::catnumber };
        const Column elset { 13, &TElementSet::elsetnumber };
        const Column revolution { 14, &TElementSet::revnumber };
        const Column bstar { 15, &TElementSet::bstar };
        const Column firstDerivative { 16, &TElementSet::ndot };
        const Column secondDerivative { 17, &TElementSet::ddot };
    } // namespace columns

    // `row` with column `number` (counted from 1) replaced by `text`.
    std::string withColumn(std::string_view row, std::size_t number, std::string_view text)
    {
        std::size_t start = 0;
        for (std::size_t k = 1; k < number; ++k)
            start = row.find(',', start) + 1;
        const std::size_t end = std::min(row.find(',', start), row.size());
        return std::string(row.substr(0, start)) + std::string(text) + std::string(row.substr(end));
    }

    // Texts put into columns of the example row, and the error the entry then
    // ends with.
    struct RefusalCase {
        const char *name;
        std::vector<std::pair<Column, std::string>> texts;
        std::string message;
    };

    class Refusal : public ::testing::TestWithParam<RefusalCase> { };

    TEST_P(Refusal, NamesTheFirstFieldThatFailsInPlacementOrder)
    {
        const RefusalCase &c = GetParam();
        const auto refused = ThrowsMessage<ConversionError>(StrEq(c.message));
        // In the row, where the fields are read in place with the rest of the
        // row behind them.
        std::string row(exampleRow);
        for (const auto &[column, text] : c.texts)
            row = withColumn(row, column.number, text);
        Conversion inRow;
        inRow.splitRow(row, 2);
        EXPECT_THAT([&] { inRow.ConvertTLE(); }, refused) << row;
        // Put into the element set by a caller, where they are read as bare texts.
        Conversion bare;
        bare.splitRow(exampleRow, 2);
        for (const auto &[column, text] : c.texts)
            bare.elementSet.*column.field = text;
        EXPECT_THAT([&] { bare.ConvertTLE(); }, refused);
    }

    std::string notFloat(std::string_view text)
    {
        return "'" + std::string(text) + "' is not a valid floating point value";
    }
    std::string notInteger(std::string_view text)
    {
        return "'" + std::string(text) + "' is not a valid integer value";
    }
    std::string doesNotFit(std::string_view text)
    {
        return "'" + std::string(text) + "' does not fit its TLE field";
    }

    INSTANTIATE_TEST_SUITE_P(NotANumber,
        Refusal,
        ::testing::Values(
            RefusalCase { "MeanMotionLetter", { { columns::meanMotion, "12.2x3472993" } },
                notFloat("12.2x3472993") },
            RefusalCase { "MeanMotionTwoPoints", { { columns::meanMotion, "12.23.47299" } },
                notFloat("12.23.47299") },
            RefusalCase {
                "MeanMotionOverflows", { { columns::meanMotion, "1E999" } }, notFloat("1E999") },
            RefusalCase { "RaanText", { { columns::raan, "abc" } }, notFloat("abc") },
            RefusalCase {
                "PerigeeSemicolon", { { columns::perigee, "5;4321" } }, notFloat("5;4321") },
            RefusalCase { "AnomalyLongText", { { columns::anomaly, "9.87650000000000x" } },
                notFloat("9.87650000000000x") },
            RefusalCase { "AnomalyPointFirst", { { columns::anomaly, ".98x" } }, notFloat(".98x") },
            RefusalCase { "ElsetLetter", { { columns::elset, "1x" } }, notInteger("1x") },
            RefusalCase { "ElsetSign", { { columns::elset, "-5" } }, notInteger("-5") },
            RefusalCase { "ElsetBlank", { { columns::elset, " 5" } }, notInteger(" 5") },
            RefusalCase { "ElsetDecimal", { { columns::elset, "9.0" } }, notInteger("9.0") },
            RefusalCase { "RevHex", { { columns::revolution, "0x1F" } }, notInteger("0x1F") },
            RefusalCase { "RevLongWithLetter", { { columns::revolution, "12345678901234567A" } },
                notInteger("12345678901234567A") }),
        caseName);

    // The angles and the mean motion are placed as their texts stand, so they
    // must be digits with at most one point: a reader of the lines refuses a
    // sign, a blank or an exponent there, or finds another value. The counts
    // are digits only.
    INSTANTIATE_TEST_SUITE_P(NotPlainDigits,
        Refusal,
        ::testing::Values(RefusalCase { "PerigeeMinus", { { columns::perigee, "-5.4321" } },
                              notFloat("-5.4321") },
            RefusalCase { "PerigeePlus", { { columns::perigee, "+5.4321" } }, notFloat("+5.4321") },
            RefusalCase {
                "PerigeeBlankBefore", { { columns::perigee, " 5.4321" } }, notFloat(" 5.4321") },
            RefusalCase {
                "PerigeeBlankAfter", { { columns::perigee, "5.4321 " } }, notFloat("5.4321 ") },
            RefusalCase {
                "InclinationExponent", { { columns::inclination, "5E1" } }, notFloat("5E1") },
            RefusalCase {
                "InclinationMinusZero", { { columns::inclination, "-0" } }, notFloat("-0") },
            RefusalCase {
                "InclinationBlankBefore", { { columns::inclination, " 7" } }, notFloat(" 7") },
            RefusalCase { "InclinationTwoPoints", { { columns::inclination, "0.05.12" } },
                notFloat("0.05.12") },
            RefusalCase { "InclinationEmpty", { { columns::inclination, "" } }, notFloat("") },
            RefusalCase { "RaanExponent", { { columns::raan, "1E2" } }, notFloat("1E2") },
            RefusalCase { "RaanSmallExponent", { { columns::raan, "1e2" } }, notFloat("1e2") },
            RefusalCase { "RaanMinus", { { columns::raan, "-.5" } }, notFloat("-.5") },
            RefusalCase {
                "RaanTwoPoints", { { columns::raan, "85.12.34" } }, notFloat("85.12.34") },
            RefusalCase {
                "AnomalyExponentAfterPoint", { { columns::anomaly, "9.E1" } }, notFloat("9.E1") },
            RefusalCase { "AnomalyLongSigned", { { columns::anomaly, "-9.87650000000000" } },
                notFloat("-9.87650000000000") },
            RefusalCase {
                "MeanMotionMinus", { { columns::meanMotion, "-1.5" } }, notFloat("-1.5") },
            RefusalCase { "MeanMotionPlus", { { columns::meanMotion, "+1.0027123" } },
                notFloat("+1.0027123") },
            RefusalCase {
                "MeanMotionOnlyBlanks", { { columns::meanMotion, "   " } }, notFloat("   ") },
            RefusalCase { "ElsetPlus", { { columns::elset, "+999" } }, notInteger("+999") },
            RefusalCase { "RevMinus", { { columns::revolution, "-1234" } }, notInteger("-1234") },
            RefusalCase {
                "RevBlankAfter", { { columns::revolution, "1234 " } }, notInteger("1234 ") },
            RefusalCase { "RevExponent", { { columns::revolution, "1E3" } }, notInteger("1E3") }),
        caseName);

    INSTANTIATE_TEST_SUITE_P(TooWide,
        Refusal,
        ::testing::Values(
            RefusalCase { "MeanMotionTwelveCharacters", { { columns::meanMotion, "15.501034721" } },
                doesNotFit("15.501034721") },
            RefusalCase { "MeanMotionTwelveCharactersWithoutRevolution",
                { { columns::meanMotion, "15.501034721" }, { columns::revolution, "" } },
                doesNotFit("15.501034721") },
            RefusalCase { "MeanMotionFilledToTwelve", { { columns::meanMotion, "1.002712345" } },
                doesNotFit("1.002712345") },
            RefusalCase { "MeanMotionCompletedToThirteen", { { columns::meanMotion, "1234" } },
                doesNotFit("1234") },
            RefusalCase { "InclinationFilledToNine", { { columns::inclination, "51.64160" } },
                doesNotFit("51.64160") },
            RefusalCase {
                "RaanNineCharacters", { { columns::raan, "1234.5678" } }, doesNotFit("1234.5678") },
            RefusalCase {
                "PerigeeCompletedToNine", { { columns::perigee, "1000" } }, doesNotFit("1000") },
            RefusalCase { "AnomalyLongNumber", { { columns::anomaly, "9.876500000000000" } },
                doesNotFit("9.876500000000000") },
            RefusalCase { "ElsetFiveDigits", { { columns::elset, "12345" } }, doesNotFit("12345") },
            RefusalCase {
                "ElsetLeadingZeros", { { columns::elset, "00999" } }, doesNotFit("00999") },
            RefusalCase {
                "RevSixDigits", { { columns::revolution, "123456" } }, doesNotFit("123456") },
            RefusalCase { "RevSeventeenDigits", { { columns::revolution, "12345678901234567" } },
                doesNotFit("12345678901234567") }),
        caseName);

    INSTANTIATE_TEST_SUITE_P(Order,
        Refusal,
        ::testing::Values(
            RefusalCase { "BstarBeforeElset",
                { { columns::elset, "1x" }, { columns::bstar, "abc" } }, notFloat("abc") },
            RefusalCase { "ElsetBeforeInclination",
                { { columns::inclination, "x" }, { columns::elset, "12345" } },
                doesNotFit("12345") },
            RefusalCase { "InclinationBeforeRaan",
                { { columns::raan, "x" }, { columns::inclination, "1000" } }, doesNotFit("1000") },
            RefusalCase { "EccentricityBeforePerigee",
                { { columns::perigee, "x" }, { columns::eccentricity, "2" } }, doesNotFit("2") },
            RefusalCase { "RaanBeforeEccentricity",
                { { columns::eccentricity, "x" }, { columns::raan, "y" } }, notFloat("y") },
            RefusalCase { "PerigeeBeforeAnomaly",
                { { columns::anomaly, "x" }, { columns::perigee, "1000" } }, doesNotFit("1000") },
            RefusalCase { "AnomalyBeforeMeanMotion",
                { { columns::meanMotion, "x" }, { columns::anomaly, "y" } }, notFloat("y") },
            RefusalCase { "MeanMotionBeforeRevolution",
                { { columns::revolution, "x" }, { columns::meanMotion, "15.501034721" } },
                doesNotFit("15.501034721") },
            // A sign is refused where the field is placed, before any later
            // field is read.
            RefusalCase { "SignedRaanBeforeEccentricityTooLarge",
                { { columns::raan, "+5.1234" }, { columns::eccentricity, "7.30E+308" } },
                notFloat("+5.1234") },
            RefusalCase { "SignedInclinationBeforeRaanTooWide",
                { { columns::inclination, "-0" }, { columns::raan, "1234.5678" } },
                notFloat("-0") },
            RefusalCase { "SignedElsetBeforeExponentInclination",
                { { columns::elset, "+999" }, { columns::inclination, "5E1" } },
                notInteger("+999") },
            RefusalCase { "SignedMeanMotionBeforeRevolutionTooWide",
                { { columns::meanMotion, "-1.5" }, { columns::revolution, "123456" } },
                notFloat("-1.5") }),
        caseName);

    // Every field that can refuse its text, in placing order (line 1 left to
    // right, then line 2), with one text of the wrong form and one that does
    // not fit (or a second of the wrong form where nothing can be too wide).
    struct FailingField {
        const char *name;
        Column column;
        std::string wrongForm;
        std::string message;
        std::string tooWide;
        std::string tooWideMessage;
    };

    const std::vector<FailingField> &failingFieldsInPlacingOrder()
    {
        static const std::vector<FailingField> fields {
            { "catalogue", columns::catalogue, "4073x", "'4073x' is not a valid catalogue number",
                "340000", "'340000' is not a valid catalogue number" },
            { "epoch", columns::epoch, "2024-1X-11T12:02:41.185440", notInteger("1X"),
                "2024-03-11T-1:02:41.185440", doesNotFit("2024-03-11T-1:02:41.185440") },
            { "first derivative", columns::firstDerivative, "a", notFloat("a"), "5",
                doesNotFit("5") },
            { "second derivative", columns::secondDerivative, "b", notFloat("b"), "2E10",
                doesNotFit("2E10") },
            { "BSTAR", columns::bstar, "c", notFloat("c"), "3E10", doesNotFit("3E10") },
            { "element set number", columns::elset, "+999", notInteger("+999"), "12345",
                doesNotFit("12345") },
            { "inclination", columns::inclination, "5E1", notFloat("5E1"), "51.64160",
                doesNotFit("51.64160") },
            { "RAAN", columns::raan, "+5.1234", notFloat("+5.1234"), "1234.5678",
                doesNotFit("1234.5678") },
            { "eccentricity", columns::eccentricity, "d", notFloat("d"), "7.30E+308",
                doesNotFit("7.30E+308") },
            { "argument of perigee", columns::perigee, "-5.4321", notFloat("-5.4321"), "1000",
                doesNotFit("1000") },
            { "mean anomaly", columns::anomaly, " 9.8765", notFloat(" 9.8765"), "9.876500000000000",
                doesNotFit("9.876500000000000") },
            { "mean motion", columns::meanMotion, "-1.5", notFloat("-1.5"), "15.501034721",
                doesNotFit("15.501034721") },
            { "revolution number", columns::revolution, "1234 ", notInteger("1234 "), "123456",
                doesNotFit("123456") },
        };
        return fields;
    }

    TEST(FailureOrder, TheEarlierOfAnyTwoFailingFieldsIsNamedWhateverTheirKinds)
    {
        const auto &fields = failingFieldsInPlacingOrder();
        for (std::size_t i = 0; i < fields.size(); ++i) {
            for (std::size_t j = i + 1; j < fields.size(); ++j) {
                const FailingField &first = fields[i];
                const FailingField &later = fields[j];
                for (const bool firstTooWide : { false, true }) {
                    for (const bool laterTooWide : { false, true }) {
                        const std::string &text = firstTooWide ? first.tooWide : first.wrongForm;
                        const std::string &expected
                            = firstTooWide ? first.tooWideMessage : first.message;
                        const std::string &laterText
                            = laterTooWide ? later.tooWide : later.wrongForm;
                        SCOPED_TRACE(std::string(first.name) + " '" + text + "' before "
                            + later.name + " '" + laterText + "'");
                        std::string row(exampleRow);
                        row = withColumn(row, first.column.number, text);
                        row = withColumn(row, later.column.number, laterText);
                        Conversion inRow;
                        inRow.splitRow(row, 2);
                        EXPECT_THAT([&] { inRow.ConvertTLE(); },
                            ThrowsMessage<ConversionError>(StrEq(expected)));
                        Conversion bare;
                        bare.splitRow(exampleRow, 2);
                        bare.elementSet.*first.column.field = text;
                        bare.elementSet.*later.column.field = laterText;
                        EXPECT_THAT([&] { bare.ConvertTLE(); },
                            ThrowsMessage<ConversionError>(StrEq(expected)));
                    }
                }
            }
        }
    }

    TEST(Entry, EveryLineHas69CharactersEndingInItsChecksum)
    {
        Conversion conversion;
        conversion.splitRow(exampleRow, 2);
        TElementSet &e = conversion.elementSet;
        e.satname = "X";
        const std::string motion(200, '1');
        const std::string perigee(100, '2');
        const std::string revolution(80, '3');
        const std::string elset(80, '4');
        e.meanmotion = motion;
        e.argperigee = perigee;
        e.revnumber = revolution;
        e.elsetnumber = elset;
        // Texts longer than their fields are refused, the first placed first.
        for (std::string_view *field :
            { &e.elsetnumber, &e.argperigee, &e.meanmotion, &e.revnumber }) {
            EXPECT_THAT([&] { conversion.ConvertTLE(); },
                ThrowsMessage<ConversionError>(StrEq(doesNotFit(*field))));
            *field = {};
        }
        conversion.ConvertTLE();
        for (const std::string *line : { &conversion.line1, &conversion.line2 }) {
            ASSERT_EQ(line->size(), 69U);
            EXPECT_EQ((*line)[68], testing::expectedChecksum(*line)) << *line;
        }
        EXPECT_EQ(conversion.blankline, std::string(69, ' '));
    }

    TEST(Entry, NothingOfAnEarlierEntrySurvives)
    {
        Conversion conversion;
        entryOf(conversion,
            "ISS (ZARYA),1998-067A,2024-03-11T12:02:41.185440,15.50103472,.0004,51.6416,85.1234,"
            "75.2108,9.8765,0,U,25544,999,12345,.33514E-3,.14705E-3,.12345E-4");
        Conversion fresh;
        const std::string shortRow = "S,2015-034A,2024-03-11T12:02:41.185440,1.0,.0002345,7.5,"
                                     "85.1234,5.4,9.8765,0,,5,9,1,0,0,0";
        EXPECT_EQ(entryOf(conversion, shortRow), entryOf(fresh, shortRow));
    }

    TEST(SplitRow, TakesColumnsAsTheyStand)
    {
        Conversion conversion;
        conversion.splitRow(
            "\"A, B\",2015-034A,e,m,x,i,r,a,ma,SKIP,Usecret,140732,el,rev,bs,nd,dd,18,19", 2);
        const TElementSet &e = conversion.elementSet;
        // The comma inside quotes splits: every later column shifts by one.
        EXPECT_EQ(e.satname, "\"A");
        EXPECT_EQ(e.intldesig, " B\"");
        EXPECT_EQ(e.classification, "S");
        EXPECT_EQ(e.catnumber, "Usecret");
        EXPECT_EQ(e.ddot, "nd");

        conversion.splitRow("n,d,e,m,x,i,r,a,ma,0,,140732,el,rev,bs,nd,", 2);
        EXPECT_EQ(conversion.elementSet.classification, "");
        EXPECT_EQ(conversion.elementSet.catnumber, "140732");
        EXPECT_EQ(conversion.elementSet.ddot, "");
        EXPECT_EQ(conversion.elementSet.eccentricity, "x");
    }

    TEST(SplitRow, ShortRowNamesItsLineAndColumns)
    {
        Conversion conversion;
        EXPECT_THAT([&] { conversion.splitRow("a,b,c", 7); },
            ThrowsMessage<ConversionError>(
                StrEq("Line 7 has only 3 columns; a satellite row has 17")));
        EXPECT_THAT([&] { conversion.splitRow("", 3); },
            ThrowsMessage<ConversionError>(
                StrEq("Line 3 has only 1 columns; a satellite row has 17")));
    }

    TEST(SplitRow, RenumberingHandsOutTheCountersNextValue)
    {
        Conversion conversion;
        conversion.renumbermode = 1;
        conversion.splitRow(exampleRow, 2);
        EXPECT_EQ(conversion.elementSet.catnumber, "20001");
        EXPECT_EQ(conversion.elementSet.satname, "EXAMPLESAT 4");
        conversion.splitRow(exampleRow, 3);
        EXPECT_EQ(conversion.elementSet.catnumber, "20002");
        EXPECT_EQ(conversion.renumbercounter, 20002);
    }

    struct StemCase {
        const char *name;
        std::string path;
        std::string stem;
    };

    class OutputStem : public ::testing::TestWithParam<StemCase> { };

    TEST_P(OutputStem, LandsBesideTheInput)
    {
        EXPECT_EQ(outputStemFor(GetParam().path), GetParam().stem);
    }

    INSTANTIATE_TEST_SUITE_P(Paths,
        OutputStem,
        ::testing::Values(StemCase { "Plain", "/data/active.csv", "/data/active." },
            StemCase { "FirstPointOfName", "/data/list.2024.txt", "/data/list." },
            StemCase { "PointInFolder", "/data/sat.old/active.csv", "/data/sat.old/active." },
            StemCase { "NoPoint", "/data/active", "/data/active." },
            StemCase { "NoPointAfterDottedFolder", "/data.x/active", "/data.x/active." },
            StemCase { "Relative", "list.2024.txt", "list." },
            StemCase { "HiddenName", "/data/.csv", "/data/." }),
        caseName);

    /// `entry` `count` times over.
    std::string repeated(std::string_view entry, int count)
    {
        std::string text;
        for (int k = 0; k < count; ++k)
            text += entry;
        return text;
    }

    /// The bytes of a file in tests/data.
    std::string dataFile(const char *name)
    {
        return readBytes(fs::path(VARNHOLT_TEST_DATA) / name);
    }

    struct NameCase {
        const char *name;
        std::string text;
        std::size_t width;
        std::string expected;
    };

    class NameLine : public ::testing::TestWithParam<NameCase> { };

    TEST_P(NameLine, IsCutToItsWidthWithoutTrailingBlanks)
    {
        EXPECT_EQ(nameLine(GetParam().text, GetParam().width), GetParam().expected);
    }

    INSTANTIATE_TEST_SUITE_P(Names,
        NameLine,
        ::testing::Values(NameCase { "Shorter", "ISS (ZARYA)", 24, "ISS (ZARYA)" },
            NameCase { "Cut", "COSMOS 2496 (RODNIK-S 10)", 24, "COSMOS 2496 (RODNIK-S 10" },
            NameCase { "BlanksBeforeTheCut", "STARLINK-1007    DEB", 16, "STARLINK-1007" },
            NameCase { "OwnTrailingBlanks", "ISS   ", 24, "ISS" },
            NameCase { "WidthOne", "ISS", 1, "I" },
            NameCase { "AllBlanks", "   ", 2, "" },
            // "é" is two bytes in UTF-8, "卫" three: a character is left out whole.
            NameCase { "TwoByteCharacterAtTheCut", "CAF\xC3\xA9 1", 4, "CAF" },
            NameCase { "TwoByteCharacterFits", "CAF\xC3\xA9 1", 5, "CAF\xC3\xA9" },
            NameCase { "ThreeByteCharacterAtTheCut", "AB\xE5\x8D\xAB", 4, "AB" },
            // Latin-1 bytes are not UTF-8: cut where they stand.
            NameCase { "Latin1", "CAF\xE9 \xE9", 5, "CAF\xE9" }),
        caseName);

    // Runs on real files in a fresh folder.
    class Run : public ::testing::Test {
    protected:
        std::string write(const std::string &name, const std::string &bytes)
        {
            const fs::path path = m_folder.path() / name;
            testing::writeBytes(path, bytes);
            return path.string();
        }
        RunResult load(const std::string &path, bool renumber = false)
        {
            conversion.renumbermode = renumber ? 1 : 0;
            return conversion.convertFile(path);
        }

        const testing::TemporaryFolder m_folder { "run" };
        Conversion conversion;
    };

    TEST_F(Run, ConvertsBesideTheInput)
    {
        const std::string input = write("active.csv",
            std::string(header) + "\r\n" + std::string(exampleRow) + "\r\n"
                + std::string(publishedRow));
        const RunResult result = load(input);
        const std::string output = (m_folder.path() / "active.TLE").string();
        EXPECT_EQ(result.outcome, RunOutcome::Converted);
        EXPECT_EQ(result.count, 2);
        EXPECT_EQ(result.letterNumbers, 0);
        EXPECT_EQ(result.outputName, output);
        EXPECT_EQ(conversion.sourcefilename, input);
        EXPECT_EQ(conversion.outputstem, (m_folder.path() / "active.").string());
        EXPECT_EQ(readBytes(output), std::string(exampleEntry) + std::string(publishedEntry));
    }

    struct HeaderCase {
        const char *name;
        std::string bytes;
        bool accepted;
    };

    class RunHeader : public Run, public ::testing::WithParamInterface<HeaderCase> { };

    TEST_P(RunHeader, IsCheckedOnItsFirst21Characters)
    {
        const RunResult result = load(write("h.csv", GetParam().bytes));
        const fs::path output = m_folder.path() / "h.TLE";
        const bool outputExists = fs::exists(output);
        if (GetParam().accepted) {
            // A header alone: the run converts, and writes nothing.
            EXPECT_EQ(result.outcome, RunOutcome::Converted);
            EXPECT_TRUE(outputExists);
            EXPECT_EQ(readBytes(output), "");
            EXPECT_EQ(result.count, 0);
            EXPECT_EQ(result.outputName, output.string());
        } else {
            EXPECT_EQ(result.outcome, RunOutcome::WrongHeader);
            EXPECT_FALSE(outputExists);
            EXPECT_EQ(result.outputName, "");
        }
    }

    INSTANTIATE_TEST_SUITE_P(Headers,
        RunHeader,
        ::testing::Values(HeaderCase { "Exact", "OBJECT_NAME,OBJECT_ID", true },
            HeaderCase { "Longer", std::string(header) + "\r\n", true },
            HeaderCase { "LowerCase", "object_name,object_id\r\n", false },
            HeaderCase { "Short", "OBJECT_NAME,OBJECT_I\r\n", false },
            HeaderCase { "Empty", "", false },
            // Spreadsheets save "CSV UTF-8" with a byte-order mark in front.
            HeaderCase { "ByteOrderMark", "\xef\xbb\xbfOBJECT_NAME,OBJECT_ID\r\n", true },
            HeaderCase {
                "ByteOrderMarkBeforeAWrongHeader", "\xef\xbb\xbfobject_name,OBJECT_ID\r\n", false },
            HeaderCase {
                "ByteOrderMarkTwice", "\xef\xbb\xbf\xef\xbb\xbfOBJECT_NAME,OBJECT_ID\r\n", false },
            HeaderCase { "PartOfAByteOrderMark", "\xef\xbbOBJECT_NAME,OBJECT_ID\r\n", false },
            HeaderCase { "ByteOrderMarkOnly", "\xef\xbb\xbf", false },
            HeaderCase { "EofCharFirst", "\x1aOBJECT_NAME,OBJECT_ID\r\n", false }),
        caseName);

    struct CountCase {
        const char *name;
        std::string body;
        int count;
    };

    class RunCount : public Run, public ::testing::WithParamInterface<CountCase> { };

    TEST_P(RunCount, CountsTheConvertedRows)
    {
        const RunResult result = load(write("c.csv", std::string(header) + GetParam().body));
        const fs::path output = m_folder.path() / "c.TLE";
        EXPECT_EQ(result.count, GetParam().count);
        EXPECT_EQ(readBytes(output), repeated(exampleEntry, GetParam().count));
    }

    const std::string row(exampleRow);

    INSTANTIATE_TEST_SUITE_P(Bodies,
        RunCount,
        ::testing::Values(CountCase { "HeaderOnly", "\r\n", 0 },
            CountCase { "HeaderWithoutLineEnd", "", 0 },
            CountCase { "OneRow", "\r\n" + row, 1 },
            CountCase { "LfLineEnds", "\n" + row + "\n" + row + "\n", 2 },
            CountCase {
                "BlankLinesPassedOver", "\r\n\r\n" + row + "\r\n   \r\n" + row + "\r\n\r\n", 2 },
            CountCase { "CarriageReturnsOnly", "\r" + row + "\r" + row + "\r", 0 },
            CountCase { "EofCharEndsInput", "\r\n" + row + "\r\n\x1a" + row + "\r\n", 1 }),
        caseName);

    TEST_F(Run, ErrorInRowKeepsTheEarlierEntriesAndNamesTheLine)
    {
        std::string bad = row;
        bad.replace(bad.find("0.0512"), 6, "0.05x2");
        const std::string input = write("e.csv",
            std::string(header) + "\r\n" + row + "\r\n\r\n" + row + "\r\n" + bad + "\r\n" + row
                + "\r\n");
        try {
            load(input);
            FAIL() << "no error";
        } catch (const ConversionError &error) {
            EXPECT_STREQ(error.what(), "'0.05x2' is not a valid floating point value");
            EXPECT_EQ(error.line(), 5);
        }
        EXPECT_EQ(readBytes(m_folder.path() / "e.TLE"),
            std::string(exampleEntry) + std::string(exampleEntry));
    }

    TEST_F(Run, ShortRowEndsTheRunLikeAnyError)
    {
        const std::string input = write(
            "s.csv", std::string(header) + "\n" + row + "\nonly,three,columns\n" + row + "\n");
        EXPECT_THAT([&] { load(input); },
            ThrowsMessage<ConversionError>(
                StrEq("Line 3 has only 3 columns; a satellite row has 17")));
        EXPECT_EQ(readBytes(m_folder.path() / "s.TLE"), exampleEntry);
    }

    TEST_F(Run, RenumberingContinuesAcrossRunsAndErrors)
    {
        const std::string good
            = write("g.csv", std::string(header) + "\n" + row + "\n" + row + "\n");
        std::string badRow = row;
        badRow.replace(badRow.find("1.00271234"), 10, "x");
        badRow.replace(badRow.find("0.0512"), 6, "abc");
        const std::string bad
            = write("b.csv", std::string(header) + "\n" + row + "\n" + badRow + "\n");

        load(good, true);
        EXPECT_THAT(readBytes(m_folder.path() / "g.TLE"), ::testing::HasSubstr("2 20002 "));
        EXPECT_THROW(load(bad, true), ConversionError);
        EXPECT_EQ(conversion.renumbercounter, 20004); // the failing row used its number
        load(good, true);
        EXPECT_THAT(readBytes(m_folder.path() / "g.TLE"), ::testing::HasSubstr("2 20006 "));
        // Without renumbering the rows keep their own numbers.
        load(good);
        EXPECT_THAT(readBytes(m_folder.path() / "g.TLE"), ::testing::HasSubstr("2 40732 "));
        EXPECT_EQ(conversion.renumbercounter, 20006);
    }

    TEST_F(Run, FiveDigitNumbersEndOnTheFirstNumberWithout)
    {
        const std::string input = write("stand-ins.csv", dataFile("stand-ins.csv"));
        conversion.fivedigitmode = 1;
        EXPECT_THAT([&] { conversion.convertFile(input); },
            ThrowsMessage<ConversionError>(
                StrEq("Catalogue number '120000' is above 119999 and has no five-digit stand-in")));
        EXPECT_EQ(
            readBytes(m_folder.path() / "stand-ins.TLE"), dataFile("stand-ins-five-digit.tle"));

        // Without the rows above 119999 it converts, and no number is in letter form.
        std::string rows = dataFile("stand-ins.csv");
        rows.erase(
            rows.find("OBJECT 120000"), rows.find("VANGUARD 1") - rows.find("OBJECT 120000"));
        const RunResult result = conversion.convertFile(write("fewer.csv", rows));
        EXPECT_EQ(result.count, 6);
        EXPECT_EQ(result.letterNumbers, 0);
        // The letter form again once the mode is off.
        conversion.fivedigitmode = 0;
        EXPECT_EQ(load(input).letterNumbers, 4);
        EXPECT_EQ(readBytes(m_folder.path() / "stand-ins.TLE"), dataFile("stand-ins.tle"));
    }

    TEST_F(Run, NamedOutputInsteadOfTheStem)
    {
        const std::string input
            = write("active.csv", std::string(header) + "\n" + row + "\n" + row + "\n");
        const std::string named = (m_folder.path() / "named.tle").string();
        const RunResult result = conversion.convertFile(input, named);
        EXPECT_EQ(result.outcome, RunOutcome::Converted);
        EXPECT_EQ(result.count, 2);
        EXPECT_EQ(result.outputName, named);
        EXPECT_EQ(readBytes(named), repeated(exampleEntry, 2));
        EXPECT_FALSE(fs::exists(m_folder.path() / "active.TLE"));
        EXPECT_THAT([&] { conversion.convertFile(input, input); },
            ThrowsMessage<IoError>(StrEq("I/O error 32")));
        EXPECT_EQ(readBytes(input), std::string(header) + "\n" + row + "\n" + row + "\n");
    }

    TEST_F(Run, MissingInputIsFileNotFoundAndCreatesNothing)
    {
        EXPECT_THAT([&] { load((m_folder.path() / "none.csv").string()); },
            ThrowsMessage<IoError>(StrEq("File not found")));
        EXPECT_FALSE(fs::exists(m_folder.path() / "none.TLE"));
        EXPECT_THAT([&] { load((m_folder.path() / "nofolder" / "a.csv").string()); },
            ThrowsMessage<IoError>(StrEq("Invalid filename")));
    }

    TEST_F(Run, OutputNamedLikeTheInputLeavesItUntouched)
    {
        const std::string bytes = std::string(header) + "\n" + row + "\n";
        const std::string input = write("active.TLE", bytes);
        EXPECT_THAT([&] { load(input); }, ThrowsMessage<IoError>(StrEq("I/O error 32")));
        EXPECT_EQ(readBytes(input), bytes);
    }

    // Whole texts: a CSV file and the TLE file a run makes of it, with or
    // without renumbering (a fresh program's counter starts at 20001).
    struct WholeTextCase {
        const char *name;
        std::string csv;
        std::string tle;
        bool renumber;
        int letterNumbers; ///< catalogue numbers written as a letter and four digits
    };

    class WholeText : public Run, public ::testing::WithParamInterface<WholeTextCase> { };

    TEST_P(WholeText, ConvertsByteForByte)
    {
        const WholeTextCase &c = GetParam();
        ASSERT_FALSE(c.csv.empty() || c.tle.empty()) << "a data file is missing";
        const RunResult result = load(write("active.csv", c.csv), c.renumber);
        EXPECT_EQ(result.outcome, RunOutcome::Converted);
        EXPECT_EQ(readBytes(m_folder.path() / "active.TLE"), c.tle);
        EXPECT_EQ(result.letterNumbers, c.letterNumbers);
    }

    INSTANTIATE_TEST_SUITE_P(Texts,
        WholeText,
        ::testing::Values(WholeTextCase { "WorkedExample", crlfLine(header) + crlfLine(exampleRow),
                              std::string(exampleEntry), false, 0 },
            WholeTextCase { "PublishedElementSet", crlfLine(header) + crlfLine(publishedRow),
                std::string(publishedEntry), false, 0 },
            WholeTextCase {
                "Catalogue", dataFile("catalogue.csv"), dataFile("catalogue.tle"), false, 3 },
            WholeTextCase { "CatalogueRenumbered", dataFile("catalogue.csv"),
                dataFile("catalogue-renumbered.tle"), true, 0 },
            WholeTextCase { "Edges", dataFile("edges.csv"), dataFile("edges.tle"), false, 0 },
            WholeTextCase {
                "StandInRows", dataFile("stand-ins.csv"), dataFile("stand-ins.tle"), false, 4 }),
        caseName);

} // namespace
} // namespace varnholt
