// The back half of the -lh5- compressor: symbols are queued in a block
// buffer and, when it is full or the input has ended, coded with static
// Huffman codes built for that block.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "lha/BitWriter.h"
#include "lha/HuffmanTree.h"
#include "lha/LhaRunState.h"

namespace varlin {

inline constexpr int CHAR_CODES = 510;  // 256 literal bytes, then match lengths 3 to 256
inline constexpr int POS_CODES = 14;    // distance classes: significant bits of distance - 1
inline constexpr int LEN_CODES = 19;    // code-length symbols

// A match of length L travels as the symbol L + 253.
inline constexpr unsigned kMatchSymbolOffset = 253;

inline constexpr size_t kBlockBufferSize = 16384;
inline constexpr size_t kSmallestBlockBuffer = 4096;

class Lh5BlockCoder {
public:
    Lh5BlockCoder(LhaRunState& run, LhaProgressSink& sink) : bits(run), run(run), trees(sink) {}

    // Takes the block buffer if it is not yet held and resets the coder for a
    // new member.  False when not even the smallest buffer can be had.
    bool StartBlockCoder();

    // Queues a literal (c below 256) or a match (c = length + 253, p =
    // distance - 1).
    void EmitSymbol(unsigned c, unsigned p)
    {
        flagMask >>= 1;
        if (flagMask == 0) {
            flagMask = 0x80;
            if (writeIndex >= blockBufferSize - 24) {
                FlushBlock();
                if (run.notCompressible) return;
                writeIndex = 0;
            }
            flagPosition = writeIndex;
            blockBuffer[writeIndex++] = 0;
        }
        blockBuffer[writeIndex++] = static_cast<uint8_t>(c);
        ++charFreq[c];
        if (c >= 256) {
            blockBuffer[flagPosition] |= flagMask;
            blockBuffer[writeIndex++] = static_cast<uint8_t>(p >> 8);
            blockBuffer[writeIndex++] = static_cast<uint8_t>(p);
            ++posFreq[DistanceClass(p)];
        }
    }

    // Codes the queued block and pads the last byte with zero bits; does
    // nothing once the stream has been found not compressible.
    void FinishBlocks();

    // Codes the queued symbols as one block.
    void FlushBlock();

    void ReleaseBlockBuffer();

    size_t BlockBufferSize() const { return blockBufferSize; }

    // The number of significant bits of p.
    static int DistanceClass(unsigned p) { return std::bit_width(p); }

    BitWriter bits;

private:
    void CountLengthSymbols(int count);
    void WriteLengthTable(int n, int countWidth, int zeroRunAfter);
    void WriteCharLengths(int count);
    void WriteBlockSymbols(uint32_t count);
    void ZeroFrequencies();

    LhaRunState& run;
    HuffmanTreeBuilder trees;

    std::unique_ptr<uint8_t[]> blockBuffer;
    size_t blockBufferSize = 0;
    size_t writeIndex = 0;
    size_t flagPosition = 0;
    unsigned flagMask = 0;

    std::array<uint32_t, 2 * CHAR_CODES - 1> charFreq{};
    std::array<uint8_t, CHAR_CODES> charLen{};
    std::array<uint32_t, CHAR_CODES> charCode{};
    std::array<uint32_t, 2 * POS_CODES - 1> posFreq{};
    std::array<uint32_t, 2 * LEN_CODES - 1> lenFreq{};
    std::array<uint8_t, LEN_CODES> ptLen{};  // the code-length code first, then the distance code
    std::array<uint32_t, LEN_CODES> ptCode{};
};

}  // namespace varlin
