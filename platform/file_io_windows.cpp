#include "errors.h"
#include "file_io.h"
#include "wide_text.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <string_view>
#include <windows.h>

// The file layer on Windows: wide-character calls at the edge, UTF-8 paths
// inside. The error numbers are the system's own GetLastError() codes, which
// for the six named causes are the numbers the messages were made for.

namespace varnholt {

namespace {

    /// The most one ReadFile or WriteFile call is asked to move.
    constexpr std::size_t largestTransfer = std::size_t { 1 } << 30;

    HANDLE nativeHandle(FileHandle file) noexcept { return reinterpret_cast<HANDLE>(file); }

    FileHandle portableHandle(HANDLE handle) noexcept
    {
        return reinterpret_cast<FileHandle>(handle);
    }

    int errorNumber(DWORD code) noexcept
    {
        return code > static_cast<DWORD>(INT_MAX) ? INT_MAX : static_cast<int>(code);
    }

    [[noreturn]] void fail(DWORD code, const std::string &path)
    {
        const int number = errorNumber(code);
        throw IoError(ioCauseFor(number, path), number, path);
    }

    /// `path` as the wide-character text the system's calls take. Bytes that
    /// are not UTF-8 become U+FFFD, which names no file.
    std::wstring widePath(const std::string &path)
    {
        if (path.size() > static_cast<std::size_t>(INT_MAX))
            fail(ERROR_FILENAME_EXCED_RANGE, path);
        return wideText(path);
    }

    /// An open HANDLE, closed when it goes.
    class OwnedHandle {
    public:
        explicit OwnedHandle(HANDLE handle) noexcept
            : m_handle(handle)
        {
        }
        ~OwnedHandle()
        {
            if (valid())
                ::CloseHandle(m_handle);
        }
        OwnedHandle(const OwnedHandle &) = delete;
        OwnedHandle &operator=(const OwnedHandle &) = delete;

        bool valid() const noexcept { return m_handle != INVALID_HANDLE_VALUE; }
        HANDLE get() const noexcept { return m_handle; }
        HANDLE release() noexcept
        {
            HANDLE handle = m_handle;
            m_handle = INVALID_HANDLE_VALUE;
            return handle;
        }

    private:
        HANDLE m_handle;
    };

    /// True when `path` names a device rather than a file: "\\.\" in front,
    /// or a file name that is, up to its first "." and without trailing
    /// blanks, one of the names Windows keeps for devices in every folder.
    bool isDeviceName(std::string_view path)
    {
        if (path.starts_with("\\\\.\\") || path.starts_with("//./"))
            return true;
        const std::size_t nameStart = path.find_last_of(folderSeparators()) + 1;
        std::string_view name = path.substr(nameStart);
        name = name.substr(0, name.find('.'));
        name = name.substr(0, name.find_last_not_of(' ') + 1);
        std::string upper(name);
        for (char &c : upper)
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
        for (std::string_view device : { "CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$" })
            if (upper == device)
                return true;
        return upper.size() == 4 && (upper.starts_with("COM") || upper.starts_with("LPT"))
            && upper[3] >= '1' && upper[3] <= '9';
    }

    /// True when `handle` is a console rather than a file, pipe or device.
    bool isConsole(HANDLE handle) noexcept
    {
        DWORD mode = 0;
        return ::GetConsoleMode(handle, &mode) != 0;
    }

    /// The most UTF-16 units one WriteConsoleW call is asked to write.
    constexpr std::size_t largestConsoleWrite = 8192;

    /// Writes UTF-8 `text` to `console` as wide characters, which the console
    /// shows whatever its code page; throws IoError naming `path`.
    void writeConsole(HANDLE console, std::string_view text, const std::string &path)
    {
        const std::wstring wide = wideText(text);
        const wchar_t *data = wide.data();
        std::size_t size = wide.size();
        while (size > 0) {
            std::size_t chunk = std::min(size, largestConsoleWrite);
            // A letter beyond the first 65536 is two units, kept together.
            if (chunk < size && IS_HIGH_SURROGATE(data[chunk - 1]))
                --chunk;
            DWORD written = 0;
            if (!::WriteConsoleW(console, data, static_cast<DWORD>(chunk), &written, nullptr))
                fail(::GetLastError(), path);
            if (written == 0)
                fail(ERROR_WRITE_FAULT, path);
            data += written;
            size -= written;
        }
    }

    /// True for a file on a disk; false for a console, the NUL device, a
    /// serial port or a pipe.
    bool isDiskFile(HANDLE handle) noexcept { return ::GetFileType(handle) == FILE_TYPE_DISK; }

    struct FileIdentity {
        DWORD volume = 0;
        DWORD indexHigh = 0;
        DWORD indexLow = 0;
        friend bool operator==(const FileIdentity &, const FileIdentity &) = default;
    };

