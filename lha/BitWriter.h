// The bit writer of the -lh5- stream: bits go out most significant first,
// and a byte is written only while the packed stream stays within the input
// bytes read so far.  The first byte that would overstep sets
// notCompressible and is dropped, as is every byte after it, so that the
// archive writer can store the member instead.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "lha/LhaRunState.h"

namespace varlin {

class BitWriter {
public:
    explicit BitWriter(LhaRunState& run) : run(run) {}

    // Empties the pending bits (and drops anything buffered).
    void Reset()
    {
        bits = 0;
        bitCount = 0;
        buffered = 0;
    }

    // Writes the low n bits of x, n from 0 to 16.  They wait in a word until
    // whole bytes are handed on.
    void WriteBits(int n, uint32_t x)
    {
        bits = bits << n | (x & ((1U << n) - 1));
        bitCount += n;
        if (bitCount >= 48) EmitWholeBytes();
    }

    // The pending bits in a copy of their own for a long stretch of writes
    // (the coded symbols of a block), which can stay in registers; they go
    // back to the writer when the cursor ends.
    class Cursor {
    public:
        explicit Cursor(BitWriter& writer) : writer(writer), bits(writer.bits), bitCount(writer.bitCount) {}
        Cursor(const Cursor&) = delete;
        Cursor& operator=(const Cursor&) = delete;
        ~Cursor() { Return(); }

        void WriteBits(int n, uint32_t x)
        {
            bits = bits << n | (x & ((1U << n) - 1));
            bitCount += n;
            if (bitCount >= 48) {
                Return();
                writer.EmitWholeBytes();
                bitCount = writer.bitCount;
            }
        }

    private:
        void Return()
        {
            writer.bits = bits;
            writer.bitCount = bitCount;
        }

        BitWriter& writer;
        uint64_t bits;
        int bitCount;
    };

    // Hands on every whole byte written so far; fewer than 8 bits stay
    // pending.  The block coder calls it at the end of every block, so that
    // each byte is held against the input read when its block was coded.
    void EmitWholeBytes()
    {
        while (bitCount >= 8) {
            bitCount -= 8;
            Emit(static_cast<uint8_t>(bits >> bitCount));
        }
    }

    // Hands the whole bytes to the archive stream; pending bits are dropped.
    // Write errors show in the stream's error flag, which the archive writer
    // checks at the end.
    void Flush()
    {
        EmitWholeBytes();
        if (buffered != 0) std::fwrite(buffer.data(), 1, buffered, run.archive);
        buffered = 0;
    }

private:
    void Emit(uint8_t byte)
    {
        if (run.packedSize >= run.originalSize) {
            run.notCompressible = true;
            return;
        }
        buffer[buffered++] = byte;
        ++run.packedSize;
        if (buffered == buffer.size()) {
            std::fwrite(buffer.data(), 1, buffered, run.archive);
            buffered = 0;
        }
    }

    LhaRunState& run;
    uint64_t bits = 0;  // the pending bits are the low bitCount ones
    int bitCount = 0;
    std::array<uint8_t, 4096> buffer{};
    size_t buffered = 0;
};

}  // namespace varlin
