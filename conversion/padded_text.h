#pragma once

#include <cstddef>
#include <string_view>

namespace varnholt {

class LineReader;
class RowColumns;

/// A text with room behind it: the `padding` bytes after its last character
/// may be read too, whatever they hold, so a reader may take sixteen or
/// sixty-four bytes at a time from anywhere in the text without a check
/// against its end.
///
/// Only the code that keeps such room makes one: the line reader (its lines)
/// and the row splitter (the columns of the row it keeps). Every other text
/// is a plain std::string_view, which the readers copy before taking more
/// bytes than it has.
class PaddedText {
public:
    /// Readable bytes after the text's end.
    static constexpr std::size_t padding = 64;

    /// The empty text, with room behind it.
    constexpr PaddedText() noexcept = default;

    constexpr std::string_view view() const noexcept { return m_text; }
    constexpr operator std::string_view() const noexcept { return m_text; }

    constexpr const char *data() const noexcept { return m_text.data(); }
    constexpr std::size_t size() const noexcept { return m_text.size(); }
    constexpr bool empty() const noexcept { return m_text.empty(); }

    /// Up to `count` characters from position `pos` (at most size()); what
    /// follows them, the rest of this text included, may be read as before.
    constexpr PaddedText substr(std::size_t pos, std::size_t count) const noexcept
    {
        const std::size_t from = pos < size() ? pos : size();
        const std::size_t left = size() - from;
        return PaddedText(m_text.substr(from, count < left ? count : left));
    }

private:
    static constexpr char nothing[padding] = {};

    // `text` must be followed by `padding` readable bytes.
    constexpr explicit PaddedText(std::string_view text) noexcept
        : m_text(text)
    {
    }

    std::string_view m_text { nothing, nothing }; // empty, with `nothing` behind it

    friend class LineReader;
    friend class RowColumns;
};

} // namespace varnholt
