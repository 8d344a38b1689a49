// How far two byte strings agree, and how far a run of one byte reaches,
// eight bytes at a time.  The match finder compares strings of up to 256
// bytes, and long equal stretches (runs, repeated rows of a bitmap) are the
// common case there.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace varlin {

// Bytes a comparison may read beyond `limit`: the last word starts below it.
inline constexpr unsigned kCommonPrefixOverread = 7;

// The first index from `from` on where a and b differ, or `limit` when they
// agree up to it.  Reads up to kCommonPrefixOverread bytes past limit.
inline unsigned CommonPrefix(const uint8_t* a, const uint8_t* b, unsigned from, unsigned limit)
{
    for (unsigned i = from; i < limit; i += 8) {
        uint64_t x;
        uint64_t y;
        std::memcpy(&x, a + i, sizeof x);
        std::memcpy(&y, b + i, sizeof y);
        if (x != y) {
            // The first differing byte is the lowest one in memory order.
            const uint64_t diff = x ^ y;
            const unsigned bits =
                std::endian::native == std::endian::little ? std::countr_zero(diff) : std::countl_zero(diff);
            const unsigned at = i + bits / 8;
            return at < limit ? at : limit;
        }
    }
    return limit;
}

// How many of the bytes just before `end` equal `b`, at most `limit`.
// Reads nothing before end - limit.
inline unsigned RunBefore(const uint8_t* end, uint8_t b, unsigned limit)
{
    const uint64_t pattern = b * 0x0101010101010101ULL;
    unsigned count = 0;
    for (; count + 8 <= limit; count += 8) {
        uint64_t x;
        std::memcpy(&x, end - count - 8, sizeof x);
        if (x != pattern) {
            // The last differing byte is the highest one in memory order.
            const uint64_t diff = x ^ pattern;
            const unsigned bits =
                std::endian::native == std::endian::little ? std::countl_zero(diff) : std::countr_zero(diff);
            return count + bits / 8;
        }
    }
    while (count < limit && end[-1 - static_cast<int>(count)] == b) ++count;
    return count;
}

}  // namespace varlin
