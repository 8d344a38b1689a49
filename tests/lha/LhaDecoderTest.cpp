// The decoder on input it must refuse: hand-made streams with one fault
// each, every truncation and every flipped bit of a real stream.  A refusal
// is a clear error, never a read outside a buffer (the sanitizer build runs
// these too); what the decoder accepts, the independent decoder accepts with
// the same bytes.
#include <gtest/gtest.h>

#include "lha/LhaDecoder.h"
#include "tests/lha/LhaCorpus.h"
#include "tests/lha/LhaTestSupport.h"
#include "tests/support/RunCommand.h"

namespace varlin {
namespace {

// Bits written as '0' and '1', most significant first, zero-padded.
Bytes FromBits(const std::string& bits)
{
    Bytes bytes((bits.size() + 7) / 8, 0);
    for (size_t i = 0; i < bits.size(); ++i) {
        if (bits[i] == '1') bytes[i / 8] |= static_cast<uint8_t>(0x80 >> (i % 8));
    }
    return bytes;
}

std::string Number(unsigned value, int width)
{
    std::string bits;
    for (int i = width - 1; i >= 0; --i) bits += ((value >> i) & 1) != 0 ? '1' : '0';
    return bits;
}

// A block header whose three codes are single symbols (no bits per symbol).
std::string SingleSymbolBlock(unsigned symbols, unsigned literalSymbol, unsigned distanceSlot = 0)
{
    return Number(symbols, 16) + Number(0, 5) + Number(0, 5) + Number(0, 9) + Number(literalSymbol, 9) + Number(0, 4) +
           Number(distanceSlot, 4);
}

LhaDecodeResult Decode(const Bytes& stream, size_t originalSize, Bytes& out, size_t limit = 1 << 20)
{
    return DecodeLh5(stream, originalSize, out, limit);
}

// The stream of a real archive: a small logo as the build packs it.
struct RealStream {
    Bytes input = test::LogoPayload(64, 48);
    Bytes stream;
    test::TempDir dir;

