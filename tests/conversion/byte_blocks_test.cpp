#include "byte_blocks.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace varnholt {
namespace {

    using Block = std::array<char, blocks::width>;

    // Copying any count up to sixteen writes exactly those bytes, whichever of
    // the overlapping moves it takes.
    TEST(ByteBlocks, CopyShortCopiesExactlyTheCount)
    {
        const std::string source = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
        for (std::size_t count = 0; count <= blocks::width; ++count) {
            std::string out(blocks::width + 4, '#');
            blocks::copyShort(out.data() + 2, source.data() + 3, count);
            const std::string expected
                = "##" + source.substr(3, count) + std::string(blocks::width + 2 - count, '#');
            EXPECT_EQ(out, expected) << "count " << count;
        }
    }

    // The core scans with what the build asked for: the SSE2 one, or the
    // byte-by-byte one when VARNHOLT_PORTABLE_BLOCKS is on or SSE2 is missing.
    TEST(ByteBlocks, TheCoreUsesTheScanTheBuildChose)
    {
#ifdef VARNHOLT_HAVE_SSE2
        const bool portable = VARNHOLT_EXPECT_PORTABLE_BLOCKS;
#else
        const bool portable = true;
#endif
        using OneByte = unsigned (*)(const char *, char) noexcept;
        using ThreeBytes = unsigned (*)(const char *, char, char, char) noexcept;
        EXPECT_EQ(static_cast<OneByte>(&blocks::equalMask)
                == static_cast<OneByte>(&blocks::portable::equalMask),
            portable);
        EXPECT_EQ(static_cast<ThreeBytes>(&blocks::equalMask)
                == static_cast<ThreeBytes>(&blocks::portable::equalMask),
            portable);
        EXPECT_EQ(&blocks::digitMask == &blocks::portable::digitMask, portable);
        EXPECT_EQ(&blocks::checksumCount == &blocks::portable::checksumCount, portable);
        EXPECT_EQ(&blocks::classifyDecimal == &blocks::portable::classifyDecimal, portable);
    }

#ifdef VARNHOLT_HAVE_SSE2

    // The bytes the core looks for or must tell apart: line ends, the end of
    // text, the comma, the characters of a number, the neighbours of the
    // digits, and bytes with the top bit set, where a signed compare or a
    // subtraction that wraps would go wrong.
    const std::vector<char> edgeBytes = [] {
        std::vector<char> bytes { '\0', '\n', '\r', '\x1a', ',', ' ', '-', '+', '.', 'E', 'e', '/',
            ':', '\x7f', '\x80', '\xff', '\xb0', '\xb9', '\xc5', '\xe5' };
        for (char digit = '0'; digit <= '9'; ++digit)
            bytes.push_back(digit);
        return bytes;
    }();

    std::string hex(const Block &block)
    {
        std::string text;
        for (char c : block) {
            char two[3];
            std::snprintf(two, sizeof two, "%02x", static_cast<unsigned char>(c));
            text += two;
        }
        return text;
    }

    std::string shownByte(char c) { return std::to_string(static_cast<unsigned char>(c)); }

    bool operator==(const blocks::DecimalClasses &a, const blocks::DecimalClasses &b)
    {
        return a.digit == b.digit && a.zero == b.zero && a.point == b.point
            && a.exponent == b.exponent && a.sign == b.sign && a.blank == b.blank;
    }

    /// `bits` is non-zero: firstBit names a byte `isWanted` accepts, and no
    /// byte before it is one.
    template <typename Wanted>
    void expectFirstBitFinds(const Block &block, unsigned bits, Wanted isWanted)
    {
        const std::size_t first = blocks::firstBit(bits);
        bool earlier = false;
        for (std::size_t k = 0; k < first && k < block.size(); ++k)
            earlier = earlier || isWanted(block[k]);
        if (first >= block.size() || !isWanted(block[first]) || earlier)
            ADD_FAILURE() << "firstBit(" << bits << ") is " << first << " in block " << hex(block);
    }

