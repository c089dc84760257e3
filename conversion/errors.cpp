#include "errors.h"

namespace varnholt {

std::string ioErrorMessage(IoCause cause, int number, const std::string &path)
{
    switch (cause) {
    case IoCause::FileNotFound:
        return "File not found";
    case IoCause::PathNotFound:
        return "Invalid filename";
    case IoCause::TooManyOpenFiles:
        return "Too many open files";
    case IoCause::AccessDenied:
        return "File access denied";
    case IoCause::FileInUse:
        return "I/O error 32";
    case IoCause::DiskFull:
        return "I/O error 112";
    case IoCause::NotAFile:
        return "'" + path + "' is not a regular file";
    case IoCause::Other:
        break;
    }
    return "I/O error " + std::to_string(number);
}

IoError::IoError(IoCause cause, int number, const std::string &path)
    : ConversionError(ioErrorMessage(cause, number, path))
    , m_cause(cause)
    , m_number(number)
{
}

std::string outOfMemoryMessage(int line)
{
    return "Not enough memory for line " + std::to_string(line);
}

} // namespace varnholt
