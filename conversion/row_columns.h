#pragma once

#include "padded_text.h"

#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

namespace varnholt {

/// A data row split at its commas, kept with room behind it: its columns are
/// padded texts into the copy kept here, which the number readers read where
/// they stand. Nothing is unquoted: a comma always separates.
class RowColumns {
public:
    /// The columns of a satellite row.
    static constexpr std::size_t count = 17;

    /// Splits `row` into `count` columns, the last running up to the next
    /// comma or the row's end, and keeps a copy of it. Returns how many
    /// columns the row has, at most `count`; for fewer, the row split before
    /// stays as it was.
    std::size_t split(std::string_view row);

    /// The same for a line with room behind it, which the comma scan reads
    /// where it stands.
    std::size_t split(PaddedText row);

    /// The texts of one row's columns, in column order.
    using Texts = std::array<std::string_view, count>;

    /// Keeps `texts` as the row split last, laid out as `split` keeps a row:
    /// one after the other with a comma between them, with room behind.
    /// For rows whose columns were read by name or from other forms.
    void fill(const Texts &texts);

    /// Column `n` (1 to `count`) of the row split last, valid until the next
    /// split; empty before the first.
    PaddedText operator[](std::size_t n) const noexcept { return m_columns[n - 1]; }

private:
    template <class Row> std::size_t splitAny(Row row);

    std::vector<char> m_row; // the row, then PaddedText::padding bytes more
    std::array<PaddedText, count> m_columns;
};

/// Whether a line holds only blanks, or nothing: such lines between rows are passed over.
inline bool isBlankRow(std::string_view row) noexcept
{
    return row.find_first_not_of(' ') == std::string_view::npos;
}

} // namespace varnholt
