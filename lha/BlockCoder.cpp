#include "lha/BlockCoder.h"

namespace varlin {

namespace {

// Code-length symbols of the literal/length length table.
constexpr unsigned kOneZero = 0;           // one zero length
constexpr unsigned kShortZeroRun = 1;      // 3 to 18 zero lengths, the run - 3 in 4 bits
constexpr unsigned kLongZeroRun = 2;       // 20 or more zero lengths, the run - 20 in 9 bits
constexpr unsigned kLengthSymbolBase = 2;  // length k is the symbol k + 2

constexpr int kCountBits = 16;       // the block's symbol count
constexpr int kCharCountBits = 9;    // the literal/length table's entry count
constexpr int kLenCountBits = 5;     // the code-length table's entry count
constexpr int kPosCountBits = 4;     // the distance table's entry count
constexpr int kLenZeroRunAfter = 3;  // the code-length table has a zero-run field after its third entry
constexpr int kNoZeroRun = -1;

// The length of `lengths` without its trailing zeros.
int CountWithoutTrailingZeros(const uint8_t* lengths, int n)
{
    while (n > 0 && lengths[n - 1] == 0) --n;
    return n;
}

// Walks the first `count` literal/length code lengths as the code-length
// symbols that send them: visit(symbol, extraBitCount, extraBits).
template <typename Visit>
void ForEachLengthSymbol(const uint8_t* lengths, int count, Visit visit)
{
    int i = 0;
    while (i < count) {
        const unsigned k = lengths[i++];
        if (k != 0) {
            visit(k + kLengthSymbolBase, 0, 0U);
            continue;
        }
        unsigned zeros = 1;
        while (i < count && lengths[i] == 0) {
            ++i;
            ++zeros;
        }
        if (zeros <= 2) {
            for (unsigned z = 0; z < zeros; ++z) visit(kOneZero, 0, 0U);
        } else if (zeros <= 18) {
            visit(kShortZeroRun, 4, zeros - 3);
        } else if (zeros == 19) {
            visit(kOneZero, 0, 0U);
            visit(kShortZeroRun, 4, 15U);
        } else {
            visit(kLongZeroRun, 9, zeros - 20);
        }
    }
}

}  // namespace

bool Lh5BlockCoder::StartBlockCoder()
{
    if (!blockBuffer) {
        // Take less when memory is short: a smaller buffer only means shorter blocks.
        for (size_t size = kBlockBufferSize; size >= kSmallestBlockBuffer; size = size / 10 * 9) {
            blockBuffer = AllocateWorkArea<uint8_t>(run.workAreaGate, size);
            if (blockBuffer) {
                blockBufferSize = size;
                break;
            }
        }
        if (!blockBuffer) return false;
    }
    blockBuffer[0] = 0;
    ZeroFrequencies();
    writeIndex = 0;
    flagMask = 0;
    bits.Reset();
    return true;
}

void Lh5BlockCoder::ReleaseBlockBuffer()
{
    blockBuffer.reset();
    blockBufferSize = 0;
}

void Lh5BlockCoder::ZeroFrequencies()
{
    charFreq.fill(0);
    posFreq.fill(0);
}

void Lh5BlockCoder::FinishBlocks()
{
    if (run.notCompressible) return;
    FlushBlock();
    bits.WriteBits(7, 0);
}

void Lh5BlockCoder::CountLengthSymbols(int count)
{
    lenFreq.fill(0);
    ForEachLengthSymbol(charLen.data(), count, [this](unsigned symbol, int, unsigned) { ++lenFreq[symbol]; });
}

// A table of code lengths from ptLen: the entry count, then each length in
// 3 bits up to 6, longer ones as k - 4 one bits and a zero; optionally,
// after the third entry, the number of zero lengths that follow it (up to
// three) in 2 bits.
void Lh5BlockCoder::WriteLengthTable(int n, int countWidth, int zeroRunAfter)
{
    n = CountWithoutTrailingZeros(ptLen.data(), n);
    bits.WriteBits(countWidth, static_cast<uint32_t>(n));
    int i = 0;
    while (i < n) {
        const int k = ptLen[i++];
        if (k <= 6) {
            bits.WriteBits(3, static_cast<uint32_t>(k));
        } else {
            bits.WriteBits(k - 3, (1U << (k - 3)) - 2);
        }
        if (i == zeroRunAfter) {
            while (i < 6 && ptLen[i] == 0) ++i;
            bits.WriteBits(2, static_cast<uint32_t>(i - zeroRunAfter));
        }
    }
}

void Lh5BlockCoder::WriteCharLengths(int count)
{
    bits.WriteBits(kCharCountBits, static_cast<uint32_t>(count));
    ForEachLengthSymbol(charLen.data(), count, [this](unsigned symbol, int extraBitCount, unsigned extraBits) {
        bits.WriteBits(ptLen[symbol], ptCode[symbol]);
        if (extraBitCount != 0) bits.WriteBits(extraBitCount, extraBits);
    });
}

void Lh5BlockCoder::WriteBlockSymbols(uint32_t count)
{
    BitWriter::Cursor out(bits);
    size_t readIndex = 0;
    unsigned flags = 0;
    for (uint32_t i = 0; i < count; ++i) {
        if (i % 8 == 0) {
            flags = blockBuffer[readIndex++];
        } else {
            flags <<= 1;
        }
        if ((flags & 0x80) != 0) {
            const unsigned c = blockBuffer[readIndex++] + 256U;
            out.WriteBits(charLen[c], charCode[c]);
            const unsigned p = static_cast<unsigned>(blockBuffer[readIndex] << 8 | blockBuffer[readIndex + 1]);
            readIndex += 2;
            const int k = DistanceClass(p);
            out.WriteBits(ptLen[k], ptCode[k]);
            if (k > 1) out.WriteBits(k - 1, p);
        } else {
            const unsigned c = blockBuffer[readIndex++];
            out.WriteBits(charLen[c], charCode[c]);
        }
        if (run.notCompressible) return;
    }
}

void Lh5BlockCoder::FlushBlock()
{
    const int charRoot = trees.BuildHuffmanTree(CHAR_CODES, charFreq.data(), charLen.data(), charCode.data());
    const uint32_t count = charFreq[static_cast<size_t>(charRoot)];
    bits.WriteBits(kCountBits, count);

    if (charRoot >= CHAR_CODES) {
        const int charCount = CountWithoutTrailingZeros(charLen.data(), CHAR_CODES);
        CountLengthSymbols(charCount);
        const int lenRoot = trees.BuildHuffmanTree(LEN_CODES, lenFreq.data(), ptLen.data(), ptCode.data());
        if (lenRoot >= LEN_CODES) {
            WriteLengthTable(LEN_CODES, kLenCountBits, kLenZeroRunAfter);
        } else {
            bits.WriteBits(kLenCountBits, 0);
            bits.WriteBits(kLenCountBits, static_cast<uint32_t>(lenRoot));
        }
        WriteCharLengths(charCount);
    } else {
        // One symbol only: it is sent in the header and costs no bits.
        bits.WriteBits(kLenCountBits, 0);
        bits.WriteBits(kLenCountBits, 0);
        bits.WriteBits(kCharCountBits, 0);
        bits.WriteBits(kCharCountBits, static_cast<uint32_t>(charRoot));
    }

    const int posRoot = trees.BuildHuffmanTree(POS_CODES, posFreq.data(), ptLen.data(), ptCode.data());
    if (posRoot >= POS_CODES) {
        WriteLengthTable(POS_CODES, kPosCountBits, kNoZeroRun);
    } else {
        bits.WriteBits(kPosCountBits, 0);
        bits.WriteBits(kPosCountBits, static_cast<uint32_t>(posRoot));
    }

    WriteBlockSymbols(count);
    bits.EmitWholeBytes();
    ZeroFrequencies();
}

}  // namespace varlin
