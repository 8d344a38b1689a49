// Every archive of the corpus goes through the installed decoders (lha, 7z
// and bsdtar), which must test its CRC and give back the input exactly.
#include <gtest/gtest.h>

#include <functional>

#include "tests/lha/LhaCorpus.h"
#include "tests/lha/Lh5TestDecoder.h"
#include "tests/lha/LhaTestSupport.h"
#include "tests/support/Pictures.h"

namespace varlin {
namespace {

struct CorpusEntry {
    std::string name;
    std::function<Bytes()> make;
};

void PrintTo(const CorpusEntry& entry, std::ostream* out) { *out << entry.name; }

// Text of `size` bytes with repeats at all distances, for sizes around the
// window and block boundaries.
Bytes SizedText(size_t size) { return test::EnglishLikeText(size, static_cast<uint32_t>(size)); }

std::vector<CorpusEntry> Corpus()
{
    std::vector<CorpusEntry> corpus = {
        {"Empty", [] { return Bytes{}; }},
        {"OneByte", [] { return Bytes{0x42}; }},
        {"TenEqualBytes", [] { return Bytes(10, 'A'); }},
        {"RandomStored", [] { return test::RandomBytes(5000, 1); }},
        {"Zeros20000", [] { return Bytes(20000, 0); }},
        {"RunsAroundTheLongestMatch", [] { return test::RunsAroundTheLongestMatch(); }},
        {"Text100k", [] { return test::EnglishLikeText(100000, 4); }},
        {"ManyLiteralBlocks", [] { return test::LowEntropyBytes(100000, 5); }},
        {"ZerosThenRandom",
         [] {
             Bytes bytes(10000, 0);
             const Bytes random = test::RandomBytes(50000, 6);
             bytes.insert(bytes.end(), random.begin(), random.end());
             return bytes;
         }},
        {"RandomThenText",
         [] {
             Bytes bytes = test::RandomBytes(9000, 7);
             const Bytes text = test::EnglishLikeText(30000, 7);
             bytes.insert(bytes.end(), text.begin(), text.end());
             return bytes;
         }},
        {"Bitmap640x480", [] { return test::MakeBmp(test::MakeIndexedPicture(640, 480)); }},
        {"Bitmap16Colours", [] { return test::MakeBmp(test::MakeIndexedPicture(200, 100, 16)); }},
        {"LogoPayload640x480", [] { return test::LogoPayload(640, 480); }},
        {"Jpeg800x600", [] { return test::MakeJpeg(800, 600); }},
        {"ProgramLs", [] { return test::ReadFile("/bin/ls"); }},
        {"ProgramCmakeOver1MiB", [] { return test::ReadFile("/usr/bin/cmake"); }},
        {"Mixed1MiB", [] { return test::MixedCorpus(1 << 20); }},
    };
    for (const size_t size : {8191U, 8192U, 8193U, 16383U, 16384U, 16385U, 16639U, 16640U, 16641U, 24576U, 32769U}) {
        corpus.push_back({"Text" + std::to_string(size), [size] { return SizedText(size); }});
    }
    return corpus;
}

class LhaRoundTripTest : public ::testing::TestWithParam<CorpusEntry> {};

TEST_P(LhaRoundTripTest, DecodersGiveBackTheInput)
{
    const Bytes input = GetParam().make();
    if (GetParam().name.rfind("Program", 0) == 0) {
        ASSERT_FALSE(input.empty()) << "system program missing";
    }

    test::TempDir dir;
    const test::PackedFile packed = test::Pack(dir, input);
    ASSERT_TRUE(packed.result) << packed.result.message;
    const test::ParsedArchive archive = test::ParseArchive(packed.archive);
    ASSERT_TRUE(archive.ok) << archive.problem;
    EXPECT_EQ(archive.originalSize, input.size());
    EXPECT_EQ(archive.crc, test::ReferenceCrc16(input));
    EXPECT_LE(archive.packedSize, input.size());
    if (archive.method == "-lh5-") {
        const test::Lh5Decoded decoded = test::DecodeLh5(archive.data, input.size());
        ASSERT_TRUE(decoded.ok) << decoded.error;
        EXPECT_TRUE(decoded.data == input);
        EXPECT_LE((decoded.bitsRead + 7) / 8, archive.data.size());
    } else {
        ASSERT_EQ(archive.method, "-lh0-");
        EXPECT_TRUE(archive.data == input);
    }
    EXPECT_EQ(test::CheckWithDecoders(dir.File("tmp_b_pic"), input), "");
}

INSTANTIATE_TEST_SUITE_P(Corpus, LhaRoundTripTest, ::testing::ValuesIn(Corpus()),
                         [](const ::testing::TestParamInfo<CorpusEntry>& entry) { return entry.param.name; });

}  // namespace
}  // namespace varlin
