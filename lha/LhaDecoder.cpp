#include "lha/LhaDecoder.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

namespace varlin {

namespace {

// The stream's bits, most significant bit of each byte first.  Bits past the
// end read as zeros; whether any was taken tells a stream cut short.
class StreamBits {
public:
    explicit StreamBits(std::span<const uint8_t> bytes) : bytes(bytes) {}

    // The next n bits (n from 1 to 16), not yet taken.
    uint32_t Peek(int n)
    {
        if (count < n) Refill();
        return static_cast<uint32_t>(buffer >> (64 - n));
    }

    void Skip(int n)
    {
        buffer <<= n;
        count -= n;
        position += static_cast<size_t>(n);
    }

    uint32_t Take(int n)
    {
        if (n == 0) return 0;
        const uint32_t value = Peek(n);
        Skip(n);
        return value;
    }

    bool Overrun() const { return position > bytes.size() * 8; }
    size_t Position() const { return position; }

private:
    void Refill()
    {
        while (count <= 56) {
            const uint64_t byte = next < bytes.size() ? bytes[next] : 0;
            ++next;
            buffer |= byte << (56 - count);
            count += 8;
        }
    }

    std::span<const uint8_t> bytes;
    uint64_t buffer = 0;  // the next `count` bits, left-aligned
    int count = 0;
    size_t next = 0;
    size_t position = 0;
};

constexpr int kMaxCodeLength = 16;

// A canonical prefix code given by its code lengths, as the block headers
// describe it: shorter codes first, and among codes of one length the lower
// symbol first.  A code that is only one symbol costs no bits.
class PrefixCode {
public:
    static constexpr size_t kMaxSymbols = 510;

    void SetSingle(uint16_t symbol)
    {
        single = true;
        singleSymbol = symbol;
    }

    // False when the lengths promise more codes than there are (the code
    // would be ambiguous).  An incomplete code is taken; its unused bit
    // patterns decode to no symbol.
    bool SetLengths(std::span<const uint8_t> lengths)
    {
        single = false;
        counts.fill(0);
        for (uint8_t length : lengths) ++counts[length];
        counts[0] = 0;
        uint32_t room = 1;  // codes still free at the current length
        for (int length = 1; length <= kMaxCodeLength; ++length) {
            room <<= 1;
            if (counts[length] > room) return false;
            room -= counts[length];
        }

        std::array<uint16_t, kMaxCodeLength + 2> offsets{};
        for (int length = 1; length <= kMaxCodeLength; ++length) offsets[length + 1] = offsets[length] + counts[length];
        for (size_t symbol = 0; symbol < lengths.size(); ++symbol) {
            if (lengths[symbol] != 0) sorted[offsets[lengths[symbol]]++] = static_cast<uint16_t>(symbol);
        }

        // The fast table: every code of up to kFastBits bits fills the
        // entries that start with it.
        fast.fill(FastEntry{});
        uint32_t code = 0;
        size_t index = 0;
        for (int length = 1; length <= kMaxCodeLength; ++length) {
            for (uint16_t i = 0; i < counts[length]; ++i, ++code, ++index) {
                if (length > kFastBits) continue;
                const uint32_t first = code << (kFastBits - length);
                const uint32_t last = (code + 1) << (kFastBits - length);
                for (uint32_t entry = first; entry < last; ++entry)
                    fast[entry] = {sorted[index], static_cast<uint8_t>(length)};
            }
            code <<= 1;
        }
        return true;
    }

    // The next symbol, or -1 when the bits start no code.
    int Decode(StreamBits& bits) const
    {
        if (single) return singleSymbol;
        const FastEntry entry = fast[bits.Peek(kFastBits)];
        if (entry.length != 0) {
            bits.Skip(entry.length);
            return entry.symbol;
        }
        return DecodeLong(bits);
    }

private:
    static constexpr int kFastBits = 10;

    struct FastEntry {
        uint16_t symbol = 0;
        uint8_t length = 0;  // 0: the code is longer, or there is none
    };

    int DecodeLong(StreamBits& bits) const
    {
        const uint32_t window = bits.Peek(kMaxCodeLength);
        uint32_t first = 0;  // the first code of the current length
        uint32_t index = 0;  // its place in `sorted`
        for (int length = 1; length <= kMaxCodeLength; ++length) {
            const uint32_t code = window >> (kMaxCodeLength - length);
            if (code - first < counts[length]) {
                bits.Skip(length);
                return sorted[index + code - first];
            }
            index += counts[length];
            first = (first + counts[length]) << 1;
        }
        return -1;
    }

