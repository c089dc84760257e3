#include "errors.h"
#include "field_conversions.h"
#include "test_support.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <random>
#include <string>

namespace varnholt {
namespace {

    using testing::caseName;
    using testing::PrintTo;
    using ::testing::StrEq;
    using ::testing::ThrowsMessage;

    using Conversion = std::string (*)(std::string_view);

    std::string FiveDigitNumber(std::string_view text)
    {
        return CatalogueNumber(text, CatalogueForm::fiveDigits);
    }

    struct FieldCase {
        const char *name;
        Conversion convert;
        std::string text;
        std::string expected;
    };

    class FieldConversion : public ::testing::TestWithParam<FieldCase> { };

    TEST_P(FieldConversion, GivesItsText)
    {
        EXPECT_EQ(GetParam().convert(GetParam().text), GetParam().expected);
    }

    INSTANTIATE_TEST_SUITE_P(Inclination,
        FieldConversion,
        ::testing::Values(FieldCase { "TwoDigits", PadInclination, "51.6416", " 51.6416" },
            FieldCase { "OneDigit", PadInclination, "5.1234", "  5.1234" },
            FieldCase { "Zero", PadInclination, "0.0512", "  0.0512" },
            FieldCase { "Hundred", PadInclination, "100", "100" },
            FieldCase { "Above100", PadInclination, "101.5", "101.5" },
            FieldCase { "JustBelow10", PadInclination, "9.99", "  9.99" },
            FieldCase { "JustBelow100", PadInclination, "99.9999", " 99.9999" },
            FieldCase { "ByValueNotShape", PadInclination, "45", " 45" },
            FieldCase { "OwnBlanksKept", PadInclination, " 7 ", "   7 " },
            FieldCase {
                "ReadsAsTen", PadInclination, "9.999999999999999999", " 9.999999999999999999" }),
        caseName);

    INSTANTIATE_TEST_SUITE_P(Angle,
        FieldConversion,
        ::testing::Values(FieldCase { "OneDigit", PadAngle, "5.1234", "  5.1234" },
            FieldCase { "TwoDigits", PadAngle, "85.1234", " 85.1234" },
            FieldCase { "ThreeDigits", PadAngle, "345.1234", "345.1234" },
            FieldCase { "FourDigits", PadAngle, "1234.5", "1234.5" },
            FieldCase { "PointFirst", PadAngle, ".5", ".5" },
            FieldCase { "NoPoint", PadAngle, "45", "45" },
            FieldCase { "Empty", PadAngle, "", "" }),
        caseName);

    INSTANTIATE_TEST_SUITE_P(ExponentField,
        FieldConversion,
        ::testing::Values(FieldCase { "Usual", ConvertBstar, ".33514E-3", " 33514-3" },
            FieldCase { "RoundsDown", ConvertBstar, ".44355111E-3", " 44355-3" },
            FieldCase { "Negative", ConvertBstar, "-.11606E-4", "-11606-4" },
            FieldCase { "PositiveExponent", ConvertBstar, "-.29987779E+1", "-29988+1" },
            FieldCase { "ShortMantissa", ConvertBstar, ".3E-4", " 30000-4" },
            FieldCase { "NoExponent", ConvertBstar, "1.5", " 15000+1" },
            FieldCase { "Plain", ConvertBstar, ".29408E-3", " 29408-3" },
            FieldCase { "CarryRenormalises", ConvertBstar, ".999996E-3", " 10000-2" },
            FieldCase { "TieAwayFromZero", ConvertBstar, "-.123455E-2", "-12346-2" },
            FieldCase { "SmallE", ConvertBstar, ".33514e-3", " 33514-3" },
            FieldCase { "Zero", ConvertBstar, "0", " 00000+0" },
            FieldCase { "Empty", ConvertBstar, "", " 00000+0" },
            FieldCase { "UnitExponentZero", ConvertBstar, ".5", " 50000+0" },
            FieldCase { "SmallestExponent", ConvertBstar, ".12345E-9", " 12345-9" },
            FieldCase { "BelowRange", ConvertBstar, ".5E-10", " 00000+0" },
            FieldCase { "LargestExponent", ConvertBstar, "123456789", " 12346+9" }),
        caseName);

