#include "wide_text.h"

#include <climits>
#include <windows.h>

namespace varnholt {

std::wstring wideText(std::string_view text)
{
    if (text.empty() || text.size() > static_cast<std::size_t>(INT_MAX))
        return {};
    const int size = static_cast<int>(text.size());
    const int wideSize = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    if (wideSize <= 0)
        return {};
    std::wstring wide(static_cast<std::size_t>(wideSize), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), wideSize);
    return wide;
}

std::string utf8Text(std::wstring_view text)
{
    if (text.empty() || text.size() > static_cast<std::size_t>(INT_MAX))
        return {};
    const int size = static_cast<int>(text.size());
    const int bytes
        = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return {};
    std::string narrow(static_cast<std::size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, narrow.data(), bytes, nullptr, nullptr);
    return narrow;
}

} // namespace varnholt