    bool single = true;
    uint16_t singleSymbol = 0;
    std::array<uint16_t, kMaxCodeLength + 1> counts{};
    std::array<uint16_t, kMaxSymbols> sorted{};
    std::array<FastEntry, size_t{1} << kFastBits> fast{};
};

// The three tables of a block header.
struct TableShape {
    size_t entries;    // symbols the code may have
    int countBits;     // width of the entry count (and of a single symbol)
    int zeroRunAfter;  // after this many lengths, a 2-bit run of zero lengths; -1 for none
};

constexpr TableShape kLengthCodeShape = {19, 5, 3};
constexpr TableShape kDistanceCodeShape = {14, 4, -1};
constexpr size_t kLiteralSymbols = 510;
constexpr int kLiteralCountBits = 9;
constexpr unsigned kFirstLengthSymbol = 256;
constexpr unsigned kMinMatch = 3;

enum class Fault {
    None,
    BadTable,
    BadCode,
    EmptyBlock,
    BeforeStart,
    TooLong,
    CutShort,
};

const char* FaultText(Fault fault)
{
    switch (fault) {
    case Fault::BadTable:
        return "a Huffman table of the stream is invalid";
    case Fault::BadCode:
        return "a code of the stream matches no symbol";
    case Fault::EmptyBlock:
        return "a block of the stream holds no symbols";
    case Fault::BeforeStart:
        return "a match reaches back before the start of the data";
    case Fault::TooLong:
        return "the stream holds more data than its original size";
    case Fault::CutShort:
        return "the stream ends inside a block";
    case Fault::None:
        break;
    }
    return "";
}

// Lengths of the code-length code and of the distance code: 3-bit numbers,
// 7 and up continued in unary.
bool ReadSmallTable(StreamBits& bits, const TableShape& shape, PrefixCode& code)
{
    const uint32_t n = bits.Take(shape.countBits);
    if (n == 0) {
        const uint32_t symbol = bits.Take(shape.countBits);
        if (symbol >= shape.entries) return false;
        code.SetSingle(static_cast<uint16_t>(symbol));
        return true;
    }
    if (n > shape.entries) return false;
    std::array<uint8_t, 19> lengths{};
    size_t i = 0;
    while (i < n) {
        uint32_t length = bits.Take(3);
        if (length == 7) {
            while (bits.Take(1) == 1) {
                if (++length > kMaxCodeLength) return false;
            }
        }
        lengths[i++] = static_cast<uint8_t>(length);
        if (static_cast<int>(i) == shape.zeroRunAfter) i += bits.Take(2);
    }
    return code.SetLengths(std::span<const uint8_t>(lengths.data(), shape.entries));
}

// Lengths of the literal/length code, coded with the code-length code:
// symbols 0 to 2 are runs of zero lengths, the others a length plus 2.
bool ReadLiteralTable(StreamBits& bits, const PrefixCode& lengthCode, PrefixCode& code)
{
    const uint32_t n = bits.Take(kLiteralCountBits);
    if (n == 0) {
        const uint32_t symbol = bits.Take(kLiteralCountBits);
        if (symbol >= kLiteralSymbols) return false;
        code.SetSingle(static_cast<uint16_t>(symbol));
        return true;
    }
    if (n > kLiteralSymbols) return false;
    std::array<uint8_t, kLiteralSymbols> lengths{};
    size_t i = 0;
    while (i < n) {
        const int symbol = lengthCode.Decode(bits);
        if (symbol < 0 || bits.Overrun()) return false;
        if (symbol <= 2) {
            i += symbol == 0 ? 1 : symbol == 1 ? bits.Take(4) + 3 : bits.Take(9) + 20;
        } else {
            lengths[i++] = static_cast<uint8_t>(symbol - 2);
        }
    }
    if (i > n) return false;
    return code.SetLengths(lengths);
}

class Lh5Decoder {
public:
    Lh5Decoder(std::span<const uint8_t> stream, std::vector<uint8_t>& out, Lh5SymbolObserver* observer)
        : bits(stream), out(out), observer(observer)
    {
    }

    Fault Run(size_t originalSize)
    {
        out.assign(originalSize, 0);
        while (produced < originalSize) {
            const Fault fault = DecodeBlock();
            if (fault != Fault::None) return fault;
        }
        return Fault::None;
    }