    INSTANTIATE_TEST_SUITE_P(FirstDerivative,
        FieldConversion,
        ::testing::Values(FieldCase { "Usual", ConvertNdot, ".14705E-3", " .00014705" },
            FieldCase { "Negative", ConvertNdot, "-.297E-5", "-.00000297" },
            FieldCase { "ShortMantissa", ConvertNdot, ".1E-5", " .00000100" },
            FieldCase { "Zero", ConvertNdot, "0", " .00000000" },
            FieldCase { "Empty", ConvertNdot, "", " .00000000" },
            FieldCase { "LeadingDigit", ConvertNdot, "-1.6E-7", "-.00000016" },
            FieldCase { "SmallE", ConvertNdot, ".14705e-3", " .00014705" },
            FieldCase { "RoundsHalfUp", ConvertNdot, ".000000125", " .00000013" },
            FieldCase { "RoundsToZeroUnsigned", ConvertNdot, "-.1E-9", " .00000000" },
            FieldCase { "JustBelowHalfTheLastPlaceUnsigned", ConvertNdot, "-.4E-8", " .00000000" },
            FieldCase { "Plain", ConvertNdot, "-.00002182", "-.00002182" }),
        caseName);

    INSTANTIATE_TEST_SUITE_P(Epoch,
        FieldConversion,
        ::testing::Values(
            FieldCase { "Usual", ConvertEpoch, "2024-03-21T12:03:38.416512", "24081.50252796" },
            FieldCase { "Example", ConvertEpoch, "2024-03-11T12:02:41.185440", "24071.50186557" },
            FieldCase { "LeapMarch", ConvertEpoch, "2024-03-01T00:00:00.000000", "24061.00000000" },
            FieldCase {
                "CommonMarch", ConvertEpoch, "2023-03-01T00:00:00.000000", "23060.00000000" },
            FieldCase { "LeapDay", ConvertEpoch, "2024-02-29T23:59:59.999999", "24060.99999999" },
            FieldCase { "Year2000", ConvertEpoch, "2000-12-31T12:00:00.000000", "00366.50000000" },
            FieldCase { "Year1999", ConvertEpoch, "1999-12-31T18:00:00.000000", "99365.75000000" },
            FieldCase { "FirstDay", ConvertEpoch, "2024-01-01T00:00:00.000000", "24001.00000000" },
            FieldCase {
                "PlainNotation", ConvertEpoch, "2024-01-01T00:00:05.000000", "24001.00005787" },
            FieldCase {
                "ExactTenth", ConvertEpoch, "2024-01-01T00:00:08.640000", "24001.00010000" },
            FieldCase {
                "NoSecondsDecimals", ConvertEpoch, "2024-01-05T06:00:00", "24005.25000000" },
            FieldCase {
                "JustBelowShort", ConvertEpoch, "2024-01-01T00:03:09.000000", "24001.00218750" },
            FieldCase { "BlankForT", ConvertEpoch, "2024-03-21 12:03:38.416512", "24081.50252796" },
            FieldCase { "Month13", ConvertEpoch, "2024-13-05T06:00:00", "24006.25000000" },
            FieldCase { "Month0", ConvertEpoch, "2024-00-05T06:00:00", "24005.25000000" },
            FieldCase { "Published", ConvertEpoch, "2026-08-02T23:48:41.752224", "26214.99214991" },
            FieldCase { "DecimalHour", ConvertEpoch, "2024-01-01T.5:00:00", "24001.02083333" }),
        caseName);

    INSTANTIATE_TEST_SUITE_P(CatalogueNumberField,
        FieldConversion,
        ::testing::Values(FieldCase { "FiveDigits", CatalogueNumber, "40732", "40732" },
            FieldCase { "OneDigit", CatalogueNumber, "5", "00005" },
            FieldCase { "ThreeDigits", CatalogueNumber, "900", "00900" },
            FieldCase { "LeadingZeros", CatalogueNumber, "0000025544", "25544" },
            FieldCase { "AlphaFirst", CatalogueNumber, "100000", "A0000" },
            FieldCase { "Alpha", CatalogueNumber, "100057", "A0057" },
            FieldCase { "AlphaSkipsI", CatalogueNumber, "180000", "J0000" },
            FieldCase { "AlphaSkipsO", CatalogueNumber, "230001", "P0001" },
            FieldCase { "AlphaLast", CatalogueNumber, "339999", "Z9999" },
            FieldCase { "AlreadyAlpha", CatalogueNumber, "B1234", "B1234" }),
        caseName);

    // Stand-ins: 100000-119999 less 20000; numbers up to 99999 as in the letter form.
    INSTANTIATE_TEST_SUITE_P(FiveDigitCatalogueNumber,
        FieldConversion,
        ::testing::Values(FieldCase { "Unchanged", FiveDigitNumber, "40732", "40732" },
            FieldCase { "ZeroFilled", FiveDigitNumber, "5", "00005" },
            FieldCase { "HighestFiveDigit", FiveDigitNumber, "99999", "99999" },
            FieldCase { "First", FiveDigitNumber, "100000", "80000" },
            FieldCase { "Within", FiveDigitNumber, "100401", "80401" },
            FieldCase { "Last", FiveDigitNumber, "119999", "99999" },
            FieldCase { "LeadingZeros", FiveDigitNumber, "00000100401", "80401" },
            FieldCase { "LetterFormRead", FiveDigitNumber, "A0401", "80401" },
            FieldCase { "LetterFormLast", FiveDigitNumber, "B9999", "99999" }),
        caseName);

