#pragma once

#include "errors.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace varnholt {

// The file system as the conversion run sees it. Every failure is thrown as an
// IoError with its cause. platform/ implements it, with a file of its own for
// each system: the core itself makes no system call.

/// An open file as the system knows it: a descriptor on POSIX systems, a
/// HANDLE on Windows, carried in an integer the size of a pointer.
using FileHandle = std::intptr_t;

/// No open file (-1 is also the value of Windows' INVALID_HANDLE_VALUE).
inline constexpr FileHandle noFile = -1;

/// The process's standard input, output and error.
FileHandle standardInput() noexcept;
FileHandle standardOutput() noexcept;
FileHandle standardError() noexcept;

/// Makes the standard streams carry bytes unchanged where the system would
/// otherwise translate line ends. Both programs call it at start-up.
void useBinaryStandardStreams() noexcept;

/// The end of the lines the program writes for people to read (summaries,
/// messages, help): CR LF on Windows, LF on POSIX systems. The TLE's entries
/// end in CR LF everywhere.
std::string_view textLineEnd() noexcept;

/// `text` with each LF in it written as `lineEnd`.
std::string withLineEnds(std::string_view text, std::string_view lineEnd);

/// Writes the program's own UTF-8 text to a standard stream, each LF in it as
/// textLineEnd(). A Windows console is given the text as wide characters, so
/// that every letter shows whatever its code page; a file or pipe gets the
/// UTF-8 bytes. Throws IoError.
void writeMessage(FileHandle stream, std::string_view text);

/// The cause for the system's error number met on `path` (an errno value on
/// POSIX systems, a GetLastError() code on Windows). On POSIX systems a
/// missing file is a missing path when the folder it names does not exist
/// either; a number without a cause of its own is IoCause::Other.
IoCause ioCauseFor(int errorNumber, const std::string &path);

/// The characters that end a folder in a path: "/" on POSIX systems; "\", "/"
/// and the ":" after a drive letter on Windows.
std::string_view folderSeparators() noexcept;

/// Makes a write past the process's file-size limit, or to a pipe nobody
/// reads, fail with an error (EFBIG, EPIPE) instead of ending the process by
/// a signal. Both programs call it once at start-up.
void reportFileLimitsAsErrors() noexcept;

/// Writes all of `text` to the open file `file`; throws IoError.
void writeText(FileHandle file, std::string_view text);

/// Reads up to `size` bytes; 0 at the end of the input.
std::size_t readSome(FileHandle file, char *buffer, std::size_t size);

/// An input file open for reading, closed when it goes.
class InputFile {
public:
    /// Opens `path`, which must be a regular file: a folder is refused as
    /// access denied, a named pipe, device or socket as IoCause::NotAFile,
    /// without waiting for a writer.
    explicit InputFile(const std::string &path);
    ~InputFile();
    InputFile(const InputFile &) = delete;
    InputFile &operator=(const InputFile &) = delete;

    FileHandle handle() const noexcept { return m_file; }

    /// Closes the file; throws IoError when closing fails.
    void close();

private:
    FileHandle m_file = noFile;
};

/// The output, written in whole entries. Entries are buffered and the buffer
/// only ever holds whole entries, so whatever reaches the file ends with a
/// complete entry; when a write fails, the file is cut back to the last
/// complete entry before the error is thrown.
class OutputFile {
public:
    /// Creates (or replaces) `path`, a regular file or a character device
    /// (such as /dev/null). Throws IoError (IoCause::FileInUse) when `path`
    /// denotes the open input `input` itself (same file through any name),
    /// and IoCause::NotAFile for a named pipe or socket, before anything is
    /// changed and without waiting for a reader.
    OutputFile(const std::string &path, FileHandle input);
    /// Writes to an open file, which stays owned by the caller.
    explicit OutputFile(FileHandle file);
    ~OutputFile();
    OutputFile(const OutputFile &) = delete;
    OutputFile &operator=(const OutputFile &) = delete;

    /// Adds three lines, each ended by CR LF. Defined here, to be inlined
    /// into each of the run's loops that write entries.
    void writeEntry(std::string_view name, std::string_view line1, std::string_view line2)
    {
        const std::size_t size = name.size() + line1.size() + line2.size() + 6;
        if (m_used + size > m_buffer.size()) {
            flush();
            if (size > m_buffer.size())
                m_buffer.resize(size);
        }
        char *out = m_buffer.data() + m_used;
        for (std::string_view text : { name, line1, line2 }) {
            out = std::copy(text.begin(), text.end(), out);
            *out++ = '\r';
            *out++ = '\n';
        }
        m_used += size;
    }

    /// Writes what is buffered and closes the file (when it owns it); every
    /// step checked.
    void finish();

    /// After an error elsewhere: writes the buffered entries if it can, closes,
    /// and throws nothing.
    void abandon() noexcept;

private:
    static constexpr std::size_t entryBufferSize = std::size_t { 64 } * 1024;

    void flush();
    void writeAll(const char *data, std::size_t size);
    static void closeQuietly(FileHandle file) noexcept;

    FileHandle m_file = noFile;
    bool m_owned = false;
    std::string m_path;
    std::vector<char> m_buffer;
    std::size_t m_used = 0;
    long long m_committed = 0; // bytes known to be in the file, at an entry boundary
};

} // namespace varnholt
