// Files dropped on the main window, in the program's own process: a drop made
// as the shell makes one, the program's message loop pumped, and its message
// boxes answered from a second thread.

#include "Unit1.h"
#include "test_support.h"
#include "wide_text.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <mutex>
#include <shlobj.h>
#include <string>
#include <thread>
#include <vector>

namespace varnholt::windows_app {
namespace {

    namespace fs = std::filesystem;

    /// A drop of `files` as the shell hands it over: DROPFILES, then the wide
    /// names, each ended by a null, and one more null.
    HDROP dropOf(const std::vector<fs::path> &files)
    {
        std::wstring names;
        for (const fs::path &file : files)
            names += file.wstring() + L'\0';
        names += L'\0';
        const std::size_t bytes = sizeof(DROPFILES) + names.size() * sizeof(wchar_t);
        HGLOBAL memory = ::GlobalAlloc(GHND, bytes);
        auto *drop = static_cast<DROPFILES *>(::GlobalLock(memory));
        drop->pFiles = sizeof(DROPFILES);
        drop->fWide = TRUE;
        std::memcpy(reinterpret_cast<char *>(drop) + sizeof(DROPFILES), names.data(),
            names.size() * sizeof(wchar_t));
        ::GlobalUnlock(memory);
        return static_cast<HDROP>(memory);
    }

    /// Answers every message box of this process with OK, from a thread of its
    /// own, and keeps each box's text.
    class BoxAnswerer {
    public:
        BoxAnswerer()
            : m_thread([this] { answer(); })
        {
        }
        ~BoxAnswerer()
        {
            m_stop = true;
            m_thread.join();
        }
        BoxAnswerer(const BoxAnswerer &) = delete;
        BoxAnswerer &operator=(const BoxAnswerer &) = delete;

        std::vector<std::wstring> texts() const
        {
            const std::lock_guard lock(m_mutex);
            return m_texts;
        }

    private:
        static BOOL CALLBACK findBox(HWND window, LPARAM found)
        {
            DWORD process = 0;
            ::GetWindowThreadProcessId(window, &process);
            wchar_t name[16] {};
            ::GetClassNameW(window, name, 16);
            if (process == ::GetCurrentProcessId() && ::IsWindowVisible(window)
                && std::wstring_view(name) == L"#32770") {
                *reinterpret_cast<HWND *>(found) = window;
                return FALSE;
            }
            return TRUE;
        }

        void answer()
        {
            HWND answered = nullptr;
            while (!m_stop) {
                HWND box = nullptr;
                ::EnumWindows(findBox, reinterpret_cast<LPARAM>(&box));
                if (box && box != answered) {
                    wchar_t text[1024] {};
                    ::SendMessageW(::GetDlgItem(box, 0xFFFF), WM_GETTEXT, 1024,
                        reinterpret_cast<LPARAM>(text));
                    {
                        const std::lock_guard lock(m_mutex);
                        m_texts.emplace_back(text);
                    }
                    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
                    answered = box;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
        }

        mutable std::mutex m_mutex;
        std::vector<std::wstring> m_texts;
        std::atomic<bool> m_stop = false;
        std::thread m_thread;
    };

    /// Handles the thread's messages for `time`, or until `done` holds.
    template <class Done> void pumpMessages(std::chrono::milliseconds time, Done done)
    {
        const auto end = std::chrono::steady_clock::now() + time;
        while (std::chrono::steady_clock::now() < end && !done()) {
            MSG message {};
            while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                ::TranslateMessage(&message);
                ::DispatchMessageW(&message);
            }
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        }
    }

    fs::path testData(const char *name) { return fs::path(VARNHOLT_TEST_DATA) / name; }

    /// A main window, shown, with a folder for the files dropped on it and its
    /// message boxes answered.
    class DroppedFiles : public ::testing::Test {
    protected:
        DroppedFiles()
        {
            // A main window closed by an earlier test asked this thread's message
            // loop to end; that request would end every message box at once.
            MSG quit {};
            while (::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) { }
            ::ShowWindow(m_form.handle(), SW_SHOWNORMAL);
        }

        /// Copies tests/data's `name` into the folder as `copy`.
        fs::path copied(const char *name, const char *copy) const
        {
            const fs::path path = m_folder.path() / copy;
            fs::copy_file(testData(name), path);
            return path;
        }

        /// Drops `files` on the main window and handles the program's messages
        /// for `time`, or until `boxes` boxes have been answered.
        void drop(const std::vector<fs::path> &files,
            std::chrono::milliseconds time,
            std::size_t boxes = SIZE_MAX)
        {
            ::SendMessageW(
                m_form.handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(dropOf(files)), 0);
            pumpMessages(time, [&] { return m_answerer.texts().size() >= boxes; });
        }

        const testing::TemporaryFolder m_folder { "drop" };
        TMainForm m_form { ::GetModuleHandleW(nullptr) };
        BoxAnswerer m_answerer;
    };

    TEST_F(DroppedFiles, EachConvertedInTurnAsIfChosenInTheDialog)
    {
        // The same satellites as JSON give the same TLE file.
        drop({ copied("catalogue.csv", "active.csv"), copied("catalogue.csv", "Geo.2024.TXT"),
                 copied("forms/numbers.json", "gp.JSON") },
            std::chrono::seconds(20), 3);

        const std::string expected = testing::readBytes(testData("catalogue.tle"));
        const std::vector<std::wstring> texts = m_answerer.texts();
        ASSERT_EQ(texts.size(), 3U);
        const char *const outputs[] = { "active.TLE", "Geo.TLE", "gp.TLE" };
        for (std::size_t i = 0; i < 3; ++i) {
            const fs::path output = m_folder.path() / outputs[i];
            EXPECT_EQ(testing::readBytes(output), expected) << outputs[i];
            EXPECT_NE(texts[i].find(output.wstring()), std::wstring::npos) << utf8Text(texts[i]);
        }
    }

    TEST_F(DroppedFiles, ADropHoldingOtherFilesIsPassedOverWhole)
    {
        const fs::path tle = copied("catalogue.tle", "old.TLE");
        drop({ copied("catalogue.csv", "active.csv"), tle }, std::chrono::seconds(2));

        EXPECT_TRUE(m_answerer.texts().empty());
        EXPECT_FALSE(fs::exists(m_folder.path() / "active.TLE"));
        EXPECT_EQ(testing::readBytes(tle), testing::readBytes(testData("catalogue.tle")));
    }

} // namespace
} // namespace varnholt::windows_app
