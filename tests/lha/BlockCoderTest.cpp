// The block coder bit by bit: the bit writer and its overflow rule, the
// Huffman tree's tie-breaks and length limit, and the block header fields.
#include <gtest/gtest.h>

#include <cstdio>

#include "lha/BlockCoder.h"
#include "tests/lha/Lh5TestDecoder.h"
#include "tests/lha/LhaTestSupport.h"

namespace varlin {
namespace {

class BlockCoderTest : public ::testing::Test {
protected:
    BlockCoderTest() : run(sink), coder(run, sink)
    {
        run.archive = std::tmpfile();
        run.StartMember();
        run.originalSize = 1U << 30;  // as if the input were large: every byte may be written
    }
    ~BlockCoderTest() override
    {
        coder.ReleaseBlockBuffer();
        if (run.archive != nullptr) std::fclose(run.archive);
    }

    void SetUp() override
    {
        ASSERT_NE(run.archive, nullptr);
        ASSERT_TRUE(coder.StartBlockCoder());
    }

    Bytes Stream()
    {
        coder.bits.Flush();
        std::fflush(run.archive);
        std::rewind(run.archive);
        Bytes bytes;
        for (int c = std::fgetc(run.archive); c != EOF; c = std::fgetc(run.archive))
            bytes.push_back(static_cast<uint8_t>(c));
        return bytes;
    }

    void EmitLiterals(const Bytes& bytes)
    {
        for (const uint8_t byte : bytes) coder.EmitSymbol(byte, 0);
    }

