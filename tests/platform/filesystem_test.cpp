// File-system faults met by a real run: real files in a temporary folder,
// through the conversion core and through the command-line converter.
//
// Permissions mean nothing to root, so the cases that need them run as the
// unprivileged user "nobody": the core in a forked child that gives up root,
// the converter under setpriv.

#include "conversion.h"
#include "errors.h"
#include "file_io.h"
#include "test_support.h"

#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gmock/gmock.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace varnholt {
namespace {

    namespace fs = std::filesystem;

    constexpr uid_t nobodyId = 65534;
    constexpr gid_t nogroupId = 65534;

    using testing::crlfLine;
    using testing::exampleEntry;
    using testing::exampleRow;
    using testing::header;
    using testing::PrintTo;
    using testing::publishedEntry;
    using testing::publishedRow;
    using testing::readBytes;
    using testing::writeBytes;

    const std::string twoRows = crlfLine(header) + crlfLine(exampleRow) + crlfLine(publishedRow);
    const std::string twoEntries = std::string(exampleEntry) + std::string(publishedEntry);

    /// How a run that did not throw ended, as a line: the count and the file
    /// written, or the wrong header.
    std::string reportOf(const RunResult &result)
    {
        if (result.outcome == RunOutcome::WrongHeader)
            return "wrong header\n";
        return std::to_string(result.count) + " satellites written to " + result.outputName + "\n";
    }

    int openDescriptors()
    {
        int count = 0;
        for ([[maybe_unused]] const auto &entry : fs::directory_iterator("/proc/self/fd"))
            ++count;
        return count;
    }

    /// How a core run ended: the error's message (empty when none), the
    /// report of a run that did not throw (reportOf; empty otherwise), and whether the descriptors
    /// open before were all that was open after.
    struct CoreOutcome {
        std::string error;
        std::string report;
        bool filesClosed = false;

        std::string serialise() const
        {
            return error + '\x1f' + report + '\x1f' + (filesClosed ? "1" : "0");
        }
        static CoreOutcome parse(const std::string &text)
        {
            CoreOutcome outcome;
            const std::size_t a = text.find('\x1f');
            const std::size_t b = text.find('\x1f', a + 1);
            outcome.error = text.substr(0, a);
            outcome.report = text.substr(a + 1, b - a - 1);
            outcome.filesClosed = text.substr(b + 1) == "1";
            return outcome;
        }
    };

    /// The core run on `path`; with `fileLimit`, the process may hold only
    /// that many descriptors while it runs.
    CoreOutcome convertWithCore(const std::string &path, rlim_t fileLimit = 0)
    {
        CoreOutcome outcome;
        const int before = openDescriptors();
        rlimit original {};
        getrlimit(RLIMIT_NOFILE, &original);
        if (fileLimit > 0) {
            const rlimit limit { fileLimit, original.rlim_max };
            setrlimit(RLIMIT_NOFILE, &limit);
        }
        Conversion conversion;
        try {
            outcome.report = reportOf(conversion.convertFile(path));
        } catch (const ConversionError &error) {
            outcome.error = error.what();
        }
        setrlimit(RLIMIT_NOFILE, &original);
        outcome.filesClosed = openDescriptors() == before;
        return outcome;
    }

