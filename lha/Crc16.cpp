#include "lha/Crc16.h"

namespace varlin {

namespace {

constexpr uint16_t kReflectedPolynomial = 0xA001;

}  // namespace

void Crc16::BuildTable()
{
    for (unsigned i = 0; i < 256; ++i) {
        unsigned r = i;
        for (int bit = 0; bit < 8; ++bit) r = (r & 1) != 0 ? (r >> 1) ^ kReflectedPolynomial : r >> 1;
        table[0][i] = static_cast<uint16_t>(r);
    }
    for (int k = 1; k < kSlices; ++k) {
        for (unsigned i = 0; i < 256; ++i) {
            const unsigned before = table[k - 1][i];
            table[k][i] = static_cast<uint16_t>(table[0][before & 0xFF] ^ (before >> 8));
        }
    }
}

uint16_t Crc16::Update(uint16_t crc, const uint8_t* data, size_t size) const
{
    unsigned c = crc;
    for (; size >= kSlices; size -= kSlices, data += kSlices) {
        // The fourteen lookups that do not wait for the running CRC first.
        const unsigned rest = (table[13][data[2]] ^ table[12][data[3]] ^ table[11][data[4]] ^ table[10][data[5]]) ^
                              (table[9][data[6]] ^ table[8][data[7]] ^ table[7][data[8]] ^ table[6][data[9]]) ^
                              (table[5][data[10]] ^ table[4][data[11]] ^ table[3][data[12]] ^ table[2][data[13]]) ^
                              (table[1][data[14]] ^ table[0][data[15]]);
        c ^= data[0] | data[1] << 8;
        c = table[15][c & 0xFF] ^ table[14][c >> 8] ^ rest;
    }
    for (; size > 0; --size, ++data) c = table[0][(c ^ *data) & 0xFF] ^ (c >> 8);
    return static_cast<uint16_t>(c);
}

}  // namespace varlin
