#include "application_rules.h"

#include "window_design.h"

namespace varnholt {

std::string asciiLowerCase(std::string_view text)
{
    std::string lower(text);
    for (char &c : lower) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

std::string applicationTitleFor(std::string_view programPath, LowerCase lowerCase)
{
    const std::size_t folderEnd = programPath.find_last_of("/\\");
    const std::string_view fileName
        = folderEnd == std::string_view::npos ? programPath : programPath.substr(folderEnd + 1);
    const std::string_view stem = fileName.substr(0, fileName.find('.'));
    if (stem.empty())
        return {};
    // UTF-8 continuation bytes are 10xxxxxx.
    std::size_t firstEnd = 1;
    while (firstEnd < stem.size() && (static_cast<unsigned char>(stem[firstEnd]) & 0xC0U) == 0x80U)
        ++firstEnd;
    return std::string(stem.substr(0, firstEnd)) + lowerCase(stem.substr(firstEnd));
}

std::string withClosingFullStop(std::string_view message)
{
    std::string text(message);
    // Compared as an unsigned code, so that characters above 127 also count as above 46.
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.')
        text += '.';
    return text;
}

std::string errorBoxText(const std::exception_ptr &error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::exception &thrown) {
        return withClosingFullStop(thrown.what());
    } catch (...) {
        return withClosingFullStop(unexpectedErrorMessage);
    }
}

bool isLoadableFileName(std::string_view path)
{
    const std::size_t folderEnd = path.find_last_of("/\\");
    const std::string_view name
        = folderEnd == std::string_view::npos ? path : path.substr(folderEnd + 1);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos)
        return false;
    const std::string suffix = asciiLowerCase(name.substr(dot + 1));
    return suffix == "csv" || suffix == "txt" || suffix == "json";
}

} // namespace varnholt