    test::RecordingProgressSink sink;
    LhaRunState run;
    Lh5BlockCoder coder;
};

TEST_F(BlockCoderTest, WriteBitsPacksMostSignificantFirst)
{
    coder.bits.WriteBits(3, 5);
    coder.bits.WriteBits(16, 0xABCD);
    coder.bits.WriteBits(0, 0);
    coder.bits.WriteBits(13, 0x1FFF);
    coder.bits.WriteBits(4, 0xF3);  // only the low bits count
    coder.bits.WriteBits(7, 0);     // fills the last byte
    EXPECT_EQ(test::BitString(Stream()), std::string("101") + "1010101111001101" + "1111111111111" + "0011" + "0000");
    EXPECT_EQ(run.packedSize, 5U);
}

TEST_F(BlockCoderTest, NoByteBeyondTheInputReadSoFar)
{
    run.originalSize = 1000;
    run.packedSize = 1000;
    coder.bits.WriteBits(8, 0xFF);
    coder.bits.EmitWholeBytes();  // as at the end of a block
    EXPECT_TRUE(run.notCompressible);
    EXPECT_EQ(run.packedSize, 1000U);
    EXPECT_TRUE(Stream().empty());

    run.notCompressible = false;
    run.originalSize = 1002;
    coder.bits.WriteBits(16, 0x1234);  // exactly as long as the input: allowed
    coder.bits.EmitWholeBytes();
    EXPECT_FALSE(run.notCompressible);
    coder.bits.WriteBits(8, 0x56);
    coder.bits.EmitWholeBytes();
    EXPECT_TRUE(run.notCompressible);
    EXPECT_EQ(Stream(), (Bytes{0x12, 0x34}));
}

TEST_F(BlockCoderTest, DistanceClassIsTheNumberOfSignificantBits)
{
    const std::pair<unsigned, int> cases[] = {{0, 0}, {1, 1}, {2, 2}, {3, 2}, {4, 3}, {255, 8}, {4096, 13}, {8191, 13}};
    for (const auto& [p, k] : cases) EXPECT_EQ(Lh5BlockCoder::DistanceClass(p), k) << p;
}

TEST_F(BlockCoderTest, EqualCountsGoLeftAndLeaveTheHeapFirst)
{
    HuffmanTreeBuilder builder(sink);
    uint32_t freq[5] = {1, 1, 1, 0, 0};
    uint8_t len[3];
    uint32_t code[3];
    EXPECT_EQ(builder.BuildHuffmanTree(3, freq, len, code), 4);
    EXPECT_EQ(freq[4], 3U);
    EXPECT_EQ((std::vector<int>{len[0], len[1], len[2]}), (std::vector<int>{2, 1, 2}));
    EXPECT_EQ((std::vector<uint32_t>{code[0], code[1], code[2]}), (std::vector<uint32_t>{2, 0, 3}));

    uint32_t one[5] = {0, 0, 7, 0, 0};
    len[2] = 9;
    EXPECT_EQ(builder.BuildHuffmanTree(3, one, len, code), 2);
    EXPECT_EQ(len[2], 0);
    EXPECT_EQ(code[2], 0U);
    uint32_t none[5] = {};
    EXPECT_EQ(builder.BuildHuffmanTree(3, none, len, code), 0);
    EXPECT_EQ(sink.error, "");
}

TEST_F(BlockCoderTest, SingleSymbolBlockHasTheShortHeaderAndFreeSymbols)
{
    EmitLiterals(Bytes(5, 'A'));
    coder.FinishBlocks();
    EXPECT_EQ(test::BitString(Stream()), std::string("0000000000000101")                      // 5 symbols
                                             + "00000" + "00000" + "000000000" + "001000001"  // only 'A'
                                             + "0000" + "0000"                                // only distance class 0
                                             + "0000");  // no bits for the symbols; padding
}

TEST_F(BlockCoderTest, ZeroRunOfNineteenIsOneZeroAndARunOfEighteen)
{
    EmitLiterals({0, 20});
    coder.FinishBlocks();
    EXPECT_EQ(test::BitString(Stream()),
              std::string("0000000000000010")                       // 2 symbols
                  + "00100" + "010" + "010" + "000" + "00" + "001"  // code lengths: symbols 0, 1 (2 bits), 3 (1 bit)
                  + "000010101"                                     // 21 literal/length lengths
                  + "0"                                             // length 1 for byte 0
                  + "10" + "11" + "1111"                            // 19 zeros: symbol 0, symbol 1 and 15
                  + "0"                                             // length 1 for byte 20
                  + "0000" + "0000"                                 // one distance class
                  + "0" + "1");                                     // the two literals
}

TEST_F(BlockCoderTest, LongCodeLengthsAreSentAsRunsOfOnes)
{
    // Distance classes 0 to 9 with counts 1, 1, 2, 4 ... 256 make a chain:
    // lengths 9, 9, 8, 7 ... 1.
    unsigned matches = 0;
    for (int k = 0; k <= 9; ++k) {
        const unsigned count = k == 0 ? 1U : 1U << (k - 1);
        const unsigned p = k == 0 ? 0U : 1U << (k - 1);
        for (unsigned i = 0; i < count; ++i, ++matches) coder.EmitSymbol(MIN_MATCH + kMatchSymbolOffset, p);
    }
    ASSERT_EQ(matches, 512U);
    coder.FinishBlocks();
    const std::string expectedStart = std::string("0000001000000000")                   // 512 symbols
                                      + "00000" + "00000" + "000000000" + "100000000"   // only symbol 256
                                      + "1010"                                          // 10 distance classes
                                      + "111110" + "111110"                             // 9, 9
                                      + "11110" + "1110"                                // 8, 7
                                      + "110" + "101" + "100" + "011" + "010" + "001";  // 6 down to 1
    EXPECT_EQ(test::BitString(Stream()).substr(0, expectedStart.size()), expectedStart);
}

TEST_F(BlockCoderTest, FirstFlushWhenAGroupWouldStartAt16360)
{
    ASSERT_EQ(coder.BlockBufferSize(), 16384U);
    // Groups of eight literals take 9 bytes; group 1818 would start at 16362.
    Bytes literals;
    for (unsigned i = 0; i < 1818 * 8 + 3; ++i) literals.push_back(static_cast<uint8_t>(i * 7));
    EmitLiterals(Bytes(literals.begin(), literals.begin() + 1818 * 8));
    EXPECT_EQ(run.packedSize, 0U);
    EmitLiterals(Bytes(literals.begin() + 1818 * 8, literals.end()));
    EXPECT_GT(run.packedSize, 0U);
    coder.FinishBlocks();

    const test::Lh5Decoded decoded = test::DecodeLh5(Stream(), literals.size());
    ASSERT_TRUE(decoded.ok) << decoded.error;
    EXPECT_EQ(decoded.blockSymbolCounts, (std::vector<uint32_t>{1818 * 8, 3}));
    EXPECT_EQ(decoded.data, literals);
}

// Literal counts in the Fibonacci sequence make the deepest possible tree:
// n symbols need n - 1 bits for the rarest two.
Bytes FibonacciLiterals(int symbols)
{
    Bytes literals;
    uint32_t a = 1;
    uint32_t b = 1;
    for (int s = 0; s < symbols; ++s) {
        for (uint32_t i = 0; i < a; ++i) literals.push_back(static_cast<uint8_t>('A' + s));
        const uint32_t sum = a + b;
        a = b;
        b = sum;
    }
    return literals;
}

TEST(BlockCoderLengthLimitTest, CodesLongerThanSixteenBitsAreReshaped)
{
    test::TempDir dir;
    const std::pair<int, std::string> cases[] = {{17, ""}, {18, "17"}, {19, "1717"}};
    for (const auto& [symbols, warnings] : cases) {
        test::RecordingProgressSink sink;
        LhaRunState run(sink);
        Lh5BlockCoder coder(run, sink);
        const std::string streamPath = dir.File("stream");
        run.archive = std::fopen(streamPath.c_str(), "wb");
        ASSERT_NE(run.archive, nullptr);
        run.StartMember();
        run.originalSize = 1U << 30;
        ASSERT_TRUE(coder.StartBlockCoder());
        const Bytes literals = FibonacciLiterals(symbols);
        for (const uint8_t byte : literals) coder.EmitSymbol(byte, 0);
        coder.FinishBlocks();
        coder.bits.Flush();
        std::fclose(run.archive);
        EXPECT_EQ(sink.error, warnings) << symbols;

        const Bytes stream = test::ReadFile(streamPath);
        const test::Lh5Decoded decoded = test::DecodeLh5(stream, literals.size());
        ASSERT_TRUE(decoded.ok) << decoded.error;
        EXPECT_EQ(decoded.blockSymbolCounts.size(), 1U);
        const std::string archive = dir.Write("fibonacci.lzh", test::WrapInArchive(stream, literals));
        EXPECT_EQ(test::CheckWithDecoders(archive, literals), "") << symbols;
    }
}

}  // namespace
}  // namespace varlin
