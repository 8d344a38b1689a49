// The archive as written: header fields, stored and compressed members,
// progress lines and every way a run can fail.
#include <gtest/gtest.h>

#include <filesystem>

#include "lha/Crc16.h"
#include "lha/LhaWriter.h"
#include "tests/lha/Lh5TestDecoder.h"
#include "tests/lha/LhaTestSupport.h"

namespace varlin {
namespace {

using test::Pack;
using test::PackedFile;
using test::PackOptions;
using test::ParseArchive;
using test::ParsedArchive;

Bytes Repeated(size_t size, uint8_t byte) { return Bytes(size, byte); }

Bytes Text(const char* text) { return Bytes(text, text + std::char_traits<char>::length(text)); }

TEST(LhaWriterTest, EmptyInputIsStoredWithNothingInIt)
{
    test::TempDir dir;
    const PackedFile packed = Pack(dir, {});
    ASSERT_TRUE(packed.result) << packed.result.message;
    const ParsedArchive archive = ParseArchive(packed.archive);
    ASSERT_TRUE(archive.ok) << archive.problem;
    EXPECT_EQ(archive.method, "-lh0-");
    EXPECT_EQ(archive.packedSize, 0U);
    EXPECT_EQ(archive.originalSize, 0U);
    EXPECT_EQ(archive.crc, 0x0000);
    EXPECT_EQ(packed.archive.size(), 27U + 8 + 1);
    EXPECT_EQ(packed.sink.output, "Adding logo.bmp  0.0%\n");
    EXPECT_EQ(packed.sink.error, "");
}

TEST(LhaWriterTest, OneByteIsStoredBecauseTheStreamWouldNeedTwo)
{
    test::TempDir dir;
    const PackedFile packed = Pack(dir, {0x5A});
    const ParsedArchive archive = ParseArchive(packed.archive);
    ASSERT_TRUE(archive.ok) << archive.problem;
    EXPECT_EQ(archive.method, "-lh0-");
    EXPECT_EQ(archive.packedSize, 1U);
    EXPECT_EQ(archive.data, Bytes{0x5A});
    EXPECT_EQ(packed.sink.output, "Adding logo.bmp  100.0%\n");
}

TEST(LhaWriterTest, TenEqualBytesMakeATenByteStreamThatStaysCompressed)
{
    test::TempDir dir;
    const PackedFile packed = Pack(dir, Repeated(10, 'A'));
    const ParsedArchive archive = ParseArchive(packed.archive);
    ASSERT_TRUE(archive.ok) << archive.problem;
    EXPECT_EQ(archive.method, "-lh5-");
    EXPECT_EQ(archive.packedSize, 10U);
    EXPECT_EQ(archive.originalSize, 10U);

    // One block: a literal 'A' (symbol 65) and a match of 9 at distance 1 (symbol 262).
    // clang-format off
    const std::string expected = std::string("0000000000000010")  // 2 symbols
                                 + "00100" + "000" + "000" + "001" + "00" + "001"  // code lengths of symbols 2 and 3: 1 bit each
                                 + "100000111"                     // 263 literal/length lengths
                                 + "0" + "000101101"               // 65 zeros (symbol 2, 65 - 20)
                                 + "1"                             // length 1 for 'A'
                                 + "0" + "010110000"               // 196 zeros (symbol 2, 196 - 20)
                                 + "1"                             // length 1 for symbol 262
                                 + "0000" + "0000"                 // one distance class: 0
                                 + "0"                             // 'A'
                                 + "1"                             // match of 9; its distance costs no bits
                                 + "0000";                         // the last byte filled with zeros
    // clang-format on
    EXPECT_EQ(test::BitString(archive.data), expected);

    const test::Lh5Decoded decoded = test::DecodeLh5(archive.data, 10);
    ASSERT_TRUE(decoded.ok) << decoded.error;
    EXPECT_EQ(decoded.tokens, (std::vector<test::Lh5Token>{test::Literal('A'), test::Match(9, 1)}));
}

TEST(LhaWriterTest, RandomBytesAreStoredOverTheCompressedStart)
{
    test::TempDir dir;
    for (const size_t size : {5000U, 40000U}) {
        const Bytes input = test::RandomBytes(size, 7);
        const PackedFile packed = Pack(dir, input);
        const ParsedArchive archive = ParseArchive(packed.archive);
        ASSERT_TRUE(archive.ok) << archive.problem;
        EXPECT_EQ(archive.method, "-lh0-");
        EXPECT_EQ(packed.archive.size(), 27 + 8 + size + 1);
        EXPECT_EQ(archive.data, input);
        EXPECT_EQ(archive.crc, test::ReferenceCrc16(input));
        EXPECT_EQ(packed.sink.output, "Adding logo.bmp  100.0%\n");
    }
}

TEST(LhaWriterTest, LongZeroRunCompressesToFullLengthMatches)
{
    test::TempDir dir;
    const PackedFile packed = Pack(dir, Repeated(20000, 0));
    const ParsedArchive archive = ParseArchive(packed.archive);
    ASSERT_TRUE(archive.ok) << archive.problem;
    EXPECT_EQ(archive.method, "-lh5-");
    EXPECT_LT(archive.packedSize, 100U);
    EXPECT_EQ(archive.originalSize, 20000U);
    EXPECT_EQ(archive.crc, test::ReferenceCrc16(Repeated(20000, 0)));
    EXPECT_EQ(packed.sink.error, "..");  // two window refills

    const test::Lh5Decoded decoded = test::DecodeLh5(archive.data, 20000);
    ASSERT_TRUE(decoded.ok) << decoded.error;
    ASSERT_GE(decoded.tokens.size(), 3U);
    EXPECT_EQ(decoded.tokens[0], test::Literal(0));
    EXPECT_EQ(decoded.tokens[1], test::Match(256, 1));
    // 1 + 78 * 256 = 19969; the last 31 bytes are one match cut to the input.
    EXPECT_EQ(decoded.tokens.size(), 1U + 78 + 1);
    EXPECT_EQ(decoded.tokens.back(), test::Match(31, 1));
}

TEST(LhaWriterTest, HeaderCarriesNameLoadAddressAndFixedFields)
{
    test::TempDir dir;
    const PackedFile packed = Pack(dir, Text("123456789"));
    ASSERT_TRUE(packed.result);
    const ParsedArchive archive = ParseArchive(packed.archive);
    ASSERT_TRUE(archive.ok) << archive.problem;
    EXPECT_EQ(packed.archive[0], 33);  // 25 + the 8 bytes of "logo.bmp"
    EXPECT_EQ(packed.archive[21], 8);
    EXPECT_EQ(archive.name, "logo.bmp");
    EXPECT_EQ(archive.crc, 0xBB3D);
    EXPECT_EQ(Bytes(packed.archive.begin() + 15, packed.archive.begin() + 19), (Bytes{0x00, 0x00, 0x00, 0x40}));
    EXPECT_EQ(archive.attribute, 0x20);
    EXPECT_EQ(archive.level, 0x01);
    EXPECT_EQ(archive.operatingSystem, 0x20);
    EXPECT_EQ(archive.extendedHeaderSize, 0);

    PackOptions options;
    options.loadAddress = "F000:1A";
    const PackedFile moved = Pack(dir, Text("123456789"), options);
    EXPECT_EQ(Bytes(moved.archive.begin() + 15, moved.archive.begin() + 19), (Bytes{0x1A, 0x00, 0x00, 0xF0}));
    EXPECT_TRUE(ParseArchive(moved.archive).ok);
}

TEST(LhaWriterTest, CrcTableMatchesTheCheckValue)
{
    Crc16 crc;
    crc.BuildTable();
    const Bytes digits = Text("123456789");
    EXPECT_EQ(crc.Update(0, digits.data(), digits.size()), 0xBB3D);
    const Bytes random = test::RandomBytes(1000, 3);
    EXPECT_EQ(crc.Update(0, random.data(), random.size()), test::ReferenceCrc16(random));
    // Every length and split point around the eight-byte groups, carried on
    // from one piece to the next as the reader does.
    for (size_t length = 0; length <= 40; ++length) {
        const Bytes piece(random.begin(), random.begin() + static_cast<std::ptrdiff_t>(length));
        for (size_t split = 0; split <= length; ++split) {
            const uint16_t first = crc.Update(0, piece.data(), split);
            EXPECT_EQ(crc.Update(first, piece.data() + split, length - split), test::ReferenceCrc16(piece))
                << length << " split at " << split;
        }
    }
}

TEST(LhaWriterTest, LoadAddressTextIsReadLeniently)
{
    struct Case {
        const char* text;
        uint16_t segment;
        uint16_t offset;
    };
    // clang-format off
    const Case cases[] = {
        {"4000:0", 0x4000, 0x0000}, {"F000:1A", 0xF000, 0x001A}, {"f000:1a", 0xF000, 0x001A},
        {"12345:6", 0x2345, 0x0006}, {"1G:2", 0x0010, 0x0002},   {"1A", 0x0000, 0x001A},
        {"1:2:3", 0x0002, 0x0003},   {"", 0x0000, 0x0000},
    };
    // clang-format on
    for (const Case& c : cases) {
        const LoadAddress address = ParseLoadAddress(c.text);
        EXPECT_EQ(address.segment, c.segment) << c.text;
        EXPECT_EQ(address.offset, c.offset) << c.text;
    }
    LhaWriter writer;
    EXPECT_TRUE(writer.SetLoadAddressText("FFFF:FFFF"));
    EXPECT_FALSE(writer.SetLoadAddressText("FFFF:FFFFF"));
    EXPECT_STREQ(writer.LoadAddressText(), "FFFF:FFFF");
    writer.LhaResetState();
    EXPECT_STREQ(writer.LoadAddressText(), "4000:0");
}

TEST(LhaWriterTest, RatioIsRoundedTenthsOfAPerCentWithoutOverflow)
{
    struct Case {
        uint32_t packed;
        uint32_t original;
        uint32_t ratio;
    };
    // clang-format off
    const Case cases[] = {
        {0, 0, 0},           {453, 1000, 453},          {1, 3, 333},
        {2, 3, 667},         {10, 10, 1000},            {1, 2000, 1},
        {1, 2001, 0},        {4000000000U, 4000000000U, 1000}, {4294967295U, 4294967295U, 1000},
        {3000000000U, 4000000000U, 750}, {429496730, 429496730, 1000},
    };
    // clang-format on
    for (const Case& c : cases) {
        EXPECT_EQ(LhaPackingRatio(c.packed, c.original), c.ratio) << c.packed << "/" << c.original;
    }
}

TEST(LhaWriterTest, InputThatCannotBeOpenedEmptiesThePathAndLeavesAnEmptyArchive)
{
    test::TempDir dir;
    std::string inputPath = dir.File("missing.tbp");
    const std::string archivePath = dir.File("tmp_b_pic");
    test::RecordingProgressSink sink;
    LhaWriter writer(sink);
    writer.LhaResetState();
    const LhaResult result = writer.LhaWriteArchive(inputPath, archivePath, "logo.bmp");
    EXPECT_FALSE(result);
    EXPECT_EQ(result.failure, LhaFailure::CannotOpenInput);
    EXPECT_EQ(result.message, "Can't open " + dir.File("missing.tbp"));
    EXPECT_EQ(inputPath, "");
    EXPECT_EQ(sink.error, "Can't open " + dir.File("missing.tbp") + "\n");
    EXPECT_EQ(sink.output, "");
    EXPECT_TRUE(test::FileExists(archivePath));
    EXPECT_TRUE(test::ReadFile(archivePath).empty());
}

TEST(LhaWriterTest, FailuresComeBackWithTheirMessages)
{
    test::TempDir dir;
    const std::string input = dir.Write("in.bin", Repeated(3000, 'x'));
    struct Case {
        const char* what;
        std::string archive;
        std::string inputPath;
        WorkAreaGate gate;
        LhaFailure failure;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"no directory for the archive",
         dir.File("none/tmp_b_pic"),
         input,
         {},
         LhaFailure::CannotOpenArchive,
         "Can't open temporary file"},
        {"no memory at all", dir.File("a1"), input, [](size_t) { return false; }, LhaFailure::OutOfMemory,
         "Out of memory."},
        {"no memory for the block buffer", dir.File("a2"), input, [](size_t bytes) { return bytes > 20000; },
         LhaFailure::OutOfMemory, "Out of memory."},
        {"the device is full", "/dev/full", input, {}, LhaFailure::CannotWrite, "Can't write"},
        {"a directory as input",
         dir.File("a3"),
         dir.Path().string(),
         {},
         LhaFailure::CannotReadInput,
         "Can't read " + dir.Path().string()},
    };
    for (const Case& c : cases) {
        test::RecordingProgressSink sink;
        LhaWriter writer(sink);
        writer.LhaResetState();
        writer.SetWorkAreaGate(c.gate);
        std::string inputPath = c.inputPath;
        const LhaResult result = writer.LhaWriteArchive(inputPath, c.archive, "logo.bmp");
        EXPECT_EQ(result.failure, c.failure) << c.what;
        EXPECT_EQ(result.message, c.message) << c.what;
        EXPECT_EQ(inputPath, c.inputPath) << c.what;
    }
}

TEST(LhaWriterTest, StoredDataThatCannotBeWrittenIsReported)
{
    test::TempDir dir;
    std::string input = dir.Write("in.bin", test::RandomBytes(100000, 1));
    test::RecordingProgressSink sink;
    LhaWriter writer(sink);
    writer.LhaResetState();
    const LhaResult result = writer.LhaWriteArchive(input, "/dev/full", "logo.bmp");
    EXPECT_EQ(result.failure, LhaFailure::UnableToWrite);
    EXPECT_EQ(result.message, "Unable to write");
}

TEST(LhaWriterTest, MemberNameMustFitTheHeader)
{
    test::TempDir dir;
    PackOptions options;
    options.memberName = std::string(230, 'n');
    const PackedFile longest = Pack(dir, Text("some text, some text"), options);
    ASSERT_TRUE(longest.result) << longest.result.message;
    const ParsedArchive archive = ParseArchive(longest.archive);
    ASSERT_TRUE(archive.ok) << archive.problem;
    EXPECT_EQ(archive.headerSize, 255);
    EXPECT_EQ(archive.name, options.memberName);

    options.memberName = std::string(231, 'n');
    std::filesystem::remove(dir.File("tmp_b_pic"));
    const PackedFile tooLong = Pack(dir, Text("some text"), options);
    EXPECT_EQ(tooLong.result.failure, LhaFailure::NameTooLong);
    EXPECT_EQ(tooLong.result.message, "The member name is longer than 230 bytes.");
    EXPECT_FALSE(test::FileExists(dir.File("tmp_b_pic")));
}

TEST(LhaWriterTest, EachWindowRefillWritesADot)
{
    test::TempDir dir;
    const Bytes pattern = Text("a compressible line of text, again and again\n");
    for (const auto& [size, dots] : {std::pair<size_t, std::string>{8191, ""},
                                     {8192, "."},
                                     {16383, "."},
                                     {16384, ".."},
                                     {24576, "..."},
                                     {40000, "...."}}) {
        Bytes input;
        while (input.size() < size) input.push_back(pattern[input.size() % pattern.size()]);
        const PackedFile packed = Pack(dir, input);
        EXPECT_EQ(packed.sink.error, dots) << size;
        EXPECT_EQ(ParseArchive(packed.archive).method, "-lh5-") << size;
    }
}

TEST(LhaWriterTest, SmallerBlockBufferWhenMemoryIsShort)
{
    test::TempDir dir;
    const Bytes input = test::RandomBytes(30000, 5);
    Bytes text;  // compressible, with many literals per block
    for (uint8_t byte : input) text.push_back(static_cast<uint8_t>('a' + byte % 16));

    const PackedFile full = Pack(dir, text);
    PackOptions options;
    options.gate = [](size_t bytes) { return bytes != 16384; };
    const PackedFile shrunk = Pack(dir, text, options);

    for (const PackedFile* packed : {&full, &shrunk}) {
        const ParsedArchive archive = ParseArchive(packed->archive);
        ASSERT_TRUE(archive.ok) << archive.problem;
        ASSERT_EQ(archive.method, "-lh5-");
        const test::Lh5Decoded decoded = test::DecodeLh5(archive.data, text.size());
        ASSERT_TRUE(decoded.ok) << decoded.error;
        EXPECT_EQ(decoded.data, text);
        ASSERT_GE(decoded.blockSymbolCounts.size(), 2U);
    }
    EXPECT_NE(full.archive, shrunk.archive);  // blocks end at other places
}

TEST(LhaWriterTest, OneWriterRunsAgainWithTheSameResult)
{
    test::TempDir dir;
    const Bytes bitmap = test::RandomBytes(3000, 11);
    Bytes input;
    for (int i = 0; i < 10; ++i) input.insert(input.end(), bitmap.begin(), bitmap.begin() + 3000 - 100 * i);

    test::RecordingProgressSink sink;
    LhaWriter writer(sink);
    std::vector<Bytes> archives;
    for (const char* name : {"a-rather-long-member-name.bmp", "b.bmp", "a-rather-long-member-name.bmp"}) {
        std::string inputPath = dir.Write("in.bin", input);
        writer.LhaResetState();
        ASSERT_TRUE(writer.LhaWriteArchive(inputPath, dir.File(std::string(name) + ".lzh"), name));
        archives.push_back(test::ReadFile(dir.File(std::string(name) + ".lzh")));
    }
    EXPECT_EQ(archives[0], archives[2]);
    const ParsedArchive shortName = ParseArchive(archives[1]);
    ASSERT_TRUE(shortName.ok) << shortName.problem;
    EXPECT_EQ(shortName.data, ParseArchive(archives[0]).data);

    PackOptions options;
    options.memberName = "b.bmp";
    EXPECT_EQ(Pack(dir, input, options).archive, archives[1]);  // a fresh writer agrees
}

TEST(LhaWriterTest, ProgramWriterTakesTheLogoBuildsCall)
{
    test::TempDir dir(test::TempDir::Enter);
    std::string payload = dir.Write("tmp.tbp", Repeated(5000, 0x11));
    LhaResetState();
    const LhaResult result = LhaWriteArchive(payload, "tmp_b_pic", "logo.bmp");
    ASSERT_TRUE(result) << result.message;
    const ParsedArchive archive = ParseArchive(test::ReadFile("tmp_b_pic"));
    ASSERT_TRUE(archive.ok) << archive.problem;
    EXPECT_EQ(archive.name, "logo.bmp");
    EXPECT_EQ(archive.loadSegment, 0x4000);
}

}  // namespace
}  // namespace varlin
