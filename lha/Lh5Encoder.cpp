#include "lha/Lh5Encoder.h"

#include <cstring>

namespace varlin {

size_t Lh5Encoder::ReadInput(uint8_t* into, size_t size)
{
    // A read error ends the input like the end of the file.
    const size_t got = std::fread(into, 1, size, run.input);
    run.CountInput(into, got);
    return got;
}

void Lh5Encoder::AdvancePosition()
{
    --remaining;
    if (++finder.pos == 2 * DICT_SIZE) {
        // Slide the window by a dictionary's length and fill the look-ahead.
        uint8_t* text = finder.Text();
        std::memmove(text, text + DICT_SIZE, kWindowFill);
        remaining += static_cast<unsigned>(ReadInput(text + kWindowFill, DICT_SIZE));
        finder.pos = DICT_SIZE;
        run.sink.WriteError(".");
    }
    finder.RemoveOldest();
    finder.FindMatch();
}

bool Lh5Encoder::Encode()
{
    if (!finder.AllocateTrie(run.workAreaGate)) return false;
    finder.InitTrie();
    if (!coder.StartBlockCoder()) return false;

    uint8_t* text = finder.Text();
    remaining = static_cast<unsigned>(ReadInput(text + DICT_SIZE, kWindowFill));
    finder.matchLength = 0;
    finder.pos = DICT_SIZE;
    finder.FindMatch();
    CutMatchToInput();

    while (remaining > 0 && !run.notCompressible) {
        unsigned lastMatchLength = finder.matchLength;
        const unsigned lastMatchPos = finder.matchPos;
        AdvancePosition();
        CutMatchToInput();
        if (finder.matchLength > lastMatchLength || lastMatchLength < MIN_MATCH) {
            coder.EmitSymbol(text[finder.pos - 1], 0);
        } else {
            // The previous position's match wins: it starts at pos - 1.
            coder.EmitSymbol(lastMatchLength + kMatchSymbolOffset,
                             (finder.pos - lastMatchPos - 2) & (DICT_SIZE - 1));
            while (--lastMatchLength > 0) AdvancePosition();
            CutMatchToInput();
        }
    }

    coder.FinishBlocks();
    coder.bits.Flush();
    return true;
}

void Lh5Encoder::ReleaseWorkAreas()
{
    finder.ReleaseTrie();
    coder.ReleaseBlockBuffer();
}

}  // namespace varlin
