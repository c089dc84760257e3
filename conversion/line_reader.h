#pragma once

#include "file_io.h"
#include "padded_text.h"

#include <string>
#include <string_view>
#include <vector>

namespace varnholt {

/// Reads a text file line by line, streaming, by these rules:
/// - a line ends at a line feed; a carriage return anywhere is dropped, so
///   CR LF ends a line and a lone CR neither ends a line nor stays in it;
/// - the end of the input ends the last line, with or without a line end;
/// - character 26 ends the text: at the start of a line it ends the input;
///   inside a line it ends that line's text, and what follows is skipped up
///   to the line end, or up to a further character 26, which ends the input;
/// - lines of any length are read whole, bytes taken as they are.
class LineReader {
public:
    /// Reads from an open file, which stays owned by the caller.
    explicit LineReader(FileHandle file);
    /// Reads from bytes in memory, which must outlive the reader. Each line
    /// is copied, to have room behind it.
    explicit LineReader(std::string_view bytes);

    LineReader(const LineReader &) = delete;
    LineReader &operator=(const LineReader &) = delete;

    /// The next line, with room behind it, valid until the next call; false
    /// at the end of the input. Throws IoError when reading fails, and
    /// ConversionError "Not enough memory for line n" when a line does not
    /// fit in memory.
    bool next(PaddedText &line);

    /// The same, as a plain text.
    bool next(std::string_view &line);

    /// The number of the line returned last, counting from 1.
    int lineNumber() const noexcept { return m_lineNumber; }

    /// The bytes not yet read, at least `count` of them unless the input
    /// ends first or they would not fit the buffer (64 KiB), without taking
    /// them: the next call of any kind starts with them again. Valid until
    /// the next call. Throws IoError when reading fails.
    std::string_view peek(std::size_t count);

    /// The next bytes of the input as they stand, for a reader of another
    /// kind that takes over from here: the rest of the buffer, or the next
    /// buffer's worth; empty at the end of the input. No line rule applies
    /// to them. Valid until the next call. Throws IoError.
    std::string_view nextBytes();

private:
    static constexpr std::size_t linePadding = PaddedText::padding;

    bool fill();
    std::string_view readAcrossBuffers();
    std::string_view keep(std::string_view line);

    FileHandle m_file = noFile;
    std::vector<char> m_storage;
    const char *m_data = nullptr;
    std::size_t m_pos = 0;
    std::size_t m_end = 0;
    bool m_eof = false;
    bool m_ended = false;
    int m_lineNumber = 0;
    std::string m_line;
};

} // namespace varnholt
