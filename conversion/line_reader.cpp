#include "line_reader.h"

#include "byte_blocks.h"
#include "errors.h"
#include "file_io.h"

#include <cstring>
#include <new>
#include <optional>

namespace varnholt {

namespace {
    constexpr char lineFeed = '\n';
    constexpr char carriageReturn = '\r';
    constexpr char endOfText = '\x1a';
    constexpr std::size_t bufferSize = std::size_t { 64 } * 1024;
} // namespace

LineReader::LineReader(FileHandle file)
    : m_file(file)
    , m_storage(bufferSize + linePadding)
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
    const std::size_t got = readSome(m_file, m_storage.data(), bufferSize);
    m_pos = 0;
    m_end = got;
    if (got == 0)
        m_eof = true;
    return got > 0;
}

std::string_view LineReader::peek(std::size_t count)
{
    if (m_file != noFile && !m_eof && m_end - m_pos < count) {
        // The unread bytes to the front, then reads until enough are there.
        std::memmove(m_storage.data(), m_data + m_pos, m_end - m_pos);
        m_end -= m_pos;
        m_pos = 0;
        while (m_end < count && m_end < bufferSize) {
            const std::size_t got = readSome(m_file, m_storage.data() + m_end, bufferSize - m_end);
            if (got == 0) {
                m_eof = true;
                break;
            }
            m_end += got;
        }
    }
    return std::string_view(m_data + m_pos, m_end - m_pos);
}

std::string_view LineReader::nextBytes()
{
    if (m_pos == m_end && !fill())
        return {};
    const std::string_view bytes(m_data + m_pos, m_end - m_pos);
    m_pos = m_end;
    return bytes;
}

bool LineReader::next(std::string_view &line)
{
    PaddedText padded;
    const bool read = next(padded);
    line = padded;
    return read;
}

bool LineReader::next(PaddedText &line)
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
    // carriage return except one right before the line feed. The scan stops
    // at the first of the three.
    const char *start = m_data + m_pos;
    const char *stop = m_data + m_end;
    const char *p = start;
    for (;;) {
        if (static_cast<std::size_t>(stop - p) < blocks::width) {
            while (p != stop && *p != lineFeed && *p != carriageReturn && *p != endOfText)
                ++p;
            break;
        }
        if (const unsigned bits = blocks::equalMask(p, lineFeed, carriageReturn, endOfText)) {
            p += blocks::firstBit(bits);
            break;
        }
        p += blocks::width;
    }
    std::optional<std::string_view> inMemory; // a whole line in bytes without room behind them
    if (p != stop) {
        const char *feed = p;
        if (*p == carriageReturn && p + 1 != stop && p[1] == lineFeed)
            feed = p + 1;
        if (*feed == lineFeed) {
            m_pos = static_cast<std::size_t>(feed + 1 - m_data);
            const std::string_view text(start, static_cast<std::size_t>(p - start));
            // A file's buffer has the room behind it; bytes in memory
            // may end anywhere, so their lines are copied below.
            if (m_file != noFile) {
                line = PaddedText(text);
                return true;
            }
            inMemory = text;
        }
    }

    try {
        line = PaddedText(inMemory ? keep(*inMemory) : readAcrossBuffers());
    } catch (const std::bad_alloc &) {
        m_line = std::string();
        throw ConversionError(outOfMemoryMessage(m_lineNumber), m_lineNumber);
    }
    return true;
}

std::string_view LineReader::readAcrossBuffers()
{
    // Byte by byte across buffer refills.
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
    // The room behind the line, as for lines in the buffer.
    const std::size_t length = m_line.size();
    m_line.append(linePadding, '\0');
    return std::string_view(m_line.data(), length);
}

std::string_view LineReader::keep(std::string_view line)
{
    m_line.assign(line);
    m_line.append(linePadding, '\0');
    return std::string_view(m_line.data(), line.size());
}

} // namespace varnholt
