#include "tests/lha/Lh5TestDecoder.h"

#include <array>

namespace varlin::test {

namespace {

class BitReader {
public:
    explicit BitReader(const Bytes& bytes) : bytes(bytes) {}

    unsigned Bit()
    {
        const size_t byte = position / 8;
        if (byte >= bytes.size()) overrun = true;
        const unsigned bit = byte < bytes.size() ? (bytes[byte] >> (7 - position % 8)) & 1U : 0U;
        ++position;
        return bit;
    }

    unsigned Bits(int n)
    {
        unsigned value = 0;
        for (int i = 0; i < n; ++i) value = value << 1 | Bit();
        return value;
    }

    const Bytes& bytes;
    size_t position = 0;
    bool overrun = false;
};

// A canonical code given by its lengths; a single symbol with no lengths
// costs no bits.
class CanonicalCode {
public:
    void SetSingle(unsigned symbol)
    {
        single = true;
        singleSymbol = symbol;
    }

    void SetLengths(const std::vector<unsigned>& lengths)
    {
        single = false;
        count.fill(0);
        sorted.clear();
        for (unsigned d = 1; d <= 16; ++d) {
            for (unsigned s = 0; s < lengths.size(); ++s) {
                if (lengths[s] == d) {
                    ++count[d];
                    sorted.push_back(s);
                }
            }
        }
    }

    // The next symbol, or -1 when the bits match no code.
    int Decode(BitReader& bits) const
    {
        if (single) return static_cast<int>(singleSymbol);
        unsigned code = 0;
        unsigned first = 0;
        unsigned index = 0;
        for (unsigned d = 1; d <= 16; ++d) {
            code = code << 1 | bits.Bit();
            if (code - first < count[d]) return static_cast<int>(sorted[index + code - first]);
            index += count[d];
            first = (first + count[d]) << 1;
        }
        return -1;
    }

private:
    bool single = true;
    unsigned singleSymbol = 0;
    std::array<unsigned, 17> count{};
    std::vector<unsigned> sorted;
};

bool ReadLengthTable(BitReader& bits, int entries, int countWidth, int zeroRunAfter, CanonicalCode& code)
{
    const unsigned n = bits.Bits(countWidth);
    if (n == 0) {
        code.SetSingle(bits.Bits(countWidth));
        return true;
    }
    if (n > static_cast<unsigned>(entries)) return false;
    std::vector<unsigned> lengths(static_cast<size_t>(entries), 0);
    unsigned i = 0;
    while (i < n) {
        unsigned k = bits.Bits(3);
        if (k == 7) {
            while (bits.Bit() == 1) ++k;
        }
        if (k > 16) return false;
        lengths[i++] = k;
        if (static_cast<int>(i) == zeroRunAfter) i += bits.Bits(2);
    }
    code.SetLengths(lengths);
    return true;
}

bool ReadCharTable(BitReader& bits, const CanonicalCode& lengthCode, CanonicalCode& code)
{
    const unsigned n = bits.Bits(9);
    if (n == 0) {
        code.SetSingle(bits.Bits(9));
        return true;
    }
    if (n > 510) return false;
    std::vector<unsigned> lengths(510, 0);
    unsigned i = 0;
    while (i < n) {
        const int symbol = lengthCode.Decode(bits);
        if (symbol < 0) return false;
        if (symbol <= 2) {
            const unsigned zeros = symbol == 0 ? 1 : symbol == 1 ? bits.Bits(4) + 3 : bits.Bits(9) + 20;
            i += zeros;
        } else {
            lengths[i++] = static_cast<unsigned>(symbol - 2);
        }
    }
    if (i > n) return false;
    code.SetLengths(lengths);
    return true;
}

}  // namespace

Lh5Decoded DecodeLh5(const Bytes& stream, size_t originalSize)
{
    Lh5Decoded result;
    BitReader bits(stream);
    CanonicalCode lengthCode;
    CanonicalCode charCode;
    CanonicalCode positionCode;
    auto fail = [&](const std::string& why) {
        result.error = why + " at bit " + std::to_string(bits.position);
        result.bitsRead = bits.position;
        return result;
    };

    while (result.data.size() < originalSize) {
        const unsigned count = bits.Bits(16);
        if (count == 0) return fail("empty block");
        result.blockSymbolCounts.push_back(count);
        if (!ReadLengthTable(bits, 19, 5, 3, lengthCode)) return fail("bad code-length table");
        if (!ReadCharTable(bits, lengthCode, charCode)) return fail("bad literal/length table");
        if (!ReadLengthTable(bits, 14, 4, -1, positionCode)) return fail("bad distance table");
        for (unsigned i = 0; i < count; ++i) {
            const int c = charCode.Decode(bits);
            if (c < 0) return fail("bad literal/length code");
            if (c < 256) {
                result.data.push_back(static_cast<uint8_t>(c));
                result.tokens.push_back(Literal(static_cast<uint8_t>(c)));
                continue;
            }
            const int k = positionCode.Decode(bits);
            if (k < 0) return fail("bad distance code");
            const unsigned p = k <= 1 ? static_cast<unsigned>(k) : (1U << (k - 1)) | bits.Bits(k - 1);
            const Lh5Token match = Match(static_cast<unsigned>(c) - 253, p + 1);
            if (match.distance > result.data.size()) return fail("distance before the start");
            for (unsigned j = 0; j < match.length; ++j) result.data.push_back(result.data[result.data.size() - match.distance]);
            result.tokens.push_back(match);
        }
        if (bits.overrun) return fail("stream ends inside a block");
    }
    result.bitsRead = bits.position;
    result.ok = result.data.size() == originalSize;
    if (!result.ok) result.error = "more data than the original size";
    return result;
}

}  // namespace varlin::test
