#include "lha/MatchFinder.h"

#include <algorithm>

namespace varlin {

bool MatchFinder::AllocateWorkAreas(const WorkAreaGate& gate)
{
    if (!arrays) arrays = AllocateWorkArea<MatchChainArrays>(gate, 1);
    return arrays != nullptr;
}

void MatchFinder::ReleaseWorkAreas() { arrays.reset(); }

void MatchFinder::Start()
{
    MatchChainArrays& a = arrays[0];
    // Bytes beyond the end of the input take part in comparisons near the
    // end of the file (matches are cut to the real input afterwards); zero
    // makes them the same on every run.
    std::fill(std::begin(a.text), std::end(a.text), uint8_t{0});
    std::fill(std::begin(a.head), std::end(a.head), uint16_t{0});
    inputStart = DICT_SIZE;
}

void MatchFinder::SlideWindow()
{
    MatchChainArrays& a = arrays[0];
    auto slide = [](uint16_t& entry) { entry = static_cast<uint16_t>(entry > DICT_SIZE ? entry - DICT_SIZE : 0); };
    std::for_each(std::begin(a.head), std::end(a.head), slide);
    std::for_each(std::begin(a.prev), std::end(a.prev), slide);
    inputStart = 0;
}

// Where the last stretch of one byte in here[0..length] starts (0 when
// that is all one byte): the three bytes ending there hold a change of byte.
unsigned MatchFinder::LastChange(const uint8_t* here, unsigned length)
{
    return length + 1 - RunBefore(here + length + 1, here[length], length + 1);
}

Lh5Match MatchFinder::Walk(unsigned pos, unsigned reach, Lh5Match best, unsigned nearest, unsigned offset,
                           unsigned candidate)
{
    MatchChainArrays& a = arrays[0];
    const uint8_t* here = a.text + pos;
    for (;;) {
        // The candidate entry stands for the string `offset` bytes before it.
        const unsigned distance = pos + offset - candidate;
        if (distance > reach) break;  // chains run newest first: the rest is out of reach too
        if (distance >= nearest) {
            const uint8_t* there = here - distance;
            if (there[best.length] == here[best.length]) {
                const unsigned length = CommonPrefix(here, there, 0, MAX_MATCH);
                if (length > best.length) {
                    best = {length, distance};
                    if (length == MAX_MATCH) break;
                    nearest = std::max(distance + 1, length + 2);
                    if (nearest > reach) break;
                    // Go on in the chain of three bytes of here[0..length]
                    // that hold a change of byte.
                    const unsigned change = LastChange(here, length);
                    offset = change >= 2 ? change - 2 : 0;
                    candidate = a.head[Hash(here + offset)];
                    continue;
                }
            }
        }
        candidate = a.prev[candidate % DICT_SIZE];
    }
    return best;
}

// Here starts with `run` equal bytes b (3 to 256).  A match longer than
// the run must also take the byte after it, so it is in the chain of the
// run's last two bytes and that byte.  Failing one, the match is as long as
// the run at the end of the nearest earlier run at least as long, or else
// as long as the longest earlier run, at its start; the runs are found in
// the chain of three b's, one step a run.
Lh5Match MatchFinder::FindInRun(unsigned pos, unsigned reach, unsigned run)
{
    MatchChainArrays& a = arrays[0];
    const uint8_t* here = a.text + pos;
    if (run < MAX_MATCH) {
        const unsigned offset = run - 2;
        const Lh5Match longer = Walk(pos, reach, {run, 0}, run + 1, offset, a.head[Hash(here + offset)]);
        if (longer.length > run) return longer;
    }
    const uint8_t b = here[0];
    if (reach > 0 && here[-1] == b) return {run, 1};

    Lh5Match best{MIN_MATCH - 1, 0};
    unsigned entry = a.prev[pos % DICT_SIZE];
    for (;;) {
        const unsigned distance = pos - entry;
        if (distance > reach) break;
        const uint8_t* at = a.text + entry;
        if (at[0] != b || at[1] != b || at[2] != b) {  // another string of the same hash
            entry = a.prev[entry % DICT_SIZE];
            continue;
        }
        // The newest entry of a run is three bytes before its end.
        const unsigned end = entry + 3;
        const unsigned floor = std::max(end - std::min(end, run), pos - reach);
        const unsigned start = entry - RunBefore(at, b, entry - floor);
        if (end - start == run) return {run, pos - (end - run)};
        if (end - start > best.length) best = {end - start, pos - start};
        if (start == pos - reach) break;
        entry = a.prev[start % DICT_SIZE];  // the newest entry of the run before
    }
    return best.length >= MIN_MATCH ? best : Lh5Match{};
}

Lh5Match MatchFinder::Find(unsigned pos)
{
    MatchChainArrays& a = arrays[0];
    const uint8_t* here = a.text + pos;
    const unsigned h = Hash(here);
    const unsigned newest = a.head[h];
    Enter(pos, h);

    const unsigned reach = std::min(DICT_SIZE - 1, pos - inputStart);
    const unsigned run = 1 + CommonPrefix(here + 1, here, 0, MAX_MATCH - 1);
    if (run >= MIN_MATCH) return FindInRun(pos, reach, run);
    const Lh5Match best = Walk(pos, reach, {MIN_MATCH - 1, 0}, 1, 0, newest);
    return best.length >= MIN_MATCH ? best : Lh5Match{};
}

}  // namespace varlin
