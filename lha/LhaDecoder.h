// The member data decoders: -lh5- (the compressed method the writer uses)
// and -lh0- (stored).  They read data the program did not make itself, such
// as the members of a BIOS image, so every table and every code is checked:
// bad input ends in a clear error, never in a read or write outside a
// buffer, and the output never grows past the size the caller allows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace varlin {

// Watches the symbols of an -lh5- stream as they are decoded; the tests use
// it to see how the compressor parsed its input.
class Lh5SymbolObserver {
public:
    virtual ~Lh5SymbolObserver() = default;
    virtual void OnBlock(uint32_t symbolCount) = 0;
    virtual void OnLiteral(uint8_t byte) = 0;
    virtual void OnMatch(unsigned length, unsigned distance) = 0;
};

struct LhaDecodeResult {
    bool ok = false;
    std::string error;    // what was wrong, for the user; empty when ok
    size_t bitsRead = 0;  // -lh5-: bits of the stream taken by the blocks

    explicit operator bool() const { return ok; }
};

// Decodes an -lh5- stream until `originalSize` bytes came out; `out` is
// replaced with them.  An original size above `maxOutput` is refused before
// anything is decoded.
LhaDecodeResult DecodeLh5(std::span<const uint8_t> stream, size_t originalSize, std::vector<uint8_t>& out,
                          size_t maxOutput, Lh5SymbolObserver* observer = nullptr);

// Decodes member data by its method ("-lh5-" or "-lh0-"); any other method
// is refused by name.
LhaDecodeResult DecodeLhaData(std::string_view method, std::span<const uint8_t> data, size_t originalSize,
                              std::vector<uint8_t>& out, size_t maxOutput);

}  // namespace varlin
