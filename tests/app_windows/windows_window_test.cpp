// The Windows program's windows, driven from outside as a user drives them:
// menu commands, the open dialog, message boxes, the About and help windows.
// The screen is expected to be 1024 x 768.

#include "test_support.h"
#include "wide_text.h"
#include "window_driver.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace varnholt::window_tests {
namespace {

    namespace fs = std::filesystem;
    using windows_app::Command;

    const fs::path program = hostPath(VARNHOLT_PROGRAM);
    const fs::path testData = hostPath(VARNHOLT_TEST_DATA);

    // The application title: the program's file name cut before the first ".",
    // its first character as it is and the rest in lower case.
    const std::wstring title = L"varnholt";
    const std::wstring mainCaption = L"Varnholt  version " VARNHOLT_PROJECT_VERSION;
    constexpr int mainWidth = 383;
    constexpr int mainHeight = 275;
    constexpr int aboutWidth = 400;
    constexpr int aboutHeight = 286;

    /// The summary; `letterNumbers` catalogue numbers written as a letter and
    /// four digits add a line after the file's name.
    std::wstring summaryText(int count, const fs::path &output, int letterNumbers = 0)
    {
        const std::wstring letterLine = letterNumbers == 0
            ? L""
            : L"\n\n" + std::to_wstring(letterNumbers)
                + L" catalogue numbers above 99999 written in letter form (A0000 is 100000); a "
                  L"tracker that reads only digits needs \"Load with Five-Digit Numbers\".";
        return L"Conversion completed (" + std::to_wstring(count)
            + L" satellites)\n\nFile saved as " + output.wstring() + letterLine + L"\n\n\n"
            + std::wstring(24, L' ') + L"Click OK to SAVE and EXIT.";
    }
    const std::wstring wrongHeaderText
        = L"This is not a satellite CSV data file\n\n      Click OK to exit";

    std::string readBytes(const fs::path &path)
    {
        std::ifstream file(path, std::ios::binary);
        return { std::istreambuf_iterator<char>(file), {} };
    }

    void writeBytes(const fs::path &path, const std::string &bytes)
    {
        std::ofstream(path, std::ios::binary) << bytes;
    }

    int width(const RECT &r) { return r.right - r.left; }
    int height(const RECT &r) { return r.bottom - r.top; }

    /// The TLE text `tle` (name line and two element lines per satellite, CRLF)
    /// with the catalogue numbers counted from `first` and each element line's
    /// checksum made anew: digits count their value, "-" counts one.
    std::string renumbered(const std::string &tle, int first)
    {
        std::istringstream lines(tle);
        std::string result;
        std::string line;
        for (int index = 0; std::getline(lines, line); ++index) {
            if (index % 3 != 0) {
                const std::string number = std::to_string(first + index / 3);
                line.replace(2, 5, std::string(5 - number.size(), '0') + number);
                int sum = 0;
                for (std::size_t i = 0; i < 68; ++i)
                    sum += line[i] == '-' ? 1
                                          : (line[i] >= '0' && line[i] <= '9' ? line[i] - '0' : 0);
                line[68] = static_cast<char>('0' + sum % 10);
            }
            result += line + '\n';
        }
        return result;
    }

    class ProgramWindows : public ::testing::Test {
    protected:
        /// A copy of tests/data/catalogue.csv in the test's folder, named `name`.
        fs::path catalogueCopy(const std::string &name) const
        {
            const fs::path copy = m_folder.path() / name;
            fs::copy_file(testData / "catalogue.csv", copy);
            return copy;
        }

        /// Runs a load command through the dialog with `input` and returns the summary box, closed.
        static MessageBoxView load(
            const RunningProgram &run, Command command, const fs::path &input)
        {
            run.command(command);
            chooseFile(run.waitForOpenDialog(), input);
            const MessageBoxView box = run.waitForMessageBox();
            press(box.window, IDOK);
            return box;
        }

        const varnholt::testing::TemporaryFolder m_folder { "window" };
    };

