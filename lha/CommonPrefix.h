// How far two byte strings agree, eight bytes at a time.  The match finder
// compares strings of up to 256 bytes at every position, and long equal
// stretches (runs, repeated rows of a bitmap) are the common case there.
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
            const unsigned bits = std::endian::native == std::endian::little ? std::countr_zero(diff)
                                                                             : std::countl_zero(diff);
            const unsigned at = i + bits / 8;
            return at < limit ? at : limit;
        }
    }
    return limit;
}

}  // namespace varlin
