// The front half of the -lh5- compressor: a sliding-window parse of the
// input with a one-step lazy rule, handing literals and matches to the block
// coder.  It stops early once the block coder finds the stream would outgrow
// the input.
//
// The parse is written once for any match finder with MatchFinder's calls;
// the program uses MatchFinder, and tests hold it against slower finders
// that must give the same archives.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "lha/BlockCoder.h"
#include "lha/Lh5Window.h"
#include "lha/LhaRunState.h"
#include "lha/MatchFinder.h"

namespace varlin {

template <typename Finder>
class BasicLh5Encoder {
public:
    BasicLh5Encoder(LhaRunState& run, Lh5BlockCoder& coder) : run(run), coder(coder) {}

    // Compresses the run's input stream into its archive stream.  False when
    // the work areas cannot be had.
    bool Encode();

    // Releases the match finder's work areas and the block buffer.
    void ReleaseWorkAreas()
    {
        finder.ReleaseWorkAreas();
        coder.ReleaseBlockBuffer();
    }

private:
    size_t ReadInput(uint8_t* into, size_t size)
    {
        // A read error ends the input like the end of the file.
        const size_t got = std::fread(into, 1, size, run.input);
        run.CountInput(into, got);
        return got;
    }

    // One position on; at the end of the window it slides down by a
    // dictionary's length and the look-ahead is refilled.
    void Advance()
    {
        --remaining;
        if (++pos == 2 * DICT_SIZE) {
            uint8_t* text = finder.Text();
            std::memmove(text, text + DICT_SIZE, kWindowFill);
            remaining += static_cast<unsigned>(ReadInput(text + kWindowFill, DICT_SIZE));
            pos = DICT_SIZE;
            finder.SlideWindow();
            run.sink.WriteError(".");
        }
    }

    // Moves on by `count` positions, entering each.
    void EnterPositions(unsigned count)
    {
        const unsigned beforeSlide = std::min(count, 2 * DICT_SIZE - 1 - pos);
        finder.Insert(pos + 1, beforeSlide);
        pos += beforeSlide;
        remaining -= beforeSlide;
        for (unsigned i = beforeSlide; i < count; ++i) {
            Advance();
            finder.Insert(pos);
        }
    }

    // The match at the current position, cut to the real input (the
    // position was chosen by the uncut length).
    Lh5Match FindMatch()
    {
        Lh5Match match = finder.Find(pos);
        if (match.length > remaining) match.length = remaining;
        return match;
    }

    LhaRunState& run;
    Lh5BlockCoder& coder;
    Finder finder;
    unsigned pos = DICT_SIZE;
    unsigned remaining = 0;  // look-ahead bytes that hold real input
};

template <typename Finder>
bool BasicLh5Encoder<Finder>::Encode()
{
    if (!finder.AllocateWorkAreas(run.workAreaGate)) return false;
    finder.Start();
    if (!coder.StartBlockCoder()) return false;

    const uint8_t* text = finder.Text();
    remaining = static_cast<unsigned>(ReadInput(finder.Text() + DICT_SIZE, kWindowFill));
    pos = DICT_SIZE;
    Lh5Match match = FindMatch();

    while (remaining > 0 && !run.notCompressible) {
        const Lh5Match last = match;
        Advance();
        match = FindMatch();
        if (match.length > last.length || last.length < MIN_MATCH) {
            coder.EmitSymbol(text[pos - 1], 0);
        } else {
            // The previous position's match wins.  Only the position after
            // it is looked at again; those inside it are only entered.
            coder.EmitSymbol(last.length + kMatchSymbolOffset, last.distance - 1);
            EnterPositions(last.length - 2);
            Advance();
            match = FindMatch();
        }
    }

    coder.FinishBlocks();
    coder.bits.Flush();
    return true;
}

using Lh5Encoder = BasicLh5Encoder<MatchFinder>;
extern template class BasicLh5Encoder<MatchFinder>;

}  // namespace varlin