    TEST_F(ProgramWindows, mainWindowHasItsCaptionAndSizeCentredOnTheScreen)
    {
        ASSERT_EQ(::GetSystemMetrics(SM_CXSCREEN), 1024);
        ASSERT_EQ(::GetSystemMetrics(SM_CYSCREEN), 768);
        const RunningProgram run(program);

        EXPECT_EQ(windowText(run.mainWindow()), mainCaption);
        const RECT frame = frameOf(run.mainWindow());
        EXPECT_EQ(width(frame), mainWidth);
        EXPECT_EQ(height(frame), mainHeight);
        EXPECT_EQ(frame.left, 320);
        EXPECT_EQ(frame.top, 246);
    }

    TEST_F(ProgramWindows, captionIsSetAgainWhenTheMainWindowIsActivated)
    {
        const RunningProgram run(program);
        ::SendMessageW(run.mainWindow(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"changed"));
        ASSERT_EQ(windowText(run.mainWindow()), L"changed");

        // The About window takes the activation; closing it gives it back.
        run.command(windows_app::About);
        HWND about = run.waitForWindow(
            [](HWND w) { return className(w) == windows_app::aboutWindowClass; }, "About window");
        ::PostMessageW(about, WM_CLOSE, 0, 0);
        run.waitForWindow(
            [&](HWND w) { return w == run.mainWindow() && windowText(w) == mainCaption; },
            "main window with its caption set again");
    }

    TEST_F(ProgramWindows, loadConvertsTheChosenFileBesideItAndPlacesTheSummary)
    {
        const fs::path input = catalogueCopy("catalogue.csv");
        const RunningProgram run(program);
        const RECT window = frameOf(run.mainWindow());

        run.command(windows_app::LoadCSVfile1);
        HWND dialog = run.waitForOpenDialog();
        // The file-type box: CSV first and selected, then JSON and every file.
        HWND types = ::GetDlgItem(dialog, 0x470);
        EXPECT_EQ(windowText(types), L"CSV satellite data (*.csv, *.txt)");
        EXPECT_EQ(::SendMessageW(types, CB_GETCURSEL, 0, 0), 0);
        std::vector<std::wstring> offered;
        // CB_ERR, -1, lists nothing.
        const LRESULT count = ::SendMessageW(types, CB_GETCOUNT, 0, 0);
        for (WPARAM i = 0; count > 0 && i < static_cast<WPARAM>(count); ++i) {
            std::wstring item(
                static_cast<std::size_t>(::SendMessageW(types, CB_GETLBTEXTLEN, i, 0)), L'\0');
            ::SendMessageW(types, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()));
            offered.push_back(item);
        }
        EXPECT_EQ(offered,
            (std::vector<std::wstring> { L"CSV satellite data (*.csv, *.txt)",
                L"JSON satellite data (*.json)", L"All files (*.*)" }));
        EXPECT_EQ(fileNameIn(dialog), L"") << "no name is filled in before one was chosen";
        chooseFile(dialog, input);

        const MessageBoxView summary = run.waitForMessageBox();
        const fs::path output = m_folder.path() / "catalogue.TLE";
        EXPECT_EQ(summary.caption, title);
        EXPECT_EQ(summary.text, summaryText(8, output, 3));
        EXPECT_EQ(summary.icon, BoxIcon::none);
        EXPECT_EQ(summary.frame.left, window.left + 75);
        EXPECT_EQ(summary.frame.top, window.top + 65);
        press(summary.window, IDOK);

