// CRC-16 of the member data as LHA archives carry it: reflected polynomial
// 0xA001, initial value 0, no final inversion.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace varlin {

class Crc16 {
public:
    // Fills the 256-entry table; done at the start of every archive.
    void BuildTable();

    // The CRC after running `size` more bytes through it.
    uint16_t Update(uint16_t crc, const uint8_t* data, size_t size) const
    {
        for (size_t i = 0; i < size; ++i) crc = static_cast<uint16_t>(table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8));
        return crc;
    }

private:
    std::array<uint16_t, 256> table{};
};

}  // namespace varlin
