#include "lha/Crc16.h"

namespace varlin {

namespace {

constexpr uint16_t kReflectedPolynomial = 0xA001;

}  // namespace

void Crc16::BuildTable()
{
    for (unsigned i = 0; i < table.size(); ++i) {
        unsigned r = i;
        for (int bit = 0; bit < 8; ++bit) r = (r & 1) != 0 ? (r >> 1) ^ kReflectedPolynomial : r >> 1;
        table[i] = static_cast<uint16_t>(r);
    }
}

}  // namespace varlin
