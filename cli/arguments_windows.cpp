#include "arguments.h"
#include "wide_text.h"

#include <algorithm>
#include <memory>
#include <string_view>

// shellapi.h uses what windows.h declares.
#include <windows.h>
// clang-format off
#include <shellapi.h>
// clang-format on

namespace varnholt {

namespace {

    /// What ends a folder in a path: both separators and a drive letter's colon.
    constexpr const wchar_t *folderEnds = L"\\/:";

    struct FindCloser {
        void operator()(HANDLE find) const noexcept { ::FindClose(find); }
    };

    /// The files `pattern` matches, with the pattern's folder in front, in
    /// name order regardless of letter case; empty when none does.
    std::vector<std::wstring> matchingFiles(const std::wstring &pattern)
    {
        const std::size_t nameStart = pattern.find_last_of(folderEnds) + 1;
        const std::wstring folder = pattern.substr(0, nameStart);
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW found {};
        HANDLE first = ::FindFirstFileW(pattern.c_str(), &found);
        if (first == INVALID_HANDLE_VALUE)
            return names;
        const std::unique_ptr<void, FindCloser> find(first);
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
                names.push_back(folder + found.cFileName);
        } while (::FindNextFileW(find.get(), &found));
        std::sort(names.begin(), names.end(), [](const std::wstring &a, const std::wstring &b) {
            return ::CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_LESS_THAN;
        });
        return names;
    }

    struct LocalFreer {
        void operator()(wchar_t **memory) const noexcept { ::LocalFree(memory); }
    };

} // namespace

// The narrow argv holds the arguments in the system's code page, which cannot
// name every file; the wide command line can.
std::vector<std::string> commandLineArguments(int, char **)
{
    int count = 0;
    const std::unique_ptr<wchar_t *, LocalFreer> wide(
        ::CommandLineToArgvW(::GetCommandLineW(), &count));
    std::vector<std::string> arguments;
    if (!wide)
        return arguments;
    for (int i = 1; i < count; ++i) {
        const std::wstring argument = wide.get()[i];
        const std::size_t nameStart = argument.find_last_of(folderEnds) + 1;
        const bool pattern = argument.find_first_of(L"*?", nameStart) != std::wstring::npos;
        const std::vector<std::wstring> files
            = pattern ? matchingFiles(argument) : std::vector<std::wstring> {};
        if (files.empty()) {
            arguments.push_back(utf8Text(argument));
            continue;
        }
        for (const std::wstring &file : files)
            arguments.push_back(utf8Text(file));
    }
    return arguments;
}

} // namespace varnholt
