#include "row_columns.h"

#include "byte_blocks.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace varnholt {

namespace {

    template <class Row> constexpr bool isPadded = std::is_same_v<Row, PaddedText>;

    static_assert(PaddedText::padding >= 64, "the comma scan reads 64 bytes at a time");

    // Bit k set where character base + k of `row` is a comma, for the (up to)
    // 64 characters from `base`, which must lie inside the row. A padded row
    // is read where it stands, the 64 bytes from `base` included.
    template <class Row> std::uint64_t commaMask(Row row, std::size_t base) noexcept
    {
        const std::size_t left = row.size() - base;
        const char *p = row.data() + base;
        // Without room behind the row, its last piece is scanned from a copy.
        std::array<char, 64> tail;
        if (!isPadded<Row> && left < tail.size()) {
            tail.fill('\0');
            std::memcpy(tail.data(), p, left);
            p = tail.data();
        }
        const std::uint64_t mask = std::uint64_t { blocks::equalMask(p, ',') }
            | std::uint64_t { blocks::equalMask(p + 16, ',') } << 16
            | std::uint64_t { blocks::equalMask(p + 32, ',') } << 32
            | std::uint64_t { blocks::equalMask(p + 48, ',') } << 48;
        const std::uint64_t inRow
            = left >= 64 ? ~std::uint64_t { 0 } : (std::uint64_t { 1 } << left) - 1;
        return mask & inRow;
    }

    // The positions of the first commas of `row`, up to as many as `commas`
    // holds; returns how many there are. The row is taken 64 characters at a
    // time as a bit mask of its commas; the positions are read off the set
    // bits in a loop of fixed length, which keeps branches predictable.
    template <class Row, std::size_t N>
    std::size_t findCommas(Row row, std::array<std::size_t, N> &commas) noexcept
    {
        if (row.empty())
            return 0;
        std::size_t base = 0;
        std::uint64_t mask = commaMask(row, base);
        for (std::size_t k = 0; k < N; ++k) {
            while (mask == 0) {
                base += 64;
                if (base >= row.size())
                    return k;
                mask = commaMask(row, base);
            }
            commas[k] = base + static_cast<std::size_t>(std::countr_zero(mask));
            mask &= mask - 1;
        }
        return N;
    }

} // namespace

template <class Row> std::size_t RowColumns::splitAny(Row row)
{
    std::array<std::size_t, count> commas; // filled up to `found` below
    const std::size_t found = findCommas(row, commas);
    if (found < count - 1)
        return found + 1;
    if (found == count - 1)
        commas[count - 1] = row.size();

    if (m_row.size() < row.size() + PaddedText::padding)
        m_row.resize(row.size() + PaddedText::padding);
    std::copy(row.data(), row.data() + row.size(), m_row.begin());
    const char *kept = m_row.data();
    std::size_t start = 0;
    for (std::size_t k = 0; k < count; ++k) {
        m_columns[k] = PaddedText(std::string_view(kept + start, commas[k] - start));
        start = commas[k] + 1;
    }
    return count;
}

std::size_t RowColumns::split(std::string_view row) { return splitAny(row); }

void RowColumns::fill(const Texts &texts)
{
    std::size_t size = texts.size() - 1; // the commas
    for (const std::string_view text : texts)
        size += text.size();
    if (m_row.size() < size + PaddedText::padding)
        m_row.resize(size + PaddedText::padding);
    char *out = m_row.data();
    for (std::size_t k = 0; k < count; ++k) {
        std::copy(texts[k].begin(), texts[k].end(), out);
        m_columns[k] = PaddedText(std::string_view(out, texts[k].size()));
        out += texts[k].size();
        if (k + 1 < count)
            *out++ = ',';
    }
}

std::size_t RowColumns::split(PaddedText row) { return splitAny(row); }

} // namespace varnholt
