// The program's -lh5- decoder as the tests use it: it reads the stream the
// compressor wrote and reports the bytes, the symbols (literals and matches)
// and the blocks, so tests can check how the input was parsed, not only that
// it comes back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/support/Files.h"

namespace varlin::test {

struct Lh5Token {
    bool isMatch = false;
    uint8_t literal = 0;
    unsigned length = 0;    // matches: 3 to 256
    unsigned distance = 0;  // matches: 1 to 8192

    bool operator==(const Lh5Token&) const = default;
};

inline Lh5Token Literal(uint8_t byte) { return {false, byte, 0, 0}; }
inline Lh5Token Match(unsigned length, unsigned distance) { return {true, 0, length, distance}; }

struct Lh5Decoded {
    bool ok = false;
    std::string error;
    Bytes data;
    std::vector<Lh5Token> tokens;
    std::vector<uint32_t> blockSymbolCounts;
    size_t bitsRead = 0;
};

// Decodes blocks until `originalSize` bytes have come out.
Lh5Decoded DecodeLh5(const Bytes& stream, size_t originalSize);

}  // namespace varlin::test
