#pragma once

#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

namespace varnholt {

class LineReader;
class PaddedCopy;
class RowColumns;

/// A text with room behind it: the `padding` bytes after its last character
/// may be read too, whatever they hold, so a reader may take sixteen or
/// sixty-four bytes at a time from anywhere in the text without a check
/// against its end.
///
/// Only the code that keeps such room makes one: the line reader (its lines),
/// the row splitter (the columns of the row it keeps) and PaddedCopy (copies
/// of any other texts). A reader that may take bytes past a text's end takes
/// a PaddedText; a bare std::string_view reaches it through a PaddedCopy.
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
    friend class PaddedCopy;
    friend class RowColumns;
};

/// Copies of bare texts, each with room behind it, in one buffer owned here:
/// the way a text that is not a line or a column reaches the number readers.
///
///     const PaddedCopy copy(text);
///     writeNdot(copy.text(), out);
///
/// The PaddedTexts handed out point into this object's buffer: they are valid
/// while it lives and until the next assign().
class PaddedCopy {
public:
    PaddedCopy() = default;

    /// A copy of `text`, which text() gives.
    explicit PaddedCopy(std::string_view text) { assign(std::span(&text, 1)); }

    /// Copies `texts` in place of what this held, reusing the buffer; the
    /// bytes behind each copy are NUL bytes.
    void assign(std::span<const std::string_view> texts)
    {
        std::size_t total = 0;
        for (std::string_view text : texts)
            total += text.size() + PaddedText::padding;
        m_bytes.assign(total, '\0');
        m_places.clear();
        std::size_t at = 0;
        for (std::string_view text : texts) {
            if (!text.empty())
                text.copy(m_bytes.data() + at, text.size());
            m_places.push_back({ at, text.size() });
            at += text.size() + PaddedText::padding;
        }
    }

    /// The copy of the i-th text assign() took last, counting from 0.
    PaddedText operator[](std::size_t i) const noexcept
    {
        return PaddedText(std::string_view(m_bytes.data() + m_places[i].begin, m_places[i].size));
    }

    /// The copy of the first text; the empty text when this holds none.
    PaddedText text() const noexcept { return m_places.empty() ? PaddedText() : (*this)[0]; }

private:
    struct Place {
        std::size_t begin;
        std::size_t size;
    };

    std::vector<char> m_bytes; // each text, then PaddedText::padding NUL bytes
    std::vector<Place> m_places;
};

} // namespace varnholt
