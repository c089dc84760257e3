#pragma once

// Scanning sixteen bytes at a time. On x86-64 (and any target with SSE2) one
// compare and one mask move answer for all sixteen; elsewhere the same
// functions look at the bytes one by one. Every function reads exactly the
// sixteen bytes at `p`, which must all be readable.
//
// Both ways are written out side by side, `portable::` on every target and
// `sse2::` where the target has SSE2; `blocks::` names the one the core uses.
// Defining VARNHOLT_PORTABLE_BLOCKS (the CMake option of that name) makes it
// the portable one on every target, so that it is built and tested on x86-64.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#include <emmintrin.h>
#define VARNHOLT_HAVE_SSE2 1
#endif

namespace varnholt::blocks {

inline constexpr std::size_t width = 16;

/// The characters of a decimal text among 16 bytes: bit k of each mask
/// says whether p[k] is of that kind.
struct DecimalClasses {
    std::uint32_t digit; ///< 0-9
    std::uint32_t zero; ///< 0
    std::uint32_t point; ///< .
    std::uint32_t exponent; ///< E or e
    std::uint32_t sign; ///< + or -
    std::uint32_t blank; ///< the blank
};

/// One byte at a time, for any target.
namespace portable {

    /// Bit k set where p[k] is `c`.
    inline unsigned equalMask(const char *p, char c) noexcept
    {
        unsigned bits = 0;
        for (unsigned k = 0; k < width; ++k)
            bits |= static_cast<unsigned>(p[k] == c) << k;
        return bits;
    }

    /// Bit k set where p[k] is `a`, `b` or `c`.
    inline unsigned equalMask(const char *p, char a, char b, char c) noexcept
    {
        unsigned bits = 0;
        for (unsigned k = 0; k < width; ++k)
            bits |= static_cast<unsigned>(p[k] == a || p[k] == b || p[k] == c) << k;
        return bits;
    }

    /// Bit k set where p[k] is a decimal digit.
    inline unsigned digitMask(const char *p) noexcept
    {
        unsigned bits = 0;
        for (unsigned k = 0; k < width; ++k)
            bits |= static_cast<unsigned>(p[k] >= '0' && p[k] <= '9') << k;
        return bits;
    }

    /// The checksum count of the sixteen bytes from the `skip`-th on (the first
    /// `skip`, at most 16, are left out): each digit its value, each "-" one.
    inline unsigned checksumCount(const char *p, unsigned skip = 0) noexcept
    {
        unsigned sum = 0;
        for (std::size_t k = skip; k < width; ++k) {
            const auto digit = static_cast<unsigned char>(p[k] - '0');
            sum += digit < 10 ? digit : static_cast<unsigned>(p[k] == '-');
        }
        return sum;
    }

    /// The kinds of the `size` (at most 16) characters at `p`; bytes from the
    /// size on count as none of the kinds, though all sixteen are read.
    inline DecimalClasses classifyDecimal(const char *p, std::size_t size) noexcept
    {
        DecimalClasses c {};
        for (unsigned k = 0; k < width; ++k) {
            const char b = k < size ? p[k] : '\0';
            const std::uint32_t bit = std::uint32_t { 1 } << k;
            c.digit |= b >= '0' && b <= '9' ? bit : 0;
            c.zero |= b == '0' ? bit : 0;
            c.point |= b == '.' ? bit : 0;
            c.exponent |= b == 'E' || b == 'e' ? bit : 0;
            c.sign |= b == '+' || b == '-' ? bit : 0;
            c.blank |= b == ' ' ? bit : 0;
        }
        return c;
    }

} // namespace portable

#ifdef VARNHOLT_HAVE_SSE2

/// The same functions, sixteen bytes per instruction; each answers exactly as
/// its namesake in `portable::`.
namespace sse2 {

    namespace detail {
        inline __m128i load(const char *p) noexcept
        {
            return _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        }
        inline unsigned mask(__m128i bytes) noexcept
        {
            return static_cast<unsigned>(_mm_movemask_epi8(bytes));
        }
        // All ones in the bytes that are decimal digits, given each byte less '0':
        // unsigned, a digit's is at most 9.
        inline __m128i isDigit(__m128i lessZero) noexcept
        {
            return _mm_cmpeq_epi8(_mm_min_epu8(lessZero, _mm_set1_epi8(9)), lessZero);
        }
    } // namespace detail

