// The application title made from the program's file name, and the full stop
// the application-level error box adds.

#include "application_rules.h"
#include "desktop_test_support.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>

namespace varnholt {
namespace {

    using testing::caseName;
    using testing::PrintTo;

    struct TitleCase {
        const char *name;
        std::string programPath;
        std::string title;
    };

    class ApplicationTitle : public ::testing::TestWithParam<TitleCase> { };

    TEST_P(ApplicationTitle, FromTheFileName)
    {
        EXPECT_EQ(applicationTitleFor(GetParam().programPath), GetParam().title);
    }

    INSTANTIATE_TEST_SUITE_P(Paths,
        ApplicationTitle,
        ::testing::Values(TitleCase { "ExtensionCutRestLowerCase", "ConvTool.exe", "Convtool" },
            TitleCase { "CutAtTheFirstFullStop", "a.b.exe", "a" },
            TitleCase { "FolderDropped", "/opt/Tools/ConvTool.exe", "Convtool" },
            TitleCase { "FullStopInAFolderDoesNotCut", "/opt/v1.2/VARNHOLT", "Varnholt" },
            TitleCase { "FirstCharacterKeptLowerCase", "/usr/bin/varnholt", "varnholt" },
            TitleCase { "NameStartingWithAFullStop", "/tmp/.Hidden", "" },
            TitleCase { "WindowsFolders", "C:\\Program Files\\Tools\\ConvTool.exe", "Convtool" },
            TitleCase { "BothKindsOfSeparator", "C:\\v1.2/bin\\VARNHOLT.EXE", "Varnholt" },
            TitleCase { "FolderWithoutFile", "/opt/Tools/", "" },
            // Plain lower case maps only "A" to "Z"; the first character stays whole.
            TitleCase { "AccentedFirstCharacterKept", "/opt/\xc3\x89TOILE", "\xc3\x89toile" },
            TitleCase { "AccentedCapitalLeftToTheWindow", "/opt/V\xc3\x84RN", "V\xc3\x84rn" }),
        caseName);

    TEST(ApplicationTitle, LowersTheRestAfterTheWholeFirstCharacter)
    {
        const LowerCase marked = [](std::string_view rest) {
            std::string text = "[";
            text.append(rest).append("]");
            return text;
        };
        EXPECT_EQ(applicationTitleFor("/opt/\xc3\x89TOILE.exe", marked), "\xc3\x89[TOILE]");
        EXPECT_EQ(applicationTitleFor("C:\\X.exe", marked), "X[]");
    }

    struct FullStopCase {
        const char *name;
        std::string message;
        std::string shown;
    };

    class ClosingFullStop : public ::testing::TestWithParam<FullStopCase> { };

    TEST_P(ClosingFullStop, AddedAfterCodesAbove46)
    {
        EXPECT_EQ(withClosingFullStop(GetParam().message), GetParam().shown);
    }

    INSTANTIATE_TEST_SUITE_P(Endings,
        ClosingFullStop,
        ::testing::Values(FullStopCase { "Letter", "File access denied", "File access denied." },
            FullStopCase { "FullStop", "x.", "x." },
            FullStopCase { "Empty", "", "" },
            FullStopCase { "ExclamationMark", "a!", "a!" },
            FullStopCase { "Parenthesis", "a)", "a)" },
            FullStopCase { "Comma", "a,", "a," },
            FullStopCase { "Hyphen", "a-", "a-" },
            FullStopCase { "Blank", "a ", "a " },
            FullStopCase { "SlashCode47", "a/", "a/." },
            FullStopCase { "QuestionMark", "a?", "a?." },
            FullStopCase { "Colon", "a:", "a:." },
            FullStopCase { "Digit", "I/O error 32", "I/O error 32." },
            FullStopCase { "EightBitCharacter", "caf\xe9", "caf\xe9." }),
        caseName);

    TEST(ErrorBoxText, MessageWithFullStopOrTheUnexpectedErrorText)
    {
        const auto textFor = [](auto thrown) {
            try {
                throw thrown;
            } catch (...) {
                return errorBoxText(std::current_exception());
            }
        };
        EXPECT_EQ(textFor(std::runtime_error("File access denied")), "File access denied.");
        EXPECT_EQ(textFor(std::runtime_error("Line 3 is empty.")), "Line 3 is empty.");
        EXPECT_EQ(textFor(42), "An unexpected error occurred.");
    }

    TEST(LoadableFileName, CsvTextAndJsonFilesInAnyLetterCase)
    {
        for (const char *path : { "active.csv", "/home/u/ACTIVE.CSV", "C:\\Data\\list.2024.Txt",
                 "a.b.csv", "C:\\v1.2\\elements.txt", "gp.json", "C:\\Data\\GP.JSON" })
            EXPECT_TRUE(isLoadableFileName(path)) << path;
        for (const char *path : { "active.TLE", "elements", "/data.csv/elements", "C:\\v.csv\\x",
                 "active.csv.bak", "active.csvx", "gp.jsonl", "/gp.json/x", "json", "" })
            EXPECT_FALSE(isLoadableFileName(path)) << path;
    }

} // namespace
} // namespace varnholt