    INSTANTIATE_TEST_SUITE_P(Eccentricity,
        FieldConversion,
        ::testing::Values(
            FieldCase { "EightDecimalsTruncated", EccentricityDigits, ".00012225", "0001222" },
            FieldCase { "SixDecimalsFilled", EccentricityDigits, ".000559", "0005590" },
            FieldCase { "LeadingZero", EccentricityDigits, "0.0002345", "0002345" },
            FieldCase { "Zero", EccentricityDigits, "0", "0000000" },
            FieldCase { "NotThroughDouble", EccentricityDigits, ".0001773", "0001773" },
            FieldCase { "Exponent", EccentricityDigits, "1.773E-4", "0001773" },
            FieldCase { "Largest", EccentricityDigits, ".99999999", "9999999" }),
        caseName);

    INSTANTIATE_TEST_SUITE_P(Designator,
        FieldConversion,
        ::testing::Values(FieldCase { "OneLetter", IntlDesignator, "1998-067A", "98067A" },
            FieldCase { "TwoLetters", IntlDesignator, "2013-066AA", "13066AA" },
            FieldCase { "ThreeLetters", IntlDesignator, "1999-025ABC", "99025ABC" },
            FieldCase { "Longer", IntlDesignator, "1999-025ABCDE", "99025ABC" },
            FieldCase { "Short", IntlDesignator, "199", "9" },
            FieldCase { "Empty", IntlDesignator, "", "" }),
        caseName);

    INSTANTIATE_TEST_SUITE_P(Padding,
        FieldConversion,
        ::testing::Values(FieldCase { "PerigeeOneDigit", PadArgPerigee, "5.4321", "005.4321" },
            FieldCase { "PerigeeTwoDigits", PadArgPerigee, "75.2108", "075.2108" },
            FieldCase { "PerigeeThreeDigits", PadArgPerigee, "130.536", "130.536" },
            FieldCase { "PerigeeNoPoint", PadArgPerigee, "130", "130" },
            FieldCase { "MotionBelow10", PadMeanMotion, "1.00271234", " 1.00271234" },
            FieldCase { "MotionAbove10", PadMeanMotion, "15.50103472", "15.50103472" }),
        caseName);

    struct FailureCase {
        const char *name;
        Conversion convert;
        std::string text;
        std::string message;
    };

    class FieldConversionFails : public ::testing::TestWithParam<FailureCase> { };

    TEST_P(FieldConversionFails, WithTheUsersMessage)
    {
        const FailureCase &c = GetParam();
        EXPECT_THAT([&] { c.convert(c.text); }, ThrowsMessage<ConversionError>(StrEq(c.message)));
    }