    size_t BitsRead() const { return bits.Position(); }

private:
    Fault DecodeBlock()
    {
        const uint32_t symbols = bits.Take(16);
        if (bits.Overrun()) return Fault::CutShort;
        if (symbols == 0) return Fault::EmptyBlock;
        if (observer) observer->OnBlock(symbols);
        if (!ReadSmallTable(bits, kLengthCodeShape, lengthCode) || !ReadLiteralTable(bits, lengthCode, literalCode) ||
            !ReadSmallTable(bits, kDistanceCodeShape, distanceCode)) {
            return bits.Overrun() ? Fault::CutShort : Fault::BadTable;
        }
        for (uint32_t i = 0; i < symbols; ++i) {
            const Fault fault = DecodeSymbol();
            if (fault != Fault::None) return fault;
            if (bits.Overrun()) return Fault::CutShort;
        }
        return Fault::None;
    }

    Fault DecodeSymbol()
    {
        const int symbol = literalCode.Decode(bits);
        if (symbol < 0) return Fault::BadCode;
        if (static_cast<unsigned>(symbol) < kFirstLengthSymbol) {
            if (produced == out.size()) return Fault::TooLong;
            out[produced++] = static_cast<uint8_t>(symbol);
            if (observer) observer->OnLiteral(static_cast<uint8_t>(symbol));
            return Fault::None;
        }
        const int slot = distanceCode.Decode(bits);
        if (slot < 0) return Fault::BadCode;
        const size_t distance =
            (slot <= 1 ? static_cast<size_t>(slot) : (size_t{1} << (slot - 1)) | bits.Take(slot - 1)) + 1;
        const size_t length = static_cast<unsigned>(symbol) - kFirstLengthSymbol + kMinMatch;
        if (distance > produced) return Fault::BeforeStart;
        if (length > out.size() - produced) return Fault::TooLong;
        uint8_t* to = out.data() + produced;
        const uint8_t* from = to - distance;
        if (distance >= length) {
            std::memcpy(to, from, length);
        } else if (distance == 1) {
            std::memset(to, *from, length);
        } else {
            // Byte by byte: the match repeats the bytes it produces.
            for (size_t j = 0; j < length; ++j) to[j] = from[j];
        }
        produced += length;
        if (observer) observer->OnMatch(static_cast<unsigned>(length), static_cast<unsigned>(distance));
        return Fault::None;
    }

    StreamBits bits;
    std::vector<uint8_t>& out;
    Lh5SymbolObserver* observer;
    size_t produced = 0;
    PrefixCode lengthCode;
    PrefixCode literalCode;
    PrefixCode distanceCode;
};

std::string SizeText(size_t bytes) { return std::to_string(bytes) + " bytes"; }

LhaDecodeResult Refusal(std::string error, size_t bitsRead = 0) { return {false, std::move(error), bitsRead}; }

}  // namespace

LhaDecodeResult DecodeLh5(std::span<const uint8_t> stream, size_t originalSize, std::vector<uint8_t>& out,
                          size_t maxOutput, Lh5SymbolObserver* observer)
{
    if (originalSize > maxOutput) {
        out.clear();
        return Refusal("the original size of " + SizeText(originalSize) + " is beyond the limit of " +
                       SizeText(maxOutput));
    }
    // The decoder's tables are a few KiB; they live on the heap with it.
    auto decoder = std::make_unique<Lh5Decoder>(stream, out, observer);
    const Fault fault = decoder->Run(originalSize);
    if (fault != Fault::None) {
        out.clear();
        return Refusal(std::string(FaultText(fault)) + " (at bit " + std::to_string(decoder->BitsRead()) + ")",
                       decoder->BitsRead());
    }
    return {true, {}, decoder->BitsRead()};
}

LhaDecodeResult DecodeLhaData(std::string_view method, std::span<const uint8_t> data, size_t originalSize,
                              std::vector<uint8_t>& out, size_t maxOutput)
{
    if (method == "-lh5-") return DecodeLh5(data, originalSize, out, maxOutput);
    out.clear();
    if (method != "-lh0-") return Refusal("the method " + std::string(method) + " is not one this program decodes");
    if (data.size() != originalSize) {
        return Refusal("stored data of " + SizeText(data.size()) + " for an original size of " +
                       SizeText(originalSize));
    }
    if (originalSize > maxOutput) {
        return Refusal("the original size of " + SizeText(originalSize) + " is beyond the limit of " +
                       SizeText(maxOutput));
    }
    out.assign(data.begin(), data.end());
    return {true, {}, 0};
}

}  // namespace varlin
