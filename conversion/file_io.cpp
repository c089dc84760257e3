#include "file_io.h"

#include "errors.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace varnholt {

namespace {

    constexpr std::size_t bufferSize = std::size_t { 64 } * 1024;
    constexpr int fileInUse = 32;

    bool folderExists(const std::string &path)
    {
        const std::size_t slash = path.find_last_of('/');
        if (slash == std::string::npos)
            return true;
        const std::string folder = slash == 0 ? std::string("/") : path.substr(0, slash);
        struct stat info { };
        return ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    }

    [[noreturn]] void fail(int errorNumber, const std::string &path)
    {
        throw IoError(ioCodeFor(errorNumber, path));
    }

} // namespace

int ioCodeFor(int errorNumber, const std::string &path)
{
    switch (errorNumber) {
    case ENOENT:
        return folderExists(path) ? 2 : 3;
    case ENOTDIR:
    case ENAMETOOLONG:
        return 3;
    case EMFILE:
    case ENFILE:
        return 4;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return 5;
    case ENOSPC:
    case EDQUOT:
        return 112;
    case EBUSY:
    case ETXTBSY:
        return fileInUse;
    default:
        return errorNumber;
    }
}

std::size_t readSome(int fd, char *buffer, std::size_t size)
{
    for (;;) {
        const ssize_t got = ::read(fd, buffer, size);
        if (got >= 0)
            return static_cast<std::size_t>(got);
        if (errno != EINTR)
            fail(errno, {});
    }
}

InputFile::InputFile(const std::string &path)
{
    m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0)
        fail(errno, path);
    // A directory opens for reading on Linux; it is not a file to convert.
    struct stat info { };
    if (::fstat(m_fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        ::close(m_fd);
        m_fd = -1;
        fail(EISDIR, path);
    }
}

InputFile::~InputFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void InputFile::close()
{
    const int fd = m_fd;
    m_fd = -1;
    if (fd >= 0 && ::close(fd) != 0)
        fail(errno, {});
}

OutputFile::OutputFile(const std::string &path, int inputFd)
    : m_owned(true)
    , m_path(path)
    , m_buffer(bufferSize)
{
    struct stat input { };
    struct stat existing { };
    if (::fstat(inputFd, &input) == 0 && ::stat(path.c_str(), &existing) == 0
        && input.st_dev == existing.st_dev && input.st_ino == existing.st_ino)
        throw IoError(fileInUse);
    m_fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (m_fd < 0)
        fail(errno, path);
}

OutputFile::OutputFile(int fd)
    : m_fd(fd)
    , m_buffer(bufferSize)
{
}

OutputFile::~OutputFile() { abandon(); }

void OutputFile::writeAll(const char *data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(m_fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            // Cut a partly written entry off again (not possible on pipes or devices).
            if (::ftruncate(m_fd, m_committed) != 0) { }
            fail(error, m_path);
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
}

void OutputFile::flush()
{
    if (m_used == 0)
        return;
    writeAll(m_buffer.data(), m_used);
    m_committed += static_cast<long long>(m_used);
    m_used = 0;
}

void OutputFile::writeEntry(std::string_view name, std::string_view line1, std::string_view line2)
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

void OutputFile::finish()
{
    flush();
    const int fd = m_fd;
    m_fd = -1;
    if (m_owned && fd >= 0 && ::close(fd) != 0)
        fail(errno, m_path);
}

void OutputFile::abandon() noexcept
{
    if (m_fd < 0)
        return;
    try {
        flush();
    } catch (const IoError &) {
        // The error that ended the run is the one the user sees.
    }
    if (m_owned)
        ::close(m_fd);
    m_fd = -1;
}

} // namespace varnholt