    inline unsigned equalMask(const char *p, char c) noexcept
    {
        return detail::mask(_mm_cmpeq_epi8(detail::load(p), _mm_set1_epi8(c)));
    }

    inline unsigned equalMask(const char *p, char a, char b, char c) noexcept
    {
        const __m128i bytes = detail::load(p);
        return detail::mask(_mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(a)),
                                             _mm_cmpeq_epi8(bytes, _mm_set1_epi8(b))),
            _mm_cmpeq_epi8(bytes, _mm_set1_epi8(c))));
    }

    inline unsigned digitMask(const char *p) noexcept
    {
        return detail::mask(detail::isDigit(_mm_sub_epi8(detail::load(p), _mm_set1_epi8('0'))));
    }

    inline unsigned checksumCount(const char *p, unsigned skip = 0) noexcept
    {
        const __m128i bytes = detail::load(p);
        const __m128i value = _mm_sub_epi8(bytes, _mm_set1_epi8('0'));
        const __m128i digits = detail::isDigit(value);
        const __m128i isMinus = _mm_cmpeq_epi8(bytes, _mm_set1_epi8('-'));
        const __m128i position
            = _mm_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
        const __m128i counted = _mm_cmpgt_epi8(
            position, _mm_set1_epi8(static_cast<char>(static_cast<int>(skip) - 1)));
        const __m128i counts = _mm_and_si128(
            _mm_or_si128(_mm_and_si128(value, digits), _mm_and_si128(isMinus, _mm_set1_epi8(1))),
            counted);
        const __m128i sums = _mm_sad_epu8(counts, _mm_setzero_si128());
        return static_cast<unsigned>(_mm_cvtsi128_si32(sums))
            + static_cast<unsigned>(_mm_cvtsi128_si32(_mm_srli_si128(sums, 8)));
    }

    inline DecimalClasses classifyDecimal(const char *p, std::size_t size) noexcept
    {
        const __m128i position
            = _mm_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
        const __m128i inText = _mm_cmplt_epi8(position, _mm_set1_epi8(static_cast<char>(size)));
        const __m128i bytes = _mm_and_si128(detail::load(p), inText);
        const __m128i value = _mm_sub_epi8(bytes, _mm_set1_epi8('0'));
        const auto is = [&bytes](char c) { return _mm_cmpeq_epi8(bytes, _mm_set1_epi8(c)); };
        return {
            detail::mask(detail::isDigit(value)),
            detail::mask(is('0')),
            detail::mask(is('.')),
            detail::mask(
                _mm_cmpeq_epi8(_mm_or_si128(bytes, _mm_set1_epi8(0x20)), _mm_set1_epi8('e'))),
            detail::mask(_mm_or_si128(is('+'), is('-'))),
            detail::mask(is(' ')),
        };
    }

} // namespace sse2

#endif

#if defined(VARNHOLT_HAVE_SSE2) && !defined(VARNHOLT_PORTABLE_BLOCKS)
using sse2::checksumCount;
using sse2::classifyDecimal;
using sse2::digitMask;
using sse2::equalMask;
#else
using portable::checksumCount;
using portable::classifyDecimal;
using portable::digitMask;
using portable::equalMask;
#endif

/// Copies `count` characters, at most 16, in two fixed-size and possibly
/// overlapping moves rather than a call to memcpy.
inline void copyShort(char *out, const char *in, std::size_t count) noexcept
{
    if (count >= 8) {
        std::memcpy(out, in, 8);
        std::memcpy(out + count - 8, in + count - 8, 8);
    } else if (count >= 4) {
        std::memcpy(out, in, 4);
        std::memcpy(out + count - 4, in + count - 4, 4);
    } else if (count > 0) {
        out[0] = in[0];
        out[count / 2] = in[count / 2];
        out[count - 1] = in[count - 1];
    }
}

/// The position of the lowest set bit of a non-zero mask.
inline std::size_t firstBit(unsigned bits) noexcept
{
    return static_cast<std::size_t>(std::countr_zero(bits));
}

} // namespace varnholt::blocks
