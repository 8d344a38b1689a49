// The match finder of the -lh5- compressor.  For a position it finds the
// longest earlier match of up to 256 bytes among the 8191 positions before
// it, and among equally long ones the nearest.  That choice is part of
// what fixes the compressed bytes, so the search is exhaustive: there is no
// chain limit and no "good enough" length.  Lengths are compared on the
// window as it stands, bytes beyond the end of the input included; the
// encoder cuts a match to the real input only afterwards.
//
// Positions are kept in hash chains of their first three bytes, newest
// first; a chain holds every position with that hash, so no match of three
// bytes or more is missed.  The walk keeps a candidate only when it is
// strictly longer than the best so far, which leaves the nearest of equals.
// Three facts keep the walk short without changing its result:
//  - After a best match of length L < 256 at distance D, no distance from
//    D + 1 to L + 1 gives a longer match.  (The L + D bytes from the match's
//    source on have period D; a longer match at such a distance D' would
//    give them period D' too, hence period gcd(D, D'), and that would make
//    the byte after the match equal its source's.)
//  - A longer match agrees with the current position in every three bytes
//    of its first L + 1, so the walk may go on in the chain of any of them:
//    it takes the three that hold the last change of byte, whose chain is
//    short where the first one is long (runs, repeated rows).
//  - A search whose position starts with a run needs only the ends of the
//    earlier runs of that byte, one chain step a run; so the inside of runs
//    is never entered into the chains at all.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>

#include "lha/CommonPrefix.h"
#include "lha/Lh5Window.h"
#include "lha/LhaRunState.h"

namespace varlin {

inline constexpr unsigned kHashBits = 15;

// The work areas of the match finder, taken once per run.  Chain entries
// are window positions; when the window slides they move down with it, and
// entries that fall out of it become 0, which is never within reach (the
// current position is at least 8192).
struct MatchChainArrays {
    uint8_t text[kWindowSize + kCommonPrefixOverread];  // the window, then zeros for word-wise comparisons
    uint16_t head[1U << kHashBits];                     // the newest position of each hash
    uint16_t prev[DICT_SIZE];  // for position p, at p mod 8192: the next older position of its hash
};

class MatchFinder {
public:
    // Takes the work areas unless they are held; false when memory is short.
    bool AllocateWorkAreas(const WorkAreaGate& gate);
    void ReleaseWorkAreas();

    // Empty chains and a zeroed window, for a new member.
    void Start();

    uint8_t* Text() { return arrays[0].text; }

    // The window has just slid down by DICT_SIZE.
    void SlideWindow();

    // Enters position `pos` into its chain.  Positions are entered in order:
    // those the parse skips (inside a match) with Insert, the others with
    // Find.  Insert leaves out the inside of runs, positions with the same
    // byte before them and four times from them on.
    void Insert(unsigned pos) { Insert(pos, 1); }

    // Enters the `count` positions from `first` on, as Insert does.
    void Insert(unsigned first, unsigned count)
    {
        MatchChainArrays& a = arrays[0];
        for (unsigned pos = first; pos < first + count; ++pos) {
            const uint8_t* at = a.text + pos;
            if (std::memcmp(at - 1, at, 4) != 0) Enter(pos, Hash(at));
        }
    }

    // Enters position `pos` and returns its longest, nearest earlier match.
    Lh5Match Find(unsigned pos);

private:
    void Enter(unsigned pos, unsigned hash)
    {
        MatchChainArrays& a = arrays[0];
        a.prev[pos % DICT_SIZE] = a.head[hash];
        a.head[hash] = static_cast<uint16_t>(pos);
    }
    static unsigned Hash(const uint8_t* at)
    {
        uint32_t key;
        std::memcpy(&key, at, sizeof key);  // the three bytes and one more, which the shift drops
        key = std::endian::native == std::endian::little ? key << 8 : key >> 8;
        return (key * 2654435761U) >> (32 - kHashBits);
    }

    // The walk along the chains from `candidate`, keeping matches longer
    // than `best` no nearer than `nearest`.
    Lh5Match Walk(unsigned pos, unsigned reach, Lh5Match best, unsigned nearest, unsigned offset, unsigned candidate);
    Lh5Match FindInRun(unsigned pos, unsigned reach, unsigned run);
    static unsigned LastChange(const uint8_t* here, unsigned length);

    std::unique_ptr<MatchChainArrays[]> arrays;
    // The first window position that holds input: DICT_SIZE until the window
    // first slides.  A chain followed from a later byte of the string may
    // lead to a string that would start before it.
    unsigned inputStart = DICT_SIZE;
};

}  // namespace varlin