    /// Both scans give the same answer for every function, each needle in
    /// `needles` and each triple in `triples`, every skip and every size.
    void expectSameAnswers(const Block &block,
        const std::vector<char> &needles,
        const std::vector<std::array<char, 3>> &triples)
    {
        namespace plain = blocks::portable;
        namespace fast = blocks::sse2;
        const char *p = block.data();
        for (char c : needles) {
            const unsigned bits = plain::equalMask(p, c);
            if (fast::equalMask(p, c) != bits)
                ADD_FAILURE() << "equalMask(" << shownByte(c) << ") " << hex(block) << ": "
                              << fast::equalMask(p, c) << " / " << bits;
            if (bits != 0)
                expectFirstBitFinds(block, bits, [c](char b) { return b == c; });
        }
        for (const std::array<char, 3> &abc : triples) {
            const auto [a, b, c] = abc;
            const unsigned bits = plain::equalMask(p, a, b, c);
            if (fast::equalMask(p, a, b, c) != bits)
                ADD_FAILURE() << "equalMask(" << shownByte(a) << ", " << shownByte(b) << ", "
                              << shownByte(c) << ") " << hex(block) << ": "
                              << fast::equalMask(p, a, b, c) << " / " << bits;
            if (bits != 0)
                expectFirstBitFinds(block, bits,
                    [&abc](char x) { return std::find(abc.begin(), abc.end(), x) != abc.end(); });
        }
        if (fast::digitMask(p) != plain::digitMask(p))
            ADD_FAILURE() << "digitMask " << hex(block) << ": " << fast::digitMask(p) << " / "
                          << plain::digitMask(p);
        for (unsigned skip = 0; skip <= blocks::width; ++skip)
            if (fast::checksumCount(p, skip) != plain::checksumCount(p, skip))
                ADD_FAILURE() << "checksumCount skipping " << skip << " " << hex(block) << ": "
                              << fast::checksumCount(p, skip) << " / "
                              << plain::checksumCount(p, skip);
        for (std::size_t size = 0; size <= blocks::width; ++size)
            if (!(fast::classifyDecimal(p, size) == plain::classifyDecimal(p, size)))
                ADD_FAILURE() << "classifyDecimal of " << size << " " << hex(block);
    }

    const std::vector<std::array<char, 3>> edgeTriples {
        { '\n', '\r', '\x1a' }, // what the line reader looks for
        { ',', ',', ',' },
        { '\0', '\0', '\xff' },
        { '\x80', '0', '9' },
    };

    // Every byte value at every position: block j holds j + 17k at position k.
    TEST(ByteBlocks, ScansAgreeOnEveryByteAtEveryPosition)
    {
        std::vector<char> everyByte;
        for (int v = 0; v < 256; ++v)
            everyByte.push_back(static_cast<char>(v));
        for (int j = 0; j < 256 && !HasFailure(); ++j) {
            Block block;
            for (std::size_t k = 0; k < block.size(); ++k)
                block[k] = static_cast<char>((j + 17 * static_cast<int>(k)) & 0xff);
            expectSameAnswers(block, everyByte, edgeTriples);
        }
        for (char c : edgeBytes) {
            Block same;
            same.fill(c);
            expectSameAnswers(same, edgeBytes, edgeTriples);
        }
    }

    // Random blocks, half their bytes drawn from the edge bytes so that digits,
    // signs and line ends sit next to each other and to any other byte.
    TEST(ByteBlocks, ScansAgreeOnRandomBlocks)
    {
        std::mt19937 random(20261210);
        std::uniform_int_distribution<int> anyByte(0, 255);
        std::uniform_int_distribution<std::size_t> anyEdge(0, edgeBytes.size() - 1);
        std::uniform_int_distribution<std::size_t> anyPosition(0, blocks::width - 1);
        const auto draw = [&] {
            return random() % 2 ? edgeBytes[anyEdge(random)] : static_cast<char>(anyByte(random));
        };
        for (int n = 0; n < 20000 && !HasFailure(); ++n) {
            Block block;
            for (char &c : block)
                c = draw();
            std::vector<char> needles = edgeBytes;
            needles.push_back(block[anyPosition(random)]);
            needles.push_back(draw());
            std::vector<std::array<char, 3>> triples = edgeTriples;
            triples.push_back({ draw(), draw(), draw() });
            triples.push_back({ block[0], draw(), block[15] });
            expectSameAnswers(block, needles, triples);
        }
    }

#endif

} // namespace
} // namespace varnholt
