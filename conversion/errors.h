#pragma once

#include <stdexcept>
#include <string>

namespace varnholt {

/// An error that ends a conversion run. Its message is the sentence the user sees.
/// When a data row caused it, line() gives that row's line number in the input
/// (the header is line 1); otherwise line() is 0.
class ConversionError : public std::runtime_error {
public:
    explicit ConversionError(const std::string &message, int line = 0)
        : std::runtime_error(message)
        , m_line(line)
    {
    }

    int line() const noexcept { return m_line; }
    void setLine(int line) noexcept { m_line = line; }

private:
    int m_line;
};

/// Why opening, reading, creating, writing or closing a file failed. The
/// first six causes have messages of their own, whatever the system's number
/// for them; every other failure is told by the system's own number.
enum class IoCause {
    FileNotFound, ///< "File not found"
    PathNotFound, ///< "Invalid filename"
    TooManyOpenFiles, ///< "Too many open files"
    AccessDenied, ///< "File access denied"
    FileInUse, ///< "I/O error 32"
    DiskFull, ///< "I/O error 112"
    NotAFile, ///< "'<path>' is not a regular file": a named pipe, a device, a socket
    Other, ///< "I/O error n", n the system's error number
};

/// A failure to open, read, create, write or close a file.
class IoError : public ConversionError {
public:
    /// `number` is the system's error number, shown for IoCause::Other; `path`
    /// is the file named by IoCause::NotAFile.
    explicit IoError(IoCause cause, int number = 0, const std::string &path = {});

    IoCause cause() const noexcept { return m_cause; }
    int number() const noexcept { return m_number; }

private:
    IoCause m_cause;
    int m_number;
};

/// The user's message for an I/O failure: "File not found", "Invalid
/// filename", "Too many open files", "File access denied", "I/O error 32",
/// "I/O error 112", "'<path>' is not a regular file", or "I/O error n" for
/// any other cause with the system's error number n.
std::string ioErrorMessage(IoCause cause, int number = 0, const std::string &path = {});

/// The message when a line of the input does not fit in memory.
std::string outOfMemoryMessage(int line);

} // namespace varnholt
