#include "errors.h"
#include "number_text.h"
#include "test_support.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <string>

namespace varnholt {
namespace {

    using testing::caseName;
    using testing::PrintTo;
    using ::testing::StrEq;
    using ::testing::ThrowsMessage;

    struct IntegerCase {
        const char *name;
        std::string text;
        std::int32_t value;
    };

    class IntegerTextReads : public ::testing::TestWithParam<IntegerCase> { };

    TEST_P(IntegerTextReads, ToItsValue)
    {
        EXPECT_EQ(readIntegerText(GetParam().text), GetParam().value);
    }

    INSTANTIATE_TEST_SUITE_P(Forms,
        IntegerTextReads,
        ::testing::Values(IntegerCase { "Plain", "24", 24 },
            IntegerCase { "LeadingZero", "08", 8 },
            IntegerCase { "LeadingBlanks", "   7", 7 },
            IntegerCase { "Plus", "+12", 12 },
            IntegerCase { "Minus", "-5", -5 },
            IntegerCase { "Largest", "2147483647", 2147483647 },
            IntegerCase { "Smallest", "-2147483648", -2147483647 - 1 },
            IntegerCase { "Dollar", "$1F", 31 },
            IntegerCase { "SmallX", "x10", 16 },
            IntegerCase { "ZeroX", "0Xff", 255 },
            IntegerCase { "AllBitsSet", "$FFFFFFFF", -1 },
            IntegerCase { "HexLeadingZerosDoNotCount", "$000000001", 1 },
            IntegerCase { "NegatedHex", "-$10", -16 },
            IntegerCase { "Zero", "0", 0 }),
        caseName);

    class IntegerTextRejects : public ::testing::TestWithParam<std::string> { };

    TEST_P(IntegerTextRejects, NamingTheText)
    {
        const std::string text = GetParam();
        EXPECT_THAT([&] { readIntegerText(text); },
            ThrowsMessage<ConversionError>(StrEq("'" + text + "' is not a valid integer value")));
    }

    INSTANTIATE_TEST_SUITE_P(Forms,
        IntegerTextRejects,
        ::testing::Values("",
            "  ",
            "-",
            "+",
            "1X",
            "7 ",
            "- 5",
            "1.0",
            "2147483648",
            "-2147483649",
            "$",
            "0x",
            "$123456789",
            "$G",
            "1e3",
            "٣"));

    struct DecimalCase {
        const char *name;
        std::string text;
        double value;
    };

    class DecimalTextReads : public ::testing::TestWithParam<DecimalCase> { };

    TEST_P(DecimalTextReads, ToTheNearestDouble)
    {
        EXPECT_EQ(readDecimalText(GetParam().text), GetParam().value);
    }

    INSTANTIATE_TEST_SUITE_P(Forms,
        DecimalTextReads,
        ::testing::Values(DecimalCase { "Plain", "51.6416", 51.6416 },
            DecimalCase { "NoLeadingDigit", ".5", 0.5 },
            DecimalCase { "NoTrailingDigit", "5.", 5.0 },
            DecimalCase { "LonePoint", ".", 0.0 },
            DecimalCase { "Blanks", "  45  ", 45.0 },
            DecimalCase { "Plus", "+2.5", 2.5 },
            DecimalCase { "Minus", "-.297E-5", -0.297e-5 },
            DecimalCase { "SmallE", "1.5e2", 150.0 },
            DecimalCase { "ExponentWithoutDigits", "7E", 7.0 },
            DecimalCase { "ExponentSignWithoutDigits", "7e-", 7.0 },
            DecimalCase { "ManyDigits", "0.1000000000000000055511151231257827", 0.1 },
            DecimalCase { "Underflow", "1e-400", 0.0 },
            DecimalCase { "LongExponent", "1e0000000000000000000002", 100.0 }),
        caseName);

    class DecimalTextRejects : public ::testing::TestWithParam<std::string> { };

    TEST_P(DecimalTextRejects, NamingTheText)
    {
        const std::string text = GetParam();
        EXPECT_THAT([&] { readDecimalText(text); },
            ThrowsMessage<ConversionError>(
                StrEq("'" + text + "' is not a valid floating point value")));
    }

    INSTANTIATE_TEST_SUITE_P(Forms,
        DecimalTextRejects,
        ::testing::Values("",
            "   ",
            "abc",
            "51,6416",
            "1.2.3",
            "-",
            "+e",
            "1e5x",
            "- 1",
            "inf",
            "nan",
            "0x10",
            "1e400",
            "1\t",
            "E5"));

    TEST(DecimalDigits, KeepTheWrittenDigitsExactly)
    {
        const PaddedCopy text("-0.0001773E+2");
        const auto d = DecimalDigits::parse(text.text());
        ASSERT_TRUE(d.has_value());
        EXPECT_TRUE(d->negative());
        EXPECT_EQ(d->exponent(), -1); // 0.1773 × 10^-1
        EXPECT_EQ(std::string({ d->digit(1), d->digit(2), d->digit(3), d->digit(4), d->digit(5) }),
            "17730");
        EXPECT_EQ(d->digit(0), '0');
    }

    TEST(DecimalDigits, RoundHalfAwayFromZeroWithCarry)
    {
        char out[5];
        EXPECT_EQ(
            DecimalDigits::parse(PaddedCopy(".999996E-3").text())->roundedSignificant(5, out), -2);
        EXPECT_EQ(std::string(out, 5), "10000");
        EXPECT_EQ(
            DecimalDigits::parse(PaddedCopy("-.123445").text())->roundedSignificant(5, out), 0);
        EXPECT_EQ(std::string(out, 5), "12345");

        char fraction[8];
        EXPECT_TRUE(
            DecimalDigits::parse(PaddedCopy(".000000005").text())->fixedFraction(8, fraction));
        EXPECT_EQ(std::string(fraction, 8), "00000001");
        EXPECT_FALSE(
            DecimalDigits::parse(PaddedCopy(".999999995").text())->fixedFraction(8, fraction));
    }

} // namespace
} // namespace varnholt
