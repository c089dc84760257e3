#include "errors.h"
#include "field_conversions.h"
#include "number_text.h"
#include "test_support.h"

#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <string>
#include <string_view>

namespace varnholt {
namespace {

    using namespace std::string_literals;
    using testing::caseName;
    using testing::PrintTo;
    using ::testing::StrEq;
    using ::testing::ThrowsMessage;

    // A message that names a text reaches the user as a C string; a NUL byte
    // in the text must not cut the sentence short.
    struct NulCase {
        const char *name;
        std::function<void()> convert;
        const char *message;
    };

    class MessageNamingATextWithNul : public ::testing::TestWithParam<NulCase> { };

    TEST_P(MessageNamingATextWithNul, ShowsItAsAQuestionMarkAndKeepsTheSentence)
    {
        EXPECT_THAT(GetParam().convert, ThrowsMessage<ConversionError>(StrEq(GetParam().message)));
    }

    INSTANTIATE_TEST_SUITE_P(Conversions,
        MessageNamingATextWithNul,
        ::testing::Values(NulCase { "Inclination", [] { PadInclination("51.6\0"s); },
                              "'51.6?' is not a valid floating point value" },
            NulCase { "EpochMonth", [] { ConvertEpoch("2024-0\0-05T06:00:00"s); },
                "'0?' is not a valid integer value" },
            NulCase { "FirstDerivative", [] { ConvertNdot("\0.1"s); },
                "'?.1' is not a valid floating point value" },
            NulCase { "Catalogue", [] { CatalogueNumber("40\0"s + "732"); },
                "'40?732' is not a valid catalogue number" },
            NulCase { "DecimalField", [] { checkDecimalField(PaddedCopy("15.5\0"s).text()); },
                "'15.5?' is not a valid floating point value" },
            NulCase { "CountField", [] { checkDigitsField(PaddedCopy("12\0"s).text()); },
                "'12?' is not a valid integer value" },
            NulCase {
                "OnlyNul", [] { readIntegerText("\0"s); }, "'?' is not a valid integer value" }),
        caseName);

} // namespace
} // namespace varnholt
