#include "file_io.h"

#include <algorithm>

// What the file layer does the same way on every system: line ends and the
// entry buffer.

namespace varnholt {

std::string withLineEnds(std::string_view text, std::string_view lineEnd)
{
    std::string ended;
    ended.reserve(text.size());
    std::size_t start = 0;
    for (std::size_t end = text.find('\n'); end != std::string_view::npos;
         start = end + 1, end = text.find('\n', start)) {
        ended.append(text.substr(start, end - start));
        ended.append(lineEnd);
    }
    ended.append(text.substr(start));
    return ended;
}

OutputFile::OutputFile(FileHandle file)
    : m_file(file)
    , m_buffer(entryBufferSize)
{
}

OutputFile::~OutputFile() { abandon(); }

void OutputFile::flush()
{
    if (m_used == 0)
        return;
    writeAll(m_buffer.data(), m_used);
    m_committed += static_cast<long long>(m_used);
    m_used = 0;
}

void OutputFile::abandon() noexcept
{
    if (m_file == noFile)
        return;
    try {
        flush();
    } catch (const IoError &) {
        // The error that ended the run is the one the user sees.
    }
    if (m_owned)
        closeQuietly(m_file);
    m_file = noFile;
}

} // namespace varnholt
