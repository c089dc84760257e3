// What the Windows window adds to the shared rules: letters put in lower case
// as the system does it, and the file dialog's filters in the common dialog's form.

#include "application.h"
#include "window_host.h"

#include <gtest/gtest.h>
#include <string>

namespace varnholt::windows_app {
namespace {

    TEST(WindowsApplicationTitle, LowerCaseAsTheSystemDoesIt)
    {
        struct Case {
            const wchar_t *programPath;
            std::string title;
        };
        const Case cases[] = {
            { L"C:\\Tools\\ConvTool.exe", "Convtool" },
            { L"C:\\v1.2\\a.b.exe", "a" },
            { L"\\\\server\\share\\VARNHOLT.EXE", "Varnholt" },
            // Letters beyond "A" to "Z": the first one kept whole, the rest lowered.
            { L"C:\\Programme\\\u00c4RGER.exe", "\xc3\x84rger" },
            { L"C:\\\u0421\u041f\u0423\u0422\u041d\u0418\u041a.exe",
                "\xd0\xa1\xd0\xbf\xd1\x83\xd1\x82\xd0\xbd\xd0\xb8\xd0\xba" },
            { L"C:\\Tools\\.exe", "" },
        };
        for (const Case &c : cases)
            EXPECT_EQ(applicationTitleFor(c.programPath), c.title) << c.title;
    }

    TEST(FileDialogFilter, DescriptionThenPatternsEachEndedByANull)
    {
        using namespace std::string_literals;
        EXPECT_EQ(dialogFilter("CSV satellite data (*.csv, *.txt)|*.csv;*.txt"),
            L"CSV satellite data (*.csv, *.txt)\0*.csv;*.txt\0\0"s);
        EXPECT_EQ(dialogFilter("*.csv"), L"*.csv\0*.csv\0\0"s);
        EXPECT_EQ(dialogFilter("Satelliten \xc3\xa4|*.csv"), L"Satelliten \u00e4\0*.csv\0\0"s);
        EXPECT_EQ(dialogFilter(loadFilter),
            L"CSV satellite data (*.csv, *.txt)\0*.csv;*.txt\0"
            L"JSON satellite data (*.json)\0*.json\0"
            L"All files (*.*)\0*.*\0\0"s);
    }

} // namespace
} // namespace varnholt::windows_app
