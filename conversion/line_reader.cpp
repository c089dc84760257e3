#include "line_reader.h"

#include "file_io.h"

#include <cstring>

namespace varnholt {

namespace {
    constexpr char lineFeed = '\n';
    constexpr char carriageReturn = '\r';
    constexpr char endOfText = '\x1a';
    constexpr std::size_t bufferSize = std::size_t { 256 } * 1024;
} // namespace

LineReader::LineReader(int fd)
    : m_fd(fd)
    , m_storage(bufferSize)
    , m_data(m_storage.data())
{
}

LineReader::LineReader(std::string_view bytes)
    : m_data(bytes.data())
    , m_end(bytes.size())
    , m_eof(true)
{
}

bool LineReader::fill()
{
    if (m_eof)
        return false;
    const std::size_t got = readSome(m_fd, m_storage.data(), m_storage.size());
    m_pos = 0;
    m_end = got;
    if (got == 0)
        m_eof = true;
    return got > 0;
}

bool LineReader::next(std::string_view &line)
{
    if (m_ended)
        return false;
    if (m_pos == m_end && !fill())
        return false;
    if (m_data[m_pos] == endOfText) {
        m_ended = true;
        return false;
    }
    ++m_lineNumber;

    // Fast path: the whole line is in the buffer, with no character 26 and no
    // carriage return except one right before the line feed.
    const char *start = m_data + m_pos;
    const std::size_t available = m_end - m_pos;
    if (const auto *feed = static_cast<const char *>(std::memchr(start, lineFeed, available))) {
        std::size_t length = static_cast<std::size_t>(feed - start);
        if (length > 0 && start[length - 1] == carriageReturn)
            --length;
        if (!std::memchr(start, carriageReturn, length) && !std::memchr(start, endOfText, length)) {
            line = std::string_view(start, length);
            m_pos += static_cast<std::size_t>(feed - start) + 1;
            return true;
        }
    }

    // General path, byte by byte across buffer refills.
    m_line.clear();
    bool skipping = false;
    for (;;) {
        if (m_pos == m_end && !fill())
            break;
        const char c = m_data[m_pos++];
        if (c == lineFeed)
            break;
        if (c == endOfText) {
            if (skipping) {
                m_ended = true;
                break;
            }
            skipping = true;
            continue;
        }
        if (!skipping && c != carriageReturn)
            m_line += c;
    }
    line = m_line;
    return true;
}

} // namespace varnholt
