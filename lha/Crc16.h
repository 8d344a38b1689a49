// CRC-16 of the member data as LHA archives carry it: reflected polynomial
// 0xA001, initial value 0, no final inversion.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace varlin {

class Crc16 {
public:
    // Fills the tables; done at the start of every archive.
    void BuildTable();

    // The CRC after running `size` more bytes through it.
    uint16_t Update(uint16_t crc, const uint8_t* data, size_t size) const;

private:
    // Sixteen bytes go through the CRC at once: table[k][b] is the CRC
    // contribution of byte b followed by k zero bytes, so the lookups of a
    // group are independent of each other.
    static constexpr int kSlices = 16;
    std::array<std::array<uint16_t, 256>, kSlices> table{};
};

}  // namespace varlin