    INSTANTIATE_TEST_SUITE_P(Messages,
        FieldConversionFails,
        ::testing::Values(FailureCase { "InclinationEmpty", PadInclination, "",
                              "'' is not a valid floating point value" },
            FailureCase { "InclinationComma", PadInclination, "51,6416",
                "'51,6416' is not a valid floating point value" },
            FailureCase {
                "BstarText", ConvertBstar, "abc", "'abc' is not a valid floating point value" },
            FailureCase {
                "BstarTooLarge", ConvertBstar, "1E9", "'1E9' does not fit its TLE field" },
            FailureCase { "NdotText", ConvertNdot, ".123E-3x",
                "'.123E-3x' is not a valid floating point value" },
            FailureCase { "NdotTooLarge", ConvertNdot, "1.5", "'1.5' does not fit its TLE field" },
            FailureCase { "NdotRoundsToOne", ConvertNdot, "-.999999999",
                "'-.999999999' does not fit its TLE field" },
            FailureCase { "EpochMonth", ConvertEpoch, "2024-1X-05T06:00:00",
                "'1X' is not a valid integer value" },
            FailureCase { "EpochDateOnly", ConvertEpoch, "2024-01-01",
                "'' is not a valid floating point value" },
            FailureCase { "EpochEmpty", ConvertEpoch, "", "'' is not a valid integer value" },
            FailureCase { "EpochSecondsBeforeHours", ConvertEpoch, "2024-01-01TAB:CD:EF",
                "'EF' is not a valid floating point value" },
            FailureCase { "EpochNegativeTime", ConvertEpoch, "2024-01-01T-1:00:00",
                "'2024-01-01T-1:00:00' does not fit its TLE field" },
            FailureCase {
                "CatalogueEmpty", CatalogueNumber, "", "'' is not a valid catalogue number" },
            FailureCase { "CatalogueNegative", CatalogueNumber, "-5",
                "'-5' is not a valid catalogue number" },
            FailureCase { "CatalogueTooLarge", CatalogueNumber, "340000",
                "'340000' is not a valid catalogue number" },
            FailureCase { "CatalogueLetterI", CatalogueNumber, "I0000",
                "'I0000' is not a valid catalogue number" },
            FailureCase { "CatalogueBlank", CatalogueNumber, " 25544",
                "' 25544' is not a valid catalogue number" },
            FailureCase { "FiveDigitFirstWithout", FiveDigitNumber, "120000",
                "Catalogue number '120000' is above 119999 and has no five-digit stand-in" },
            FailureCase { "FiveDigitLetterForm", FiveDigitNumber, "C0000",
                "Catalogue number 'C0000' is above 119999 and has no five-digit stand-in" },
            FailureCase { "FiveDigitBeyondLetters", FiveDigitNumber, "0001234567",
                "Catalogue number '0001234567' is above 119999 and has no five-digit stand-in" },
            FailureCase { "FiveDigitNotANumber", FiveDigitNumber, "1x0000",
                "'1x0000' is not a valid catalogue number" },
            FailureCase {
                "EccentricityOne", EccentricityDigits, "1.0", "'1.0' does not fit its TLE field" },
            FailureCase { "EccentricityNegative", EccentricityDigits, "-.001",
                "'-.001' does not fit its TLE field" },
            FailureCase { "EccentricityText", EccentricityDigits, "x",
                "'x' is not a valid floating point value" }),
        caseName);

    // The day fraction is taken from the exact time for the common form; it
    // must agree with the reference rule (a double rounded to 15 digits).
    TEST(EpochFraction, CommonFormAgreesWithTheReferenceRule)
    {
        std::mt19937_64 random(20261210);
        std::uniform_int_distribution<int> hours(0, 23);
        std::uniform_int_distribution<int> minutes(0, 59);
        std::uniform_int_distribution<int> seconds(0, 59);
        std::uniform_int_distribution<int> micro(0, 999999);
        for (int i = 0; i < 200000; ++i) {
            char text[40];
            const int h = hours(random);
            const int m = minutes(random);
            const int s = seconds(random);
            // Every fourth case lands on whole seconds, where exact decimals are common.
            const int us = i % 4 == 0 ? 0 : micro(random);
            std::snprintf(text, sizeof text, "2024-01-01T%02d:%02d:%02d.%06d", h, m, s, us);
            const double f = (h * 60.0 + m + (s + us / 1e6) / 60) / 1440;
            const std::string expected = "24001." + dayFractionDigits(f);
            ASSERT_EQ(ConvertEpoch(text), expected) << text;
        }
    }

    TEST(Checksum, AgreesWithCharacterByCharacterCountingOnAnyBytes)
    {
        std::mt19937 random(69);
        std::uniform_int_distribution<int> byte(0, 255);
        std::uniform_int_distribution<int> length(0, 300);
        for (int i = 0; i < 20000; ++i) {
            std::string line(static_cast<std::size_t>(length(random)), ' ');
            for (char &c : line)
                c = static_cast<char>(
                    i % 2 == 0 ? byte(random) : "0123456789- +.A"[byte(random) % 15]);
            ASSERT_EQ(Checksum(line), testing::expectedChecksum(line)) << i;
        }
    }

    TEST(Checksum, CountsDigitsAndMinusSignsOnly)
    {
        const std::string base
            = "1 00005U 58002B   00179.78495062  .00000023  00000-0  28098-4 0  4753";
        const char sum = Checksum(base);
        auto with = [&](char c) {
            std::string line = base;
            line[1] = c;
            return Checksum(line);
        };
        EXPECT_EQ(with('-'), static_cast<char>('0' + (sum - '0' + 1) % 10));
        EXPECT_EQ(with('7'), static_cast<char>('0' + (sum - '0' + 7) % 10));
        EXPECT_EQ(with('+'), sum);
        EXPECT_EQ(with('A'), sum);
        // The last column is the checksum's own place and never counts.
        std::string other = base;
        other.back() = '9';
        EXPECT_EQ(Checksum(other), sum);
        EXPECT_EQ(Checksum("1 00000" + std::string(61, ' ') + "X"), '1');
        EXPECT_EQ(Checksum("2 55555" + std::string(61, ' ') + "X"), '7');
        EXPECT_EQ(Checksum("1 111111111" + std::string(57, ' ') + "X"), '0');
    }

} // namespace
} // namespace varnholt
