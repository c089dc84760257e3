// File-system faults met by a real run on Windows: real files in a temporary
// folder, through the conversion core, with the system's own error codes.

#include "conversion.h"
#include "errors.h"
#include "file_io.h"
#include "test_support.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <windows.h>

namespace varnholt {
namespace {

    namespace fs = std::filesystem;

    using testing::crlfLine;
    using testing::exampleEntry;
    using testing::exampleRow;
    using testing::header;
    using testing::readBytes;
    using testing::writeBytes;

    const std::string oneRow = crlfLine(header) + crlfLine(exampleRow);

    /// A handle held open for the length of a test.
    class HeldFile {
    public:
        HeldFile(const fs::path &path, DWORD access, DWORD sharing)
            : m_handle(::CreateFileW(path.c_str(),
                access,
                sharing,
                nullptr,
                OPEN_EXISTING,
                FILE_ATTRIBUTE_NORMAL,
                nullptr))
        {
        }
        ~HeldFile()
        {
            if (m_handle != INVALID_HANDLE_VALUE)
                ::CloseHandle(m_handle);
        }
        HeldFile(const HeldFile &) = delete;
        HeldFile &operator=(const HeldFile &) = delete;
        bool open() const { return m_handle != INVALID_HANDLE_VALUE; }

    private:
        HANDLE m_handle;
    };

    class WindowsRun : public ::testing::Test {
    public:
        void TearDown() override
        {
            // Read-only files would stay behind.
            std::error_code ignored;
            for (const auto &entry : fs::directory_iterator(m_folder.path(), ignored))
                ::SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
        }

        /// The path of `name` in the test's folder, as UTF-8.
        std::string path(const std::u8string &name) const
        {
            const std::u8string text = (m_folder.path() / name).u8string();
            return { text.begin(), text.end() };
        }

        /// Runs the conversion on `chosen`; the error's message, or what it wrote.
        std::string load(const std::string &chosen)
        {
            Conversion conversion;
            try {
                const RunResult result = conversion.convertFile(chosen);
                if (result.outcome == RunOutcome::WrongHeader)
                    return "wrong header";
                return std::to_string(result.count) + " satellites written to " + result.outputName;
            } catch (const ConversionError &error) {
                return error.what();
            }
        }

        const testing::TemporaryFolder m_folder { "windows" };
    };

    TEST(WindowsErrorCodes, SystemCodesGiveTheirMessages)
    {
        const struct {
            DWORD code;
            const char *message;
        } cases[] = {
            { ERROR_FILE_NOT_FOUND, "File not found" },
            { ERROR_PATH_NOT_FOUND, "Invalid filename" },
            { ERROR_TOO_MANY_OPEN_FILES, "Too many open files" },
            { ERROR_ACCESS_DENIED, "File access denied" },
            { ERROR_SHARING_VIOLATION, "I/O error 32" },
            { ERROR_DISK_FULL, "I/O error 112" },
            { ERROR_INVALID_HANDLE, "I/O error 6" },
            { ERROR_LOCK_VIOLATION, "I/O error 33" },
            { ERROR_INVALID_NAME, "I/O error 123" },
        };
        for (const auto &c : cases) {
            const int number = static_cast<int>(c.code);
            EXPECT_EQ(IoError(ioCauseFor(number, "x"), number).what(), std::string(c.message))
                << "code " << c.code;
        }
    }

    TEST(WindowsOutputName, BothSeparatorsAndDriveLetters)
    {
        const struct {
            const char *input;
            const char *stem;
        } cases[] = {
            { "C:\\data.v2\\active.csv", "C:\\data.v2\\active." },
            { "C:/data.v2/active.csv", "C:/data.v2/active." },
            { "D:\\x.y/z", "D:\\x.y/z." },
            { "C:active.csv", "C:active." },
            { "\\\\server\\share.d\\gps.ops.txt", "\\\\server\\share.d\\gps." },
        };
        for (const auto &c : cases)
            EXPECT_EQ(outputStemFor(c.input), c.stem) << c.input;
    }

