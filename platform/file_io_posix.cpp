#include "errors.h"
#include "file_io.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace varnholt {

namespace {

    bool folderExists(const std::string &path)
    {
        const std::size_t slash = path.find_last_of('/');
        if (slash == std::string::npos)
            return true;
        const std::string folder = slash == 0 ? std::string("/") : path.substr(0, slash);
        struct stat info { };
        return ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    }

    int descriptor(FileHandle file) noexcept { return static_cast<int>(file); }

    [[noreturn]] void fail(int errorNumber, const std::string &path)
    {
        const IoCause cause = ioCauseFor(errorNumber, path);
        throw IoError(cause, errorNumber, path);
    }

    [[noreturn]] void failNotAFile(int fd, const std::string &path)
    {
        ::close(fd);
        throw IoError(IoCause::NotAFile, 0, path);
    }

    // Opened without blocking, so that a named pipe does not wait for its
    // other end; a file or device kept open then blocks as usual.
    void restoreBlocking(int fd)
    {
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags != -1)
            ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    }

} // namespace

IoCause ioCauseFor(int errorNumber, const std::string &path)
{
    switch (errorNumber) {
    case ENOENT:
        return folderExists(path) ? IoCause::FileNotFound : IoCause::PathNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
        return IoCause::PathNotFound;
    case EMFILE:
    case ENFILE:
        return IoCause::TooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return IoCause::AccessDenied;
    case ENOSPC:
    case EDQUOT:
        return IoCause::DiskFull;
    case EBUSY:
    case ETXTBSY:
        return IoCause::FileInUse;
    default:
        return IoCause::Other;
    }
}

std::string_view folderSeparators() noexcept { return "/"; }

FileHandle standardInput() noexcept { return STDIN_FILENO; }
FileHandle standardOutput() noexcept { return STDOUT_FILENO; }
FileHandle standardError() noexcept { return STDERR_FILENO; }

// POSIX systems never translate line ends.
void useBinaryStandardStreams() noexcept { }

void reportFileLimitsAsErrors() noexcept
{
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
}

void writeText(FileHandle file, std::string_view text)
{
    const int fd = descriptor(file);
    const char *data = text.data();
    std::size_t size = text.size();
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            fail(errno, {});
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
}

std::string_view textLineEnd() noexcept { return "\n"; }

// A terminal takes the UTF-8 bytes as they are.
void writeMessage(FileHandle stream, std::string_view text) { writeText(stream, text); }

std::size_t readSome(FileHandle file, char *buffer, std::size_t size)
{
    const int fd = descriptor(file);
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
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        fail(errno, path);
    struct stat info { };
    if (::fstat(fd, &info) != 0) {
        const int error = errno;
        ::close(fd);
        fail(error, path);
    }
    // A directory opens for reading on Linux; it is not a file to convert.
    if (S_ISDIR(info.st_mode)) {
        ::close(fd);
        fail(EISDIR, path);
    }
    if (!S_ISREG(info.st_mode))
        failNotAFile(fd, path);
    restoreBlocking(fd);
    m_file = fd;
}

InputFile::~InputFile()
{
    if (m_file != noFile)
        ::close(descriptor(m_file));
}

void InputFile::close()
{
    const int fd = descriptor(m_file);
    m_file = noFile;
    if (fd >= 0 && ::close(fd) != 0)
        fail(errno, {});
}

OutputFile::OutputFile(const std::string &path, FileHandle inputFile)
    : m_owned(true)
    , m_path(path)
    , m_buffer(entryBufferSize)
{
    struct stat input { };
    struct stat existing { };
    if (::stat(path.c_str(), &existing) == 0) {
        if (::fstat(descriptor(inputFile), &input) == 0 && input.st_dev == existing.st_dev
            && input.st_ino == existing.st_ino)
            throw IoError(IoCause::FileInUse);
        if (!S_ISREG(existing.st_mode) && !S_ISCHR(existing.st_mode) && !S_ISDIR(existing.st_mode))
            throw IoError(IoCause::NotAFile, 0, path);
    }
    const int fd
        = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd < 0) {
        // A named pipe without a reader, made after the check above.
        if (errno == ENXIO)
            throw IoError(IoCause::NotAFile, 0, path);
        fail(errno, path);
    }
    struct stat opened { };
    if (::fstat(fd, &opened) != 0 || (!S_ISREG(opened.st_mode) && !S_ISCHR(opened.st_mode)))
        failNotAFile(fd, path);
    restoreBlocking(fd);
    m_file = fd;
}

void OutputFile::writeAll(const char *data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(descriptor(m_file), data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            // Cut a partly written entry off again (not possible on pipes or devices).
            if (::ftruncate(descriptor(m_file), m_committed) != 0) { }
            fail(error, m_path);
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
}

void OutputFile::finish()
{
    flush();
    const int fd = descriptor(m_file);
    m_file = noFile;
    if (m_owned && fd >= 0 && ::close(fd) != 0)
        fail(errno, m_path);
}

void OutputFile::closeQuietly(FileHandle file) noexcept { ::close(descriptor(file)); }

} // namespace varnholt
