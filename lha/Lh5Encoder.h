// The front half of the -lh5- compressor: a sliding-window parse of the
// input with a one-step lazy rule, handing literals and matches to the block
// coder.  It stops early once the block coder finds the stream would outgrow
// the input.
#pragma once

#include <cstddef>
#include <cstdint>

#include "lha/BlockCoder.h"
#include "lha/LhaRunState.h"
#include "lha/MatchFinder.h"

namespace varlin {

class Lh5Encoder {
public:
    Lh5Encoder(LhaRunState& run, Lh5BlockCoder& coder) : run(run), coder(coder) {}

    // Compresses the run's input stream into its archive stream.  False when
    // the work areas cannot be had.
    bool Encode();

    // Releases the trie and the block buffer.
    void ReleaseWorkAreas();

private:
    size_t ReadInput(uint8_t* into, size_t size);
    void AdvancePosition();
    void CutMatchToInput()
    {
        if (finder.matchLength > remaining) finder.matchLength = remaining;
    }

    LhaRunState& run;
    Lh5BlockCoder& coder;
    MatchFinder finder;
    unsigned remaining = 0;  // look-ahead bytes that hold real input
};

}  // namespace varlin
