// What the parts of one archive run share: the two streams, the sizes and
// the CRC counted so far, and the flag that ends compression when the packed
// stream would outgrow the input.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <new>

#include "lha/Crc16.h"
#include "lha/LhaProgress.h"

namespace varlin {

// Decides whether a work area of this many bytes may be taken.  The program
// lets every request through to the system; tests refuse some to see the
// writer cope with little memory.
using WorkAreaGate = std::function<bool(size_t bytes)>;

// A work area of `count` elements, value-initialised, or null when the gate
// refuses it or the system has no memory for it.
template <typename T>
std::unique_ptr<T[]> AllocateWorkArea(const WorkAreaGate& gate, size_t count)
{
    if (gate && !gate(count * sizeof(T))) return nullptr;
    return std::unique_ptr<T[]>(new (std::nothrow) T[count]());
}

struct LhaRunState {
    explicit LhaRunState(LhaProgressSink& sink) : sink(sink) {}

    // Clears the counters and the flag for a new member.
    void StartMember()
    {
        packedSize = 0;
        originalSize = 0;
        crc = 0;
        notCompressible = false;
    }

    // Counts bytes read from the input into the original size and the CRC.
    void CountInput(const uint8_t* data, size_t size)
    {
        originalSize += static_cast<uint32_t>(size);
        crc = crcTable.Update(crc, data, size);
    }

    std::FILE* archive = nullptr;
    std::FILE* input = nullptr;
    uint32_t packedSize = 0;
    uint32_t originalSize = 0;
    uint16_t crc = 0;      // running CRC of the input bytes read
    uint16_t fileCrc = 0;  // the CRC the header carries
    bool notCompressible = false;
    Crc16 crcTable;
    WorkAreaGate workAreaGate;
    LhaProgressSink& sink;
};

}  // namespace varlin
