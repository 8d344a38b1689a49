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

    // Empties the pending byte (and drops anything buffered).
    void Reset()
    {
        pending = 0;
        freeBits = 8;
        buffered = 0;
    }

    // Writes the low n bits of x, n from 0 to 16.
    void WriteBits(int n, uint32_t x)
    {
        x &= (1U << n) - 1;
        if (n < freeBits) {
            freeBits -= n;
            pending |= x << freeBits;
            return;
        }
        n -= freeBits;
        Emit(pending | x >> n);
        if (n < 8) {
            freeBits = 8 - n;
        } else {
            Emit(x >> (n - 8));
            freeBits = 16 - n;
        }
        pending = (x << freeBits) & 0xFF;
    }

    // Hands the buffered bytes to the archive stream.  Write errors show in
    // the stream's error flag, which the archive writer checks at the end.
    void Flush()
    {
        if (buffered != 0) std::fwrite(buffer.data(), 1, buffered, run.archive);
        buffered = 0;
    }

private:
    void Emit(uint32_t byte)
    {
        if (run.packedSize >= run.originalSize) {
            run.notCompressible = true;
            return;
        }
        buffer[buffered++] = static_cast<uint8_t>(byte);
        ++run.packedSize;
        if (buffered == buffer.size()) Flush();
    }

    LhaRunState& run;
    uint32_t pending = 0;
    int freeBits = 8;
    std::array<uint8_t, 4096> buffer{};
    size_t buffered = 0;
};

}  // namespace varlin
