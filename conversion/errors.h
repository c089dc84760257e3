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

/// A failure to open, read, create, write or close a file. code() is the
/// operating-system-independent code the message is chosen by: 2 file not
/// found, 3 path not found, 4 too many open files, 5 access denied, 32 file in
/// use, 112 disk full, any other value the system's own error number.
class IoError : public ConversionError {
public:
    explicit IoError(int code);

    int code() const noexcept { return m_code; }

private:
    int m_code;
};

/// The user's message for an I/O error code: "File not found", "Invalid
/// filename", "Too many open files", "File access denied" or "I/O error n".
std::string ioErrorMessage(int code);

} // namespace varnholt
