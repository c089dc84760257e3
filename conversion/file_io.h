#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace varnholt {

// The file system as the conversion run sees it. Every failure is thrown as an
// IoError with the code that chooses its message. This is the one place that
// talks to the operating system.

/// The code for an errno value met on `path`: file not found becomes 3 when
/// the folder it names does not exist either.
int ioCodeFor(int errorNumber, const std::string &path);

/// Reads up to `size` bytes; 0 at the end of the input.
std::size_t readSome(int fd, char *buffer, std::size_t size);

/// An input file open for reading, closed when it goes.
class InputFile {
public:
    explicit InputFile(const std::string &path);
    ~InputFile();
    InputFile(const InputFile &) = delete;
    InputFile &operator=(const InputFile &) = delete;

    int fd() const noexcept { return m_fd; }

    /// Closes the file; throws IoError when closing fails.
    void close();

private:
    int m_fd = -1;
};

/// The output, written in whole entries. Entries are buffered and the buffer
/// only ever holds whole entries, so whatever reaches the file ends with a
/// complete entry; when a write fails, the file is cut back to the last
/// complete entry before the error is thrown.
class OutputFile {
public:
    /// Creates (or replaces) `path`. Throws IoError 32 when `path` denotes the
    /// open input `inputFd` itself (same file through any name), before
    /// anything is changed.
    OutputFile(const std::string &path, int inputFd);
    /// Writes to an open descriptor, which stays owned by the caller.
    explicit OutputFile(int fd);
    ~OutputFile();
    OutputFile(const OutputFile &) = delete;
    OutputFile &operator=(const OutputFile &) = delete;

    /// Adds three lines, each ended by CR LF.
    void writeEntry(std::string_view name, std::string_view line1, std::string_view line2);

    /// Writes what is buffered and closes the file (when it owns it); every
    /// step checked.
    void finish();

    /// After an error elsewhere: writes the buffered entries if it can, closes,
    /// and throws nothing.
    void abandon() noexcept;

private:
    void flush();
    void writeAll(const char *data, std::size_t size);

    int m_fd = -1;
    bool m_owned = false;
    std::string m_path;
    std::vector<char> m_buffer;
    std::size_t m_used = 0;
    long long m_committed = 0; // bytes known to be in the file, at an entry boundary
};

} // namespace varnholt