        EXPECT_EQ(readBytes(output), readBytes(testData / "catalogue.tle"));
        EXPECT_TRUE(run.running());
    }

    TEST_F(ProgramWindows, renumberingRunsOnAcrossRunsAndTheDialogOffersTheLastName)
    {
        const fs::path first = catalogueCopy("first.csv");
        const fs::path plain = catalogueCopy("plain.csv");
        const fs::path second = catalogueCopy("second.csv");
        const RunningProgram run(program);

        load(run, windows_app::Renumber, first);
        EXPECT_EQ(readBytes(m_folder.path() / "first.TLE"),
            readBytes(testData / "catalogue-renumbered.tle"));

        // A plain load between two renumbering runs keeps the numbers and does
        // not reset the counter.
        run.command(windows_app::LoadCSVfile1);
        HWND dialog = run.waitForOpenDialog();
        // Windows shows the folder of a full name as the dialog's folder and the name alone.
        const std::wstring offered = fileNameIn(dialog);
        EXPECT_TRUE(offered == first.wstring() || offered == first.filename().wstring())
            << utf8Text(offered);
        chooseFile(dialog, plain);
        press(run.waitForMessageBox().window, IDOK);
        EXPECT_EQ(readBytes(m_folder.path() / "plain.TLE"), readBytes(testData / "catalogue.tle"));

        const MessageBoxView summary = load(run, windows_app::Renumber, second);
        EXPECT_EQ(summary.text, summaryText(8, m_folder.path() / "second.TLE"));
        EXPECT_EQ(readBytes(m_folder.path() / "second.TLE"),
            renumbered(readBytes(testData / "catalogue-renumbered.tle"), 20009));
    }

    TEST_F(ProgramWindows, fiveDigitCommandWritesStandInsUntilANumberWithout)
    {
        const fs::path input = m_folder.path() / "stand-ins.csv";
        fs::copy_file(testData / "stand-ins.csv", input);
        const fs::path output = m_folder.path() / "stand-ins.TLE";
        const RunningProgram run(program);

        // The row of 120000 ends the run; the entries before it are written.
        run.command(windows_app::FiveDigit);
        chooseFile(run.waitForOpenDialog(), input);
        const MessageBoxView error = run.waitForMessageBox();
        EXPECT_EQ(error.caption, title);
        EXPECT_EQ(error.text,
            L"Catalogue number '120000' is above 119999 and has no five-digit stand-in.");
        EXPECT_EQ(error.icon, BoxIcon::stop);
        press(error.window, IDOK);
        EXPECT_EQ(readBytes(output), readBytes(testData / "stand-ins-five-digit.tle"));

        // Without that row the same command converts, with the usual summary.
        std::string rows = readBytes(input);
        const std::size_t beyond = rows.find("OBJECT 120000");
        rows.erase(beyond, rows.find('\n', beyond) + 1 - beyond);
        writeBytes(input, rows);
        EXPECT_EQ(load(run, windows_app::FiveDigit, input).text, summaryText(6, output));
        const std::string standIns = readBytes(testData / "stand-ins-five-digit.tle");
        EXPECT_EQ(readBytes(output).substr(0, standIns.size()), standIns);

        // "Load CSV file" writes the letter form again, and its summary says so.
        EXPECT_EQ(load(run, windows_app::LoadCSVfile1, input).text, summaryText(6, output, 3));
        EXPECT_NE(readBytes(output).find("\n1 A0000U "), std::string::npos);
    }

    TEST_F(ProgramWindows, cancelledDialogGivesACentredNotice)
    {
        const RunningProgram run(program);
        run.command(windows_app::LoadCSVfile1);
        press(run.waitForOpenDialog(), IDCANCEL);

        const MessageBoxView notice = run.waitForMessageBox();
        EXPECT_EQ(notice.caption, title);
        EXPECT_EQ(notice.text, L"Not a valid filename");
        EXPECT_NEAR(notice.frame.left, (1024 - width(notice.frame)) / 2, 1);
        EXPECT_NEAR(notice.frame.top, (768 - height(notice.frame)) / 2, 1);
        press(notice.window, IDOK);
        EXPECT_TRUE(run.running());
    }

    TEST_F(ProgramWindows, wrongHeaderGivesAPlacedErrorBoxAndNoOutput)
    {
        const fs::path input = m_folder.path() / "elements.txt";
        writeBytes(input, "NAME,ID,EPOCH\r\nVANGUARD 1,1958-002B,2026-12-08T05:37:41\r\n");
        const RunningProgram run(program);
        const RECT window = frameOf(run.mainWindow());

        run.command(windows_app::LoadCSVfile1);
        chooseFile(run.waitForOpenDialog(), input);
        const MessageBoxView box = run.waitForMessageBox();
        EXPECT_EQ(box.caption, L"Error");
        EXPECT_EQ(box.text, wrongHeaderText);
        EXPECT_EQ(box.icon, BoxIcon::stop);
        EXPECT_EQ(box.frame.left, window.left + 125);
        EXPECT_EQ(box.frame.top, window.top + 100);
        press(box.window, IDOK);

        EXPECT_FALSE(fs::exists(m_folder.path() / "elements.TLE"));
    }

    struct ProgramName {
        const char *name;
        const wchar_t *file; ///< The copy's file name; none runs the program where it was built.
        const wchar_t *title;
    };

    void PrintTo(const ProgramName &row, std::ostream *out) { *out << row.name; }

    class ProgramNames : public ProgramWindows,
                         public ::testing::WithParamInterface<ProgramName> { };

    // The application title, caption of the application's own boxes, comes from
    // the program's file name.
    TEST_P(ProgramNames, endedCommandShowsTheErrorWithAFullStopAndTheProgramGoesOn)
    {
        fs::path started = program;
        if (GetParam().file) {
            started = m_folder.path() / GetParam().file;
            fs::copy_file(program, started);
        }
        const RunningProgram run(started);

        run.command(windows_app::LoadCSVfile1);
        chooseFile(run.waitForOpenDialog(), m_folder.path() / "missing.csv");
        const MessageBoxView error = run.waitForMessageBox();
        EXPECT_EQ(error.caption, GetParam().title);
        EXPECT_EQ(error.text, L"File not found.");
        EXPECT_EQ(error.icon, BoxIcon::stop);
        press(error.window, IDOK);
        EXPECT_FALSE(fs::exists(m_folder.path() / "missing.TLE"));

        const MessageBoxView summary
            = load(run, windows_app::LoadCSVfile1, catalogueCopy("catalogue.csv"));
        EXPECT_EQ(summary.caption, GetParam().title);
        EXPECT_EQ(summary.text, summaryText(8, m_folder.path() / "catalogue.TLE", 3));
    }

    INSTANTIATE_TEST_SUITE_P(ProgramWindows,
        ProgramNames,
        ::testing::Values(ProgramName { "asBuilt", nullptr, L"varnholt" },
            ProgramName { "mixedCaseCopy", L"ConvTool.exe", L"Convtool" }),
        [](const ::testing::TestParamInfo<ProgramName> &row) { return row.param.name; });

    TEST_F(ProgramWindows, aboutWindowIsCentredOnTheMainWindowAndOnlyHiddenWhenClosed)
    {
        const RunningProgram run(program);
        const RECT window = frameOf(run.mainWindow());
        const auto isAbout = [](HWND w) { return className(w) == windows_app::aboutWindowClass; };

        run.command(windows_app::About);
        HWND about = run.waitForWindow(isAbout, "About window");
        EXPECT_EQ(windowText(about), L"About this program");
        EXPECT_EQ(::GetWindow(about, GW_OWNER), run.mainWindow());
        const auto style = static_cast<DWORD>(::GetWindowLongW(about, GWL_STYLE));
        EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0u);
        const RECT frame = frameOf(about);
        EXPECT_EQ(width(frame), aboutWidth);
        EXPECT_EQ(height(frame), aboutHeight);
        EXPECT_EQ(frame.left, std::max(0L, window.left + (width(window) - aboutWidth) / 2));
        EXPECT_EQ(frame.top, std::max(0L, window.top + (height(window) - aboutHeight) / 2));

        ::PostMessageW(about, WM_CLOSE, 0, 0);
        run.waitForWindow(
            [&](HWND w) { return w == run.mainWindow() && !::IsWindowVisible(about); },
            "About window hidden");

        run.command(windows_app::About);
        HWND another = run.waitForWindow(
            [&](HWND w) { return isAbout(w) && w != about; }, "second About window");
        const RECT anotherFrame = frameOf(another);
        EXPECT_EQ(anotherFrame.left, frame.left);
        EXPECT_EQ(anotherFrame.top, frame.top);
        // The program has dealt with the close before the second About command.
        EXPECT_TRUE(::IsWindow(about)) << "closing hides the About window, it is not destroyed";
        EXPECT_EQ(run.windowsOfClass(windows_app::aboutWindowClass).size(), 2u);
    }

    // Each About window is placed on the main window where it stands then:
    // half the difference of the sizes, cut toward zero, and never off the
    // screen's top or left edge.
    TEST_F(ProgramWindows, aboutWindowFollowsTheMainWindowAndStaysOnTheScreen)
    {
        const struct {
            POINT main;
            POINT about;
        } rows[] = {
            { { 10, 20 }, { 2, 15 } },
            { { 6, 4 }, { 0, 0 } },
            { { -300, -200 }, { 0, 0 } },
        };
        const RunningProgram run(program);
        std::vector<HWND> seen;
        for (const auto &row : rows) {
            SCOPED_TRACE(
                "main window at " + std::to_string(row.main.x) + ", " + std::to_string(row.main.y));
            ::SetWindowPos(run.mainWindow(), nullptr, row.main.x, row.main.y, 0, 0,
                SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            ASSERT_EQ(frameOf(run.mainWindow()).left, row.main.x);
            run.command(windows_app::About);
            HWND about = run.waitForWindow(
                [&](HWND w) {
                    return className(w) == windows_app::aboutWindowClass
                        && std::find(seen.begin(), seen.end(), w) == seen.end();
                },
                "new About window");
            seen.push_back(about);
            const RECT frame = frameOf(about);
            EXPECT_EQ(frame.left, row.about.x);
            EXPECT_EQ(frame.top, row.about.y);
        }
    }

    // While a command runs, only the dialog and the boxes it shows take input:
    // an About window is disabled meanwhile, and enabled again afterwards.
    TEST_F(ProgramWindows, aboutWindowTakesNoInputWhileACommandShowsItsDialogOrBox)
    {
        const RunningProgram run(program);
        run.command(windows_app::About);
        HWND about = run.waitForWindow(
            [](HWND w) { return className(w) == windows_app::aboutWindowClass; }, "About window");
        ASSERT_TRUE(::IsWindowEnabled(about));

        run.command(windows_app::LoadCSVfile1);
        HWND dialog = run.waitForOpenDialog();
        EXPECT_FALSE(::IsWindowEnabled(about)) << "while the open dialog shows";
        press(dialog, IDCANCEL);
        const MessageBoxView notice = run.waitForMessageBox();
        EXPECT_EQ(notice.text, L"Not a valid filename");
        EXPECT_FALSE(::IsWindowEnabled(about)) << "while the notice shows";
        press(notice.window, IDOK);

        run.waitForWindow([&](HWND w) { return w == about && ::IsWindowEnabled(about); },
            "About window enabled again");
        EXPECT_TRUE(run.running());
    }

    TEST_F(ProgramWindows, closeEndsTheProgramWithAboutWindowsOpen)
    {
        const RunningProgram run(program);
        run.command(windows_app::About);
        HWND about = run.waitForWindow(
            [](HWND w) { return className(w) == windows_app::aboutWindowClass; }, "About window");
        run.command(windows_app::About);
        run.waitForWindow(
            [&](HWND w) { return className(w) == windows_app::aboutWindowClass && w != about; },
            "second About window");

        run.command(windows_app::Close1);
        EXPECT_EQ(run.waitForExit(), 0u);
    }

    TEST_F(ProgramWindows, helpOpensTheCompiledHelpBesideTheProgramWhereverItStarted)
    {
        // Started in a folder without the help, as "Open with" may start it.
        const RunningProgram run(program, {}, m_folder.path());
        run.command(windows_app::Help1);
        HWND help = run.waitForWindow(
            [](HWND w) { return windowText(w) == L"Varnholt Help"; }, "help window");

        ::PostMessageW(help, WM_CLOSE, 0, 0);
        run.waitForWindow([&](HWND w) { return w == run.mainWindow() && !::IsWindowVisible(help); },
            "help window closed");
        EXPECT_TRUE(run.running());
    }

    TEST_F(ProgramWindows, fileGivenOnTheCommandLineIsConvertedAtStart)
    {
        const fs::path input = catalogueCopy("catalogue.csv");
        const RunningProgram run(program, { input.wstring() });

        const MessageBoxView summary = run.waitForMessageBox();
        EXPECT_EQ(summary.caption, title);
        EXPECT_EQ(summary.text, summaryText(8, m_folder.path() / "catalogue.TLE", 3));
        press(summary.window, IDOK);
        EXPECT_EQ(
            readBytes(m_folder.path() / "catalogue.TLE"), readBytes(testData / "catalogue.tle"));
    }

} // namespace
} // namespace varnholt::window_tests