    TEST_F(WindowsRun, FaultsGiveTheirMessagesAndLeaveTheInputAlone)
    {
        const struct {
            const char *name;
            std::function<std::string(WindowsRun &)> prepare; ///< returns the path chosen
            std::string message; ///< "%" stands for the path chosen
        } cases[] = {
            { "missing file", [](WindowsRun &run) { return run.path(u8"absent.csv"); },
                "File not found" },
            { "missing folder", [](WindowsRun &run) { return run.path(u8"none\\absent.csv"); },
                "Invalid filename" },
            { "folder as input",
                [](WindowsRun &run) {
                    fs::create_directories(run.m_folder.path() / "folder.csv");
                    return run.path(u8"folder.csv");
                },
                "File access denied" },
            { "folder in the output's place",
                [](WindowsRun &run) {
                    writeBytes(run.m_folder.path() / "shadowed.csv", oneRow);
                    fs::create_directories(run.m_folder.path() / "shadowed.TLE");
                    return run.path(u8"shadowed.csv");
                },
                "File access denied" },
            { "output is the input by its own name",
                [](WindowsRun &run) {
                    writeBytes(run.m_folder.path() / "same.TLE", oneRow);
                    return run.path(u8"same.TLE");
                },
                "I/O error 32" },
            { "output is the input through a hard link",
                [](WindowsRun &run) {
                    writeBytes(run.m_folder.path() / "linked.csv", oneRow);
                    ::CreateHardLinkW((run.m_folder.path() / "linked.TLE").c_str(),
                        (run.m_folder.path() / "linked.csv").c_str(), nullptr);
                    return run.path(u8"linked.csv");
                },
                "I/O error 32" },
            { "output is the input in other letter case",
                [](WindowsRun &run) {
                    writeBytes(run.m_folder.path() / "upper.TLE", oneRow);
                    return run.path(u8"UPPER.tle");
                },
                "I/O error 32" },
            { "device name", [](WindowsRun &) { return std::string("CON"); },
                "'%' is not a regular file" },
            { "device name in a folder, with an extension",
                [](WindowsRun &run) { return run.path(u8"nul.csv"); },
                "'%' is not a regular file" },
            { "serial port", [](WindowsRun &run) { return run.path(u8"COM1.txt"); },
                "'%' is not a regular file" },
            { "pipe", [](WindowsRun &) { return std::string("\\\\.\\pipe\\varnholt-test"); },
                "'%' is not a regular file" },
        };
        for (const auto &c : cases) {
            SCOPED_TRACE(c.name);
            const std::string chosen = c.prepare(*this);
            // Reading a device or pipe here would wait for it: only files are compared.
            const fs::path input = fs::u8path(chosen);
            const bool file = fs::is_regular_file(input);
            const std::string before = file ? readBytes(input) : std::string();
            std::string expected = c.message;
            if (const std::size_t mark = expected.find('%'); mark != std::string::npos)
                expected.replace(mark, 1, chosen);
            EXPECT_EQ(load(chosen), expected);
            if (file) {
                EXPECT_EQ(readBytes(input), before);
            }
        }
    }

    TEST_F(WindowsRun, OutputHeldByAnotherProgramIsASharingViolation)
    {
        writeBytes(m_folder.path() / "held.csv", oneRow);
        writeBytes(m_folder.path() / "held.TLE", "theirs");
        const HeldFile held(m_folder.path() / "held.TLE", GENERIC_READ, 0);
        ASSERT_TRUE(held.open());
        EXPECT_EQ(load(path(u8"held.csv")), "I/O error 32");
        EXPECT_EQ(readBytes(m_folder.path() / "held.csv"), oneRow);
    }

    TEST_F(WindowsRun, InputOpenForWritingElsewhereIsASharingViolation)
    {
        writeBytes(m_folder.path() / "busy.csv", oneRow);
        const HeldFile writer(
            m_folder.path() / "busy.csv", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
        ASSERT_TRUE(writer.open());
        EXPECT_EQ(load(path(u8"busy.csv")), "I/O error 32");
        EXPECT_FALSE(fs::exists(m_folder.path() / "busy.TLE"));
    }

    TEST_F(WindowsRun, FoldersWithNonAsciiNamesConvert)
    {
        for (const std::u8string folder : { u8"T\u00e9l\u00e9chargements",
                 u8"\u0421\u043f\u0443\u0442\u043d\u0438\u043a\u0438", u8"\u536b\u661f" }) {
            fs::create_directories(m_folder.path() / folder);
            writeBytes(m_folder.path() / folder / u8"active.csv", oneRow);
            const std::string input = path(folder + u8"\\active.csv");
            const std::string output = path(folder + u8"\\active.TLE");
            EXPECT_EQ(load(input), "1 satellites written to " + output);
            EXPECT_EQ(readBytes(m_folder.path() / folder / u8"active.TLE"), exampleEntry);
        }
    }

} // namespace
} // namespace varnholt