    bool identify(HANDLE handle, FileIdentity &identity) noexcept
    {
        BY_HANDLE_FILE_INFORMATION info {};
        if (!::GetFileInformationByHandle(handle, &info))
            return false;
        identity = { info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow };
        return true;
    }

} // namespace

IoCause ioCauseFor(int errorNumber, const std::string &)
{
    switch (errorNumber) {
    case ERROR_FILE_NOT_FOUND:
        return IoCause::FileNotFound;
    case ERROR_PATH_NOT_FOUND:
        return IoCause::PathNotFound;
    case ERROR_TOO_MANY_OPEN_FILES:
        return IoCause::TooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
        return IoCause::AccessDenied;
    case ERROR_SHARING_VIOLATION:
        return IoCause::FileInUse;
    case ERROR_DISK_FULL:
        return IoCause::DiskFull;
    default:
        return IoCause::Other;
    }
}

std::string_view folderSeparators() noexcept { return "\\/:"; }

FileHandle standardInput() noexcept { return portableHandle(::GetStdHandle(STD_INPUT_HANDLE)); }
FileHandle standardOutput() noexcept { return portableHandle(::GetStdHandle(STD_OUTPUT_HANDLE)); }
FileHandle standardError() noexcept { return portableHandle(::GetStdHandle(STD_ERROR_HANDLE)); }

// The conversion reads and writes the standard handles directly, so no line
// end is translated there; the C runtime's streams are set to bytes as well
// for anything else written through them.
void useBinaryStandardStreams() noexcept
{
    ::_setmode(::_fileno(stdin), _O_BINARY);
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
}

// Windows has no file-size signal; what it has is the box that asks the user
// to insert a disk, which would leave a run waiting for an answer.
void reportFileLimitsAsErrors() noexcept
{
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
}

void writeText(FileHandle file, std::string_view text)
{
    const char *data = text.data();
    std::size_t size = text.size();
    while (size > 0) {
        DWORD written = 0;
        const auto chunk = static_cast<DWORD>(std::min(size, largestTransfer));
        if (!::WriteFile(nativeHandle(file), data, chunk, &written, nullptr))
            fail(::GetLastError(), {});
        data += written;
        size -= written;
    }
}

std::string_view textLineEnd() noexcept { return "\r\n"; }

// A console shows bytes in its code page, an OEM one in the usual command
// prompt, where UTF-8 names would come out garbled; wide characters show as
// themselves.
void writeMessage(FileHandle stream, std::string_view text)
{
    const std::string ended = withLineEnds(text, textLineEnd());
    if (isConsole(nativeHandle(stream)))
        writeConsole(nativeHandle(stream), ended, {});
    else
        writeText(stream, ended);
}

std::size_t readSome(FileHandle file, char *buffer, std::size_t size)
{
    DWORD got = 0;
    const auto chunk = static_cast<DWORD>(std::min(size, largestTransfer));
    if (!::ReadFile(nativeHandle(file), buffer, chunk, &got, nullptr)) {
        const DWORD code = ::GetLastError();
        // The writing end of a pipe was closed: the end of the input.
        if (code == ERROR_BROKEN_PIPE)
            return 0;
        fail(code, {});
    }
    return got;
}

InputFile::InputFile(const std::string &path)
{
    if (isDeviceName(path))
        throw IoError(IoCause::NotAFile, 0, path);
    // Others may read the file while it is converted, but nobody may write
    // it: creating the output under another name of the same file fails.
    OwnedHandle file(::CreateFileW(widePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    // A folder does not open without FILE_FLAG_BACKUP_SEMANTICS: access denied.
    if (!file.valid())
        fail(::GetLastError(), path);
    if (!isDiskFile(file.get()))
        throw IoError(IoCause::NotAFile, 0, path);
    m_file = portableHandle(file.release());
}

InputFile::~InputFile()
{
    if (m_file != noFile)
        ::CloseHandle(nativeHandle(m_file));
}

void InputFile::close()
{
    HANDLE handle = nativeHandle(m_file);
    m_file = noFile;
    if (handle != INVALID_HANDLE_VALUE && !::CloseHandle(handle))
        fail(::GetLastError(), {});
}

OutputFile::OutputFile(const std::string &path, FileHandle inputFile)
    : m_owned(true)
    , m_path(path)
    , m_buffer(entryBufferSize)
{
    if (isDeviceName(path))
        throw IoError(IoCause::NotAFile, 0, path);
    const std::wstring wide = widePath(path);
    {
        // Whatever already has the name is looked at, not changed: opened
        // for no access at all, sharing everything.
        OwnedHandle existing(
            ::CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (existing.valid()) {
            FileIdentity input;
            FileIdentity output;
            if (identify(nativeHandle(inputFile), input) && identify(existing.get(), output)
                && input == output)
                throw IoError(IoCause::FileInUse);
            if (!isDiskFile(existing.get()))
                throw IoError(IoCause::NotAFile, 0, path);
        }
    }
    OwnedHandle file(::CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        fail(::GetLastError(), path);
    // A device name such as "CON.TLE" opens the device itself.
    if (!isDiskFile(file.get()))
        throw IoError(IoCause::NotAFile, 0, path);
    m_file = portableHandle(file.release());
}

void OutputFile::writeAll(const char *data, std::size_t size)
{
    // The TLE on standard output, shown in a console: whole entries, as
    // wide characters like the program's other text there.
    if (!m_owned && isConsole(nativeHandle(m_file))) {
        writeConsole(nativeHandle(m_file), std::string_view(data, size), m_path);
        return;
    }
    while (size > 0) {
        DWORD written = 0;
        const auto chunk = static_cast<DWORD>(std::min(size, largestTransfer));
        if (!::WriteFile(nativeHandle(m_file), data, chunk, &written, nullptr)) {
            const DWORD code = ::GetLastError();
            // Cut a partly written entry off again (not possible on pipes or devices).
            LARGE_INTEGER end {};
            end.QuadPart = m_committed;
            if (::SetFilePointerEx(nativeHandle(m_file), end, nullptr, FILE_BEGIN))
                ::SetEndOfFile(nativeHandle(m_file));
            fail(code, m_path);
        }
        data += written;
        size -= written;
    }
}

void OutputFile::finish()
{
    flush();
    HANDLE handle = nativeHandle(m_file);
    m_file = noFile;
    if (m_owned && handle != INVALID_HANDLE_VALUE && !::CloseHandle(handle))
        fail(::GetLastError(), m_path);
}

void OutputFile::closeQuietly(FileHandle file) noexcept { ::CloseHandle(nativeHandle(file)); }

} // namespace varnholt