    RealStream()
    {
        const test::ParsedArchive archive = test::ParseArchive(test::Pack(dir, input).archive);
        EXPECT_EQ(archive.method, "-lh5-");
        stream = archive.data;
    }
};

TEST(LhaDecoderTest, EachFaultOfAHandMadeStreamHasItsOwnError)
{
    struct Case {
        const char* what;
        std::string bits;
        size_t originalSize;
        const char* error;  // empty: decodes
    };
    const std::string lengthsOneOneOne = Number(3, 5) + "001" + "001" + "001" + "00";
    const Case cases[] = {
        {"one literal", SingleSymbolBlock(1, 'A'), 1, ""},
        {"a block of no symbols", SingleSymbolBlock(0, 'A'), 1, "a block of the stream holds no symbols"},
        {"a match before the start", SingleSymbolBlock(1, 256), 3, "a match reaches back before the start of the data"},
        {"literals past the original size", SingleSymbolBlock(3, 'A'), 2,
         "the stream holds more data than its original size"},
        {"a single code-length symbol beyond its table", Number(1, 16) + Number(0, 5) + Number(19, 5), 1,
         "a Huffman table of the stream is invalid"},
        {"more code lengths than symbols", Number(1, 16) + Number(20, 5), 1,
         "a Huffman table of the stream is invalid"},
        {"an over-full code", Number(1, 16) + lengthsOneOneOne, 1, "a Huffman table of the stream is invalid"},
        {"a code length over 16", Number(1, 16) + Number(1, 5) + "111" + std::string(10, '1') + "0", 1,
         "a Huffman table of the stream is invalid"},
        {"more literal lengths than symbols", Number(1, 16) + Number(0, 5) + Number(3, 5) + Number(511, 9), 1,
         "a Huffman table of the stream is invalid"},
        {"a distance slot beyond the window", SingleSymbolBlock(1, 256, 14), 3,
         "a Huffman table of the stream is invalid"},
        {"a code with no symbol",
         Number(1, 16) + Number(0, 5) + Number(0, 5) + Number(0, 9) + Number(256, 9) + Number(1, 4) + "001" + "1", 3,
         "a code of the stream matches no symbol"},
        {"a stream cut inside a block header", Number(1, 16) + Number(0, 5), 1, "the stream ends inside a block"},
    };
    for (const Case& c : cases) {
        Bytes out;
        const LhaDecodeResult result = Decode(FromBits(c.bits), c.originalSize, out);
        if (*c.error == '\0') {
            EXPECT_TRUE(result.ok) << c.what << ": " << result.error;
            EXPECT_EQ(out, Bytes(c.originalSize, 'A')) << c.what;
        } else {
            EXPECT_FALSE(result.ok) << c.what;
            EXPECT_EQ(result.error.substr(0, result.error.find(" (at bit")), c.error) << c.what;
            EXPECT_TRUE(out.empty()) << c.what;
        }
    }
}

TEST(LhaDecoderTest, SizesAndMethodsAreCheckedBeforeDecoding)
{
    Bytes out;
    // A block of 65535 matches of 256 bytes costs 62 bits: the caller's limit
    // keeps such a stream from filling the memory.
    EXPECT_EQ(Decode(FromBits(SingleSymbolBlock(0xFFFF, 509)), 100u << 20, out).error,
              "the original size of 104857600 bytes is beyond the limit of 1048576 bytes");
    EXPECT_EQ(DecodeLhaData("-lh6-", Bytes{1, 2}, 2, out, 100).error,
              "the method -lh6- is not one this program decodes");
    EXPECT_EQ(DecodeLhaData("-lh0-", Bytes{1, 2}, 3, out, 100).error,
              "stored data of 2 bytes for an original size of 3 bytes");
    ASSERT_TRUE(DecodeLhaData("-lh0-", Bytes{1, 2}, 2, out, 100));
    EXPECT_EQ(out, (Bytes{1, 2}));

    // A match longer than what remains of the original size.
    const RealStream real;
    EXPECT_NE(Decode(real.stream, 300, out).error.find("more data than its original size"), std::string::npos);
}

TEST(LhaDecoderTest, EveryTruncationIsRefusedUnlessTheBitsUsedAreAllThere)
{
    const RealStream real;
    Bytes out;
    const LhaDecodeResult whole = Decode(real.stream, real.input.size(), out);
    ASSERT_TRUE(whole) << whole.error;
    ASSERT_EQ(out, real.input);
    for (size_t length = 0; length < real.stream.size(); ++length) {
        const Bytes cut(real.stream.begin(), real.stream.begin() + static_cast<std::ptrdiff_t>(length));
        const LhaDecodeResult result = Decode(cut, real.input.size(), out);
        if (length * 8 >= whole.bitsRead) {
            EXPECT_TRUE(result.ok && out == real.input) << length;
        } else {
            EXPECT_FALSE(result.ok) << length;
            EXPECT_FALSE(result.error.empty()) << length;
        }
    }
}

TEST(LhaDecoderTest, FlippedBitsAreDecodedOrRefusedNoMoreLeniently)
{
    RealStream real;
    Bytes out;
    size_t refused = 0;
    for (size_t bit = 0; bit < real.stream.size() * 8; ++bit) {
        Bytes flipped = real.stream;
        flipped[bit / 8] ^= static_cast<uint8_t>(0x80 >> (bit % 8));
        const LhaDecodeResult result = Decode(flipped, real.input.size(), out);
        if (!result.ok) {
            EXPECT_FALSE(result.error.empty());
            ++refused;
        }
        // A sample goes to lha as well.  What we decode to the right bytes
        // it must decode so too.  It may take what we refuse only where a
        // block promises more symbols than the data has room for: it stops
        // at the original size, we call that stream damaged.
        if (bit % 37 != 0) continue;
        const std::string path = real.dir.Write("flipped.lzh", test::WrapInArchive(flipped, real.input));
        const test::CommandResult theirs = test::RunProgram("lha", {"-pq", path});
        const bool theirsGood = theirs.exitCode == 0 && theirs.out == std::string(real.input.begin(), real.input.end());
        const bool oursGood = result.ok && out == real.input;
        if (oursGood) {
            EXPECT_TRUE(theirsGood) << "bit " << bit;
        }
        if (theirsGood && !oursGood) {
            EXPECT_NE(result.error.find("more data than its original size"), std::string::npos)
                << "bit " << bit << ": " << result.error;
        }
    }
    EXPECT_GT(refused, 0u);
}

}  // namespace
}  // namespace varlin
