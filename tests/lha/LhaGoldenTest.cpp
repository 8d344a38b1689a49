// The exact archives the writer makes for a fixed generated corpus, kept as
// sizes and fingerprints.  Which match the finder takes among equals, the
// lazy rule, where blocks end and how the Huffman codes come out all shape
// these bytes, and BIOS images already in users' hands hold them: any change
// to how they are computed (a faster match finder, say) must leave every
// fingerprint as it stands.  The values were taken from the first version
// of the writer.
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <functional>
#include <random>

#include "tests/lha/LhaCorpus.h"
#include "tests/lha/LhaTestSupport.h"
#include "tests/support/Pictures.h"

namespace varlin {
namespace {

struct GoldenArchive {
    const char* name;
    std::function<Bytes()> make;
    size_t archiveSize;
    uint64_t fingerprint;
};

void PrintTo(const GoldenArchive& golden, std::ostream* out) { *out << golden.name; }

// FNV-1a over the archive bytes.
uint64_t Fingerprint(const Bytes& bytes)
{
    uint64_t hash = 0xCBF29CE484222325ULL;
    for (const uint8_t byte : bytes) hash = (hash ^ byte) * 0x100000001B3ULL;
    return hash;
}

Bytes Concatenated(std::initializer_list<Bytes> pieces)
{
    Bytes all;
    for (const Bytes& piece : pieces) all.insert(all.end(), piece.begin(), piece.end());
    return all;
}

// A repeating pattern of runs with a little noise, as in a dithered or
// hatched picture: many earlier strings share long prefixes with each new one.
Bytes NoisyPattern(size_t size, size_t period, uint32_t seed)
{
    std::mt19937 random(seed);
    Bytes bytes(size);
    for (size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<uint8_t>(100 + (i % period) * 4 / period);
        if (random() % 50 == 0) bytes[i] = static_cast<uint8_t>(random());
    }
    return bytes;
}

Bytes SizedText(size_t size) { return test::EnglishLikeText(size, static_cast<uint32_t>(size)); }

const GoldenArchive kGoldenArchives[] = {
    {"Zeros20000", [] { return Bytes(20000, 0); }, 57, 0xB63653BD2F31FBB4ULL},
    {"RunsAroundTheLongestMatch", [] { return test::RunsAroundTheLongestMatch(); }, 87, 0xB3150DBF620212B2ULL},
    {"Text8191", [] { return SizedText(8191); }, 2236, 0x2820CCB4F0044005ULL},
    {"Text8192", [] { return SizedText(8192); }, 2233, 0xDEBB295B0B608E03ULL},
    {"Text8193", [] { return SizedText(8193); }, 2211, 0xAD64A3ACD9596AF8ULL},
    {"Text8448", [] { return SizedText(8448); }, 2283, 0x58843F99EB3081B6ULL},
    {"Text16383", [] { return SizedText(16383); }, 4121, 0xF389075A4E15FFBFULL},
    {"Text16384", [] { return SizedText(16384); }, 4077, 0xFA1671D9DB60E0A1ULL},
    {"Text16385", [] { return SizedText(16385); }, 4122, 0xC171CE833FEFAA33ULL},
    {"Text16639", [] { return SizedText(16639); }, 4142, 0x030AA7FE2E3BB0F1ULL},
    {"Text16640", [] { return SizedText(16640); }, 4138, 0xA65B77F269D0D813ULL},
    {"Text16641", [] { return SizedText(16641); }, 4225, 0xF749FEB502C95A75ULL},
    {"Text24832", [] { return SizedText(24832); }, 5925, 0xE9FD4321DCC6DEA5ULL},
    {"Text100000", [] { return SizedText(100000); }, 22997, 0x61506A3AB13C2E5BULL},
    {"ManyLiteralBlocks", [] { return test::LowEntropyBytes(100000, 5); }, 56727, 0xD5002763478570C8ULL},
    {"LogoPayload640x480", [] { return test::LogoPayload(640, 480); }, 22229, 0xECD419D86D182A48ULL},
    {"Bitmap16Colours", [] { return test::MakeBmp(test::MakeIndexedPicture(200, 100, 16)); }, 8059,
     0xDCC7C5655E979E6EULL},
    {"Hatching32", [] { return NoisyPattern(60000, 32, 7); }, 3856, 0x741C2CB7FB27DA66ULL},
    {"Hatching3", [] { return NoisyPattern(30000, 3, 8); }, 2037, 0x79D06C7FBDB1F503ULL},
    {"RandomThenText",
     [] {
         return Concatenated({test::RandomBytes(9000, 7), test::EnglishLikeText(30000, 7)});
     },
     17153, 0x1E4A02E649960158ULL},
    {"RunsTextPictureLetters",
     [] {
         return Concatenated({test::RunsAroundTheLongestMatch(), test::EnglishLikeText(50000, 9),
                              test::LogoPayload(320, 240), test::LowEntropyBytes(40000, 10),
                              test::RunsAroundTheLongestMatch()});
     },
     42869, 0x1070A81552EA59F3ULL},
};

class LhaGoldenTest : public ::testing::TestWithParam<GoldenArchive> {};

TEST_P(LhaGoldenTest, ArchiveIsTheOneFirstWritten)
{
    const GoldenArchive& golden = GetParam();
    test::TempDir dir;
    const test::PackedFile packed = test::Pack(dir, golden.make());
    ASSERT_TRUE(packed.result) << packed.result.message;
    char actual[64];
    std::snprintf(actual, sizeof actual, "%zu, 0x%016" PRIX64, packed.archive.size(), Fingerprint(packed.archive));
    EXPECT_EQ(packed.archive.size(), golden.archiveSize) << "actual: " << actual;
    EXPECT_EQ(Fingerprint(packed.archive), golden.fingerprint) << "actual: " << actual;
}

INSTANTIATE_TEST_SUITE_P(Corpus, LhaGoldenTest, ::testing::ValuesIn(kGoldenArchives),
                         [](const ::testing::TestParamInfo<GoldenArchive>& entry) { return entry.param.name; });

}  // namespace
}  // namespace varlin