    /// The core run in a child process that has given up root (when it had it
    /// and `unprivileged` is set), then ran `setUp`, and, when `fileLimit` is
    /// set, may hold only that many descriptors.
    CoreOutcome convertWithCoreInChild(const std::string &path,
        bool unprivileged,
        rlim_t fileLimit = 0,
        const std::function<void()> &setUp = {})
    {
        int channel[2];
        if (pipe(channel) != 0)
            return { "pipe failed", {}, false };
        const pid_t child = fork();
        if (child == 0) {
            close(channel[0]);
            if (unprivileged && geteuid() == 0
                && (setgroups(0, nullptr) != 0 || setresgid(nogroupId, nogroupId, nogroupId) != 0
                    || setresuid(nobodyId, nobodyId, nobodyId) != 0))
                _exit(3);
            if (setUp)
                setUp();
            if (fileLimit > 0) {
                // Only the standard descriptors stay below the limit, so the
                // limit is what the run itself can open.
                const int moved = fcntl(channel[1], F_DUPFD, 900);
                for (int fd = 3; fd < 900; ++fd)
                    close(fd);
                channel[1] = moved;
            }
            const CoreOutcome outcome = convertWithCore(path, fileLimit);
            const std::string text = outcome.serialise();
            const ssize_t written = write(channel[1], text.data(), text.size());
            _exit(written == static_cast<ssize_t>(text.size()) ? 0 : 4);
        }
        close(channel[1]);
        std::string text;
        char buffer[4096];
        for (ssize_t got; (got = read(channel[0], buffer, sizeof buffer)) > 0;)
            text.append(buffer, static_cast<std::size_t>(got));
        close(channel[0]);
        int status = 0;
        waitpid(child, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            return { "child failed with status " + std::to_string(status), {}, false };
        return CoreOutcome::parse(text);
    }

    CoreOutcome convertWithCoreUnprivileged(const std::string &path, rlim_t fileLimit = 0)
    {
        return convertWithCoreInChild(path, true, fileLimit);
    }

    struct CliOutcome {
        int status = -1;
        std::string out;
        std::string err;
    };

    /// Everything in a folder tree: each path with its type, mode and bytes,
    /// or its link target.
    std::map<std::string, std::string> snapshot(const fs::path &folder)
    {
        std::map<std::string, std::string> entries;
        for (const auto &entry : fs::recursive_directory_iterator(folder)) {
            const fs::path &p = entry.path();
            struct stat info { };
            lstat(p.c_str(), &info);
            std::string description = std::to_string(info.st_mode) + ":";
            if (S_ISLNK(info.st_mode))
                description += fs::read_symlink(p).string();
            else if (S_ISREG(info.st_mode))
                description += readBytes(p);
            entries[fs::relative(p, folder).string()] = description;
        }
        return entries;
    }

    /// Writes `bytes` to `file`, readable by all and writable by its owner.
    fs::path writeInput(const fs::path &file, const std::string &bytes)
    {
        writeBytes(file, bytes);
        fs::permissions(file,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read
                | fs::perms::others_read);
        return file;
    }

    class FileSystemFaults : public ::testing::Test {
    protected:
        void SetUp() override
        {
            std::string pattern = (fs::temp_directory_path() / "varnholt-fs-XXXXXX").string();
            ASSERT_NE(mkdtemp(pattern.data()), nullptr);
            m_folder = pattern;
            // The unprivileged user must reach the files: the folder is open
            // to all, and each case sets the permissions it is about.
            fs::permissions(m_folder, fs::perms::all);
        }

        void TearDown() override
        {
            std::error_code ignored;
            for (const auto &entry : fs::recursive_directory_iterator(m_folder, ignored))
                if (!entry.is_symlink())
                    fs::permissions(
                        entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
            fs::remove_all(m_folder, ignored);
        }

        fs::path path(const std::string &name) const { return m_folder / name; }

        fs::path input(const std::string &name, const std::string &bytes) const
        {
            return writeInput(path(name), bytes);
        }

        /// Runs the converter on `file`; as "nobody" when `unprivileged`; under
        /// the command `prefix` (such as a prlimit call) when given.
        CliOutcome convertWithCli(const std::string &file,
            bool unprivileged = false,
            const std::string &prefix = {}) const
        {
            const std::string out
                = (m_folder / "..").string() + "/" + m_folder.filename().string() + ".out";
            const std::string err = out + ".err";
            std::string command;
            if (unprivileged && geteuid() == 0)
                command += "setpriv --reuid=nobody --regid=nogroup --clear-groups ";
            command += prefix + std::string("'") + VARNHOLT_CONVERT + "' '" + file + "' >'" + out
                + "' 2>'" + err + "'";
            CliOutcome outcome;
            const int status = std::system(command.c_str());
            outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            outcome.out = readBytes(out);
            outcome.err = readBytes(err);
            fs::remove(out);
            fs::remove(err);
            return outcome;
        }

        /// The converter's line for an error on `file`.
        static std::string cliError(const std::string &file, const std::string &message)
        {
            return "varnholt-convert: " + file + ": " + message + "\n";
        }

        /// Both front ends fail on `file` with `message` and change nothing in
        /// the folder.
        void expectRefusedByBoth(
            const fs::path &file, const std::string &message, bool unprivileged = false)
        {
            const auto before = snapshot(m_folder);
            const CoreOutcome core = unprivileged ? convertWithCoreUnprivileged(file.string())
                                                  : convertWithCore(file.string());
            EXPECT_EQ(core.error, message);
            EXPECT_EQ(core.report, "");
            EXPECT_TRUE(core.filesClosed);
            EXPECT_EQ(snapshot(m_folder), before) << "the core changed the folder";

            const CliOutcome cli = convertWithCli(file.string(), unprivileged);
            EXPECT_EQ(cli.status, 1);
            EXPECT_EQ(cli.err, cliError(file.string(), message));
            EXPECT_EQ(cli.out, "");
            EXPECT_EQ(snapshot(m_folder), before) << "the converter changed the folder";
        }

        fs::path m_folder;
    };

    // Inputs and outputs a run cannot use. The cases about permissions run
    // unprivileged, where permissions mean something.
    struct UnusableCase {
        const char *name;
        std::function<void(const fs::path &folder)> setUp;
        const char *path; // converted, in the folder
        const char *message;
        bool unprivileged;
    };

    class UnusableFile : public FileSystemFaults,
                         public ::testing::WithParamInterface<UnusableCase> { };

    TEST_P(UnusableFile, IsRefusedByBothWithItsMessage)
    {
        GetParam().setUp(m_folder);
        expectRefusedByBoth(path(GetParam().path), GetParam().message, GetParam().unprivileged);
    }

    INSTANTIATE_TEST_SUITE_P(Faults,
        UnusableFile,
        ::testing::Values(UnusableCase { "MissingInputIsNotFound",
                              [](const fs::path &f) { writeInput(f / "other.csv", twoRows); },
                              "active.csv", "File not found", false },
            UnusableCase { "MissingFolderIsAnInvalidFilename",
                [](const fs::path &f) { writeInput(f / "plain.csv", twoRows); },
                "missing/active.csv", "Invalid filename", false },
            UnusableCase { "FileUsedAsFolderIsAnInvalidFilename",
                [](const fs::path &f) { writeInput(f / "plain.csv", twoRows); },
                "plain.csv/active.csv", "Invalid filename", false },
            UnusableCase { "DirectoryAsInputIsAccessDenied",
                [](const fs::path &f) { fs::create_directory(f / "folder.csv"); }, "folder.csv",
                "File access denied", false },
            UnusableCase { "UnreadableInputIsAccessDenied",
                [](const fs::path &f) {
                    writeInput(f / "secret.csv", twoRows);
                    fs::permissions(f / "secret.csv", fs::perms::none);
                },
                "secret.csv", "File access denied", true },
            // The folder is compared before and after: the older output is kept.
            UnusableCase { "ReadOnlyOutputFileIsAccessDeniedAndKept",
                [](const fs::path &f) {
                    writeInput(f / "active.csv", twoRows);
                    writeBytes(f / "active.TLE", "an older conversion\r\n");
                    fs::permissions(f / "active.TLE",
                        fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
                },
                "active.csv", "File access denied", true },
            UnusableCase { "ReadOnlyFolderIsAccessDenied",
                [](const fs::path &f) {
                    fs::create_directory(f / "locked");
                    writeInput(f / "locked/active.csv", twoRows);
                    fs::permissions(f / "locked",
                        fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read
                            | fs::perms::group_exec | fs::perms::others_read
                            | fs::perms::others_exec);
                },
                "locked/active.csv", "File access denied", true }),
        testing::caseName);

#if defined(__SANITIZE_ADDRESS__)
    constexpr bool sanitized = true;
#elif defined(__has_feature)
    constexpr bool sanitized = __has_feature(address_sanitizer);
#else
    constexpr bool sanitized = false;
#endif

    TEST_F(FileSystemFaults, NoDescriptorLeftIsTooManyOpenFiles)
    {
        if (sanitized)
            GTEST_SKIP() << "the sanitizer runtime needs free descriptors of its own";
        const fs::path file = input("active.csv", twoRows);
        const auto before = snapshot(m_folder);
        // Three descriptors: the standard ones, so the input cannot be opened.
        const CoreOutcome core = convertWithCoreUnprivileged(file.string(), 3);
        EXPECT_EQ(core.error, "Too many open files");
        EXPECT_TRUE(core.filesClosed);
        // Four: the input opens and the output cannot.
        const CoreOutcome onlyInput = convertWithCoreUnprivileged(file.string(), 4);
        EXPECT_EQ(onlyInput.error, "Too many open files");
        EXPECT_TRUE(onlyInput.filesClosed);
        EXPECT_EQ(snapshot(m_folder), before);
    }

    // The output name denotes the input itself.
    struct SameFileCase {
        const char *name;
        const char *input;
        std::function<void(const fs::path &folder)> makeOutputName;
    };

    class OutputDenotingTheInput : public FileSystemFaults,
                                   public ::testing::WithParamInterface<SameFileCase> { };

    TEST_P(OutputDenotingTheInput, StopsWithFileInUseAndLeavesItAlone)
    {
        const fs::path file = input(GetParam().input, twoRows);
        GetParam().makeOutputName(m_folder);
        expectRefusedByBoth(file, "I/O error 32");
        EXPECT_EQ(readBytes(file), twoRows);
    }

    // The same names given to the converter's -o, for a named input and for
    // standard input.
    TEST_P(OutputDenotingTheInput, IsRefusedAsTheOutputOptionToo)
    {
        const fs::path file = input(GetParam().input, twoRows);
        GetParam().makeOutputName(m_folder);
        const auto before = snapshot(m_folder);
        const std::string output = path("active.TLE").string();
        for (const std::string &arguments : { "-o '" + output + "' '" + file.string() + "'",
                 "--output='" + output + "' - <'" + file.string() + "'" }) {
            SCOPED_TRACE(arguments);
            const std::string err = m_folder.string() + ".err";
            const std::string command = std::string("'") + VARNHOLT_CONVERT + "' " + arguments
                + " >/dev/null 2>'" + err + "'";
            const int status = std::system(command.c_str());
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
            EXPECT_THAT(readBytes(err), ::testing::EndsWith(": I/O error 32\n"));
            fs::remove(err);
            EXPECT_EQ(snapshot(m_folder), before);
        }
    }

    INSTANTIATE_TEST_SUITE_P(Names,
        OutputDenotingTheInput,
        ::testing::Values(SameFileCase { "SamePath", "active.TLE", [](const fs::path &) {} },
            SameFileCase { "HardLink", "active.csv",
                [](const fs::path &f) {
                    fs::create_hard_link(f / "active.csv", f / "active.TLE");
                } },
            SameFileCase { "SymbolicLink", "active.csv",
                [](const fs::path &f) { fs::create_symlink("active.csv", f / "active.TLE"); } },
            SameFileCase { "SymbolicLinkToTheFolderPath", "active.csv",
                [](const fs::path &f) {
                    fs::create_symlink(f / "active.csv", f / "active.TLE");
                } }),
        testing::caseName);

    TEST_F(FileSystemFaults, FullDiskIsIoError112WithoutSummary)
    {
        const fs::path file = input("active.csv", twoRows);
        fs::create_symlink("/dev/full", path("active.TLE"));
        expectRefusedByBoth(file, "I/O error 112");
    }

    // "-" converts standard input to standard output; a full disk there is
    // reported the same way, and no count is printed.
    TEST_F(FileSystemFaults, FullStandardOutputIsIoError112WithoutCount)
    {
        const fs::path file = input("active.csv", twoRows);
        const fs::path err = path("err.txt");
        const std::string command = std::string("'") + VARNHOLT_CONVERT + "' - <'" + file.string()
            + "' >/dev/full 2>'" + err.string() + "'";
        const int status = std::system(command.c_str());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
        EXPECT_EQ(readBytes(err), "varnholt-convert: -: I/O error 112\n");
        EXPECT_EQ(readBytes(file), twoRows);
    }

    TEST_F(FileSystemFaults, ExistingOutputIsReplacedWithoutQuestion)
    {
        const fs::path file = input("active.csv", twoRows);
        writeBytes(path("active.TLE"), std::string(5000, 'x'));
        const CoreOutcome core = convertWithCore(file.string());
        EXPECT_EQ(core.error, "");
        EXPECT_TRUE(core.filesClosed);
        EXPECT_EQ(core.report, "2 satellites written to " + path("active.TLE").string() + "\n");
        EXPECT_EQ(readBytes(path("active.TLE")), twoEntries);

        writeBytes(path("active.TLE"), std::string(5000, 'y'));
        const CliOutcome cli = convertWithCli(file.string());
        EXPECT_EQ(cli.status, 0);
        EXPECT_EQ(cli.err, "");
        EXPECT_EQ(cli.out,
            file.string() + ": 2 satellites written to " + path("active.TLE").string() + "\n");
        EXPECT_EQ(readBytes(path("active.TLE")), twoEntries);
        EXPECT_EQ(readBytes(file), twoRows);
    }

    // A number error in data row k: the output holds the entries of rows 1 to
    // k - 1, and the converter names the file and the line (the header is line
    // 1). Row 2000 comes after more entries than the output buffers at once.
    struct NumberErrorCase {
        const char *name;
        int k;
        std::string meanMotion; ///< column 4 of the bad row
        std::string inclination; ///< column 6 of the bad row
        std::string message;
    };

    class NumberErrorInRow : public FileSystemFaults,
                             public ::testing::WithParamInterface<NumberErrorCase> { };

    TEST_P(NumberErrorInRow, LeavesTheEntriesBeforeIt)
    {
        const int k = GetParam().k;
        const std::string badRow = "BAD,2015-034A,2024-03-11T12:02:41.185440,"
            + GetParam().meanMotion + ",.0002345," + GetParam().inclination
            + ",85.1234,5.4321,9.8765,0,U,40732,999,1234,0,0,0\r\n";
        std::string rows = crlfLine(header);
        std::string entries;
        for (int row = 1; row < k; ++row) {
            rows += crlfLine(row % 2 ? exampleRow : publishedRow);
            entries += row % 2 ? exampleEntry : publishedEntry;
        }
        rows += badRow + crlfLine(exampleRow);
        const fs::path file = input("active.csv", rows);
        const std::string &message = GetParam().message;

        const CoreOutcome core = convertWithCore(file.string());
        EXPECT_EQ(core.error, message);
        EXPECT_EQ(core.report, "");
        EXPECT_TRUE(core.filesClosed);
        EXPECT_EQ(readBytes(path("active.TLE")), entries);

        fs::remove(path("active.TLE"));
        const CliOutcome cli = convertWithCli(file.string());
        EXPECT_EQ(cli.status, 1);
        EXPECT_EQ(cli.err, cliError(file.string() + ":" + std::to_string(k + 1), message));
        EXPECT_EQ(cli.out, "");
        EXPECT_EQ(readBytes(path("active.TLE")), entries);
        EXPECT_EQ(readBytes(file), rows);
    }

    const std::string badInclination = "'5l.6416' is not a valid floating point value";

    INSTANTIATE_TEST_SUITE_P(Rows,
        NumberErrorInRow,
        ::testing::Values(NumberErrorCase { "Row1", 1, "1.00271234", "5l.6416", badInclination },
            NumberErrorCase { "Row2", 2, "1.00271234", "5l.6416", badInclination },
            NumberErrorCase { "Row3", 3, "1.00271234", "5l.6416", badInclination },
            NumberErrorCase { "Row2000", 2000, "1.00271234", "5l.6416", badInclination },
            NumberErrorCase { "MeanMotionNotANumberRow3", 3, "12.2x3472993", "5.6416",
                "'12.2x3472993' is not a valid floating point value" },
            NumberErrorCase { "MeanMotionTooWideRow2000", 2000, "15.501034721", "5.6416",
                "'15.501034721' does not fit its TLE field" }),
        testing::caseName);

    // Files that are not files: a named pipe must never make a run wait for
    // its other end, and a device is no input. The name of the file that is
    // not one is given.
    struct NotAFileCase {
        const char *name;
        const char *input; // converted, in the folder
        std::function<void(const fs::path &folder)> make;
        const char *named; // the file the message names, in the folder
    };

    class NotARegularFile : public FileSystemFaults,
                            public ::testing::WithParamInterface<NotAFileCase> { };

    TEST_P(NotARegularFile, IsRefusedAtOnceByName)
    {
        GetParam().make(m_folder);
        const fs::path file = path(GetParam().input);
        const std::string before = fs::is_regular_file(file) ? readBytes(file) : "";
        expectRefusedByBoth(
            file, "'" + path(GetParam().named).string() + "' is not a regular file");
        if (fs::is_regular_file(file)) {
            EXPECT_EQ(readBytes(file), before);
        }
    }

    INSTANTIATE_TEST_SUITE_P(Kinds,
        NotARegularFile,
        ::testing::Values(NotAFileCase { "NamedPipeAsOutput", "active.csv",
                              [](const fs::path &f) {
                                  writeBytes(f / "active.csv", twoRows);
                                  mkfifo((f / "active.TLE").c_str(), 0666);
                              },
                              "active.TLE" },
            NotAFileCase { "NamedPipeAsInput", "active.csv",
                [](const fs::path &f) { mkfifo((f / "active.csv").c_str(), 0666); }, "active.csv" },
            NotAFileCase { "DeviceAsInput", "zero.csv",
                [](const fs::path &f) { fs::create_symlink("/dev/zero", f / "zero.csv"); },
                "zero.csv" }),
        testing::caseName);

    // A character device is a fine output: the entries go where it sends them.
    TEST_F(FileSystemFaults, NullDeviceAsOutputConverts)
    {
        const fs::path file = input("active.csv", twoRows);
        fs::create_symlink("/dev/null", path("active.TLE"));
        const CoreOutcome core = convertWithCore(file.string());
        EXPECT_EQ(core.error, "");
        EXPECT_TRUE(core.filesClosed);
        const CliOutcome cli = convertWithCli(file.string());
        EXPECT_EQ(cli.status, 0);
        EXPECT_EQ(cli.err, "");
        EXPECT_TRUE(fs::is_symlink(path("active.TLE")));
    }

    // An error number without a message of its own is shown by its own number:
    // reading a process's memory at address 0 fails with EIO, 5, which is not
    // "File access denied".
    TEST_F(FileSystemFaults, UnlistedErrorNumberIsShownByItself)
    {
        expectRefusedByBoth("/proc/self/mem", "I/O error " + std::to_string(EIO));
    }

    /// Rows enough for several output buffers, and the entries they give.
    struct ManyRows {
        std::string rows = crlfLine(header);
        std::string entries;
        explicit ManyRows(int count)
        {
            for (int row = 0; row < count; ++row) {
                rows += crlfLine(exampleRow);
                entries += exampleEntry;
            }
        }
    };

    // A file-size limit: the write fails with EFBIG (27) instead of a signal
    // ending the process mid-line, and the output keeps whole entries only.
    TEST_F(FileSystemFaults, FileSizeLimitIsIoError27WithWholeEntries)
    {
        const ManyRows many(2000);
        const fs::path file = input("active.csv", many.rows);
        constexpr rlim_t limit = 100000;
        const auto expectWholeEntries = [&] {
            const std::string written = readBytes(path("active.TLE"));
            EXPECT_GT(written.size(), 0U);
            EXPECT_LE(written.size(), limit);
            EXPECT_EQ(written.size() % exampleEntry.size(), 0U);
            EXPECT_EQ(written, many.entries.substr(0, written.size()));
        };

        const CoreOutcome core = convertWithCoreInChild(file.string(), false, 0, [] {
            reportFileLimitsAsErrors();
            const rlimit size { limit, limit };
            setrlimit(RLIMIT_FSIZE, &size);
        });
        EXPECT_EQ(core.error, "I/O error " + std::to_string(EFBIG));
        EXPECT_EQ(core.report, "");
        EXPECT_TRUE(core.filesClosed);
        expectWholeEntries();

        fs::remove(path("active.TLE"));
        const CliOutcome cli = convertWithCli(
            file.string(), false, "prlimit --fsize=" + std::to_string(limit) + " ");
        EXPECT_EQ(cli.status, 1);
        EXPECT_EQ(cli.err, cliError(file.string(), "I/O error 27"));
        expectWholeEntries();
        EXPECT_EQ(readBytes(file), many.rows);
    }

    // A line longer than the memory left: a sentence of its own, naming the line.
    TEST_F(FileSystemFaults, LineTooLongForMemoryIsNamed)
    {
        if (sanitized)
            GTEST_SKIP() << "the sanitizer runtime reserves more address space than the limit";
        constexpr rlim_t addressSpace = 150'000'000;
        // A file with a line of 100 MB between `before` and `after`, written in
        // pieces so that this process does not hold it (its child inherits
        // whatever it holds).
        const auto writeWithLongLine
            = [](const fs::path &p, const std::string &before, const std::string &after) {
                  std::ofstream out(p, std::ios::binary | std::ios::trunc);
                  out << before;
                  const std::string piece(1'000'000, 'x');
                  for (int k = 0; k < 100; ++k)
                      out << piece;
                  out << "\r\n" << after;
              };
        struct Case {
            std::string before;
            std::string after;
            const char *message;
        };
        for (const Case &c :
            { Case { crlfLine(header) + crlfLine(exampleRow), "", "Not enough memory for line 3" },
                Case { "", crlfLine(exampleRow), "Not enough memory for line 1" } }) {
            SCOPED_TRACE(c.message);
            const fs::path file = path("big.csv");
            writeWithLongLine(file, c.before, c.after);
            const CoreOutcome core = convertWithCoreInChild(file.string(), false, 0, [] {
                const rlimit limit { addressSpace, addressSpace };
                setrlimit(RLIMIT_AS, &limit);
            });
            EXPECT_EQ(core.error, c.message);
            EXPECT_TRUE(core.filesClosed);

            const CliOutcome cli = convertWithCli(
                file.string(), false, "prlimit --as=" + std::to_string(addressSpace) + " ");
            EXPECT_EQ(cli.status, 1);
            EXPECT_THAT(cli.err, ::testing::EndsWith(": " + std::string(c.message) + "\n"));
            fs::remove(path("big.TLE"));
        }
    }

    // The converter's own lines: a standard output that cannot be written is an
    // error, not a success.
    TEST_F(FileSystemFaults, UnwritableStandardOutputFailsTheConverter)
    {
        const fs::path file = input("active.csv", twoRows);
        const fs::path err = path("err.txt");
        struct Case {
            const char *name;
            std::string arguments;
        };
        for (const Case &c : { Case { "summary line", "'" + file.string() + "'" },
                 Case { "version", "--version" }, Case { "help", "--help" } }) {
            SCOPED_TRACE(c.name);
            const std::string command = std::string("'") + VARNHOLT_CONVERT + "' " + c.arguments
                + " >/dev/full 2>'" + err.string() + "'";
            const int status = std::system(command.c_str());
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
            EXPECT_EQ(readBytes(err), "varnholt-convert: standard output: I/O error 112\n");
        }
        EXPECT_EQ(readBytes(path("active.TLE")), twoEntries);
    }

} // namespace
} // namespace varnholt
