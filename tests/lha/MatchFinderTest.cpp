// The program's match finder against two references.  Its bytes are the
// contract: every archive must stay byte for byte what the writer's first
// finder, the suffix trie, made of the same input.
//  - On short strings over two or three letters, where long, periodic and
//    equally long matches abound, every search is checked against a
//    brute-force longest-nearest search on the same window.
//  - A broad generated corpus is packed by the writer and encoded with the
//    trie; the member data must be the same bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <random>
#include <string>

#include "lha/Lh5Encoder.h"
#include "tests/lha/LhaCorpus.h"
#include "tests/lha/LhaTestSupport.h"
#include "tests/lha/TrieMatchFinder.h"
#include "tests/support/Pictures.h"

namespace varlin {
namespace {

// Moves `input` through the finder's window as the encoder does (the same
// reads, the same slides) and calls visit(index, window, pos) at each input
// position, after which the position must have been entered.
void WalkWindow(MatchFinder& finder, const Bytes& input,
                const std::function<void(size_t, const uint8_t*, unsigned)>& visit)
{
    uint8_t* text = finder.Text();
    size_t read = std::min(input.size(), kWindowFill);
    std::copy_n(input.begin(), read, text + DICT_SIZE);
    unsigned pos = DICT_SIZE;
    for (size_t index = 0; index < input.size(); ++index, ++pos) {
        if (pos == 2 * DICT_SIZE) {
            std::memmove(text, text + DICT_SIZE, kWindowFill);
            const size_t more = std::min<size_t>(input.size() - read, DICT_SIZE);
            std::copy_n(input.begin() + static_cast<std::ptrdiff_t>(read), more, text + kWindowFill);
            read += more;
            pos = DICT_SIZE;
            finder.SlideWindow();
        }
        visit(index, text, pos);
    }
}

// The longest match of up to 256 bytes among the `reach` positions before
// pos, the nearest of equals, compared on the window as it stands.
Lh5Match BruteForceMatch(const uint8_t* text, unsigned pos, unsigned reach)
{
    Lh5Match best;
    for (unsigned distance = 1; distance <= reach; ++distance) {
        unsigned length = 0;
        while (length < MAX_MATCH && text[pos + length] == text[pos - distance + length]) ++length;
        if (length > best.length) best = {length, distance};
    }
    return best.length >= MIN_MATCH ? best : Lh5Match{};
}

// Strings over a few letters, 0 among them (the window holds zeros before
// the input and after it): a short repeating pattern with errors gives
// runs and periodic stretches.
Bytes FewLetters(std::mt19937& random, size_t size)
{
    const unsigned letters = 2 + random() % 2;
    const unsigned period = 1 + random() % 12;
    const unsigned errorsIn = 2 + random() % 40;
    const unsigned bias = random() % 3;
    Bytes pattern(period);
    for (uint8_t& byte : pattern) byte = static_cast<uint8_t>(random() % letters);
    Bytes bytes(size);
    for (size_t i = 0; i < size; ++i) {
        const bool periodic = bias != 0 && random() % errorsIn != 0;
        bytes[i] = periodic ? pattern[i % period] : static_cast<uint8_t>(random() % letters);
    }
    return bytes;
}

std::string Letters(const Bytes& bytes)
{
    std::string letters;
    for (const uint8_t byte : bytes) letters += static_cast<char>('0' + byte);
    return letters;
}

TEST(MatchFinderTest, FindsTheLongestNearestMatchOnFewLetters)
{
    std::mt19937 random(2024);
    MatchFinder finder;
    ASSERT_TRUE(finder.AllocateWorkAreas({}));
    int checked = 0;
    // Short strings, every second position or so searched; then a few long
    // enough to slide the window, searched here and there.
    for (int round = 0; round < 420; ++round) {
        const bool slides = round >= 400;
        const Bytes input = FewLetters(random, slides ? 17000 + random() % 9000 : 1 + random() % 700);
        const unsigned searchOneIn = slides ? 97 : 1 + random() % 3;
        finder.Start();
        WalkWindow(finder, input, [&](size_t index, const uint8_t* text, unsigned pos) {
            if (random() % searchOneIn != 0) {
                finder.Insert(pos);
                return;
            }
            const Lh5Match found = finder.Find(pos);
            const Lh5Match expected =
                BruteForceMatch(text, pos, static_cast<unsigned>(std::min<size_t>(index, DICT_SIZE - 1)));
            ++checked;
            if (found != expected) {
                ADD_FAILURE() << "round " << round << ", position " << index << " of " << input.size() << ": found "
                              << found.length << " at " << found.distance << ", expected " << expected.length << " at "
                              << expected.distance << "\ninput: " << Letters(input);
                return;
            }
        });
        if (HasFailure()) break;
    }
    EXPECT_GT(checked, 50000);
}

// The member data of `input` as an encoder with the trie makes it, or
// nothing when the stream would outgrow the input (the member is stored).
struct ReferenceMember {
    bool stored = false;
    Bytes data;
};

ReferenceMember EncodeWithTheTrie(const test::TempDir& dir, const std::string& inputPath)
{
    test::RecordingProgressSink sink;
    LhaRunState run(sink);
    run.crcTable.BuildTable();
    run.StartMember();
    const std::string streamPath = dir.File("reference.lh5");
    run.input = std::fopen(inputPath.c_str(), "rb");
    run.archive = std::fopen(streamPath.c_str(), "wb");
    Lh5BlockCoder coder(run, sink);
    BasicLh5Encoder<test::TrieMatchFinder> encoder(run, coder);
    EXPECT_TRUE(encoder.Encode());
    encoder.ReleaseWorkAreas();
    std::fclose(run.input);
    std::fclose(run.archive);
    return {run.notCompressible, test::ReadFile(streamPath)};
}

struct Sample {
    std::string name;
    Bytes bytes;
};

// `pattern` repeated to `size` bytes, one byte in `noiseOneIn` replaced by a random one.
Bytes Periodic(const Bytes& pattern, size_t size, unsigned noiseOneIn, std::mt19937& random)
{
    Bytes bytes(size);
    for (size_t i = 0; i < size; ++i) {
        bytes[i] = noiseOneIn != 0 && random() % noiseOneIn == 0 ? static_cast<uint8_t>(random())
                                                                 : pattern[i % pattern.size()];
    }
    return bytes;
}

// The corpus: random bytes, runs around the longest match, periodic stretches
// with noise, blocks repeated at the edge of the window's reach, inputs that
// end near a window slide, text, pictures and the mixed corpus.
std::vector<Sample> DifferentialCorpus()
{
    std::mt19937 random(77);
    std::vector<Sample> corpus;
    auto add = [&corpus](std::string name, Bytes bytes) { corpus.push_back({std::move(name), std::move(bytes)}); };

    for (const size_t size : {0U, 1U, 2U, 3U, 4U, 10U, 300U, 5000U, 70000U}) {
        add("random" + std::to_string(size), test::RandomBytes(size, static_cast<uint32_t>(size)));
    }
    for (int i = 0; i < 6; ++i) {
        Bytes runs;
        while (runs.size() < 40000) {
            const size_t length = i < 3 ? 250 + random() % 13 : 1 + random() % 600;
            runs.insert(runs.end(), length, static_cast<uint8_t>(random() % (i % 3 + 2)));
        }
        add("runs" + std::to_string(i), runs);
    }
    for (unsigned period = 1; period <= 20; ++period) {
        const Bytes pattern = test::RandomBytes(period, period);
        add("period" + std::to_string(period), Periodic(pattern, 12000 + period * 997, 15 + period * 20, random));
    }
    for (const unsigned distance : {8189U, 8190U, 8191U, 8192U, 8193U, 8194U, 16383U, 16384U, 16385U}) {
        // A block, filler, the block again `distance` bytes after its first
        // copy, and so on; the filler is text or random bytes.
        const Bytes block = test::RandomBytes(200 + distance % 700, distance);
        const Bytes filler =
            distance % 2 == 0 ? test::EnglishLikeText(distance, distance) : test::RandomBytes(distance, distance);
        Bytes bytes;
        for (int copy = 0; copy < 4; ++copy) {
            bytes.insert(bytes.end(), block.begin(), block.end());
            bytes.insert(bytes.end(), filler.begin(), filler.begin() + (distance - block.size()));
        }
        add("repeatsAt" + std::to_string(distance), bytes);
    }
    // Ends around the window slides: the bytes beyond the end are zeros on
    // the first window and stale input after a slide, and both shape which
    // of equal candidates is taken near the end.
    for (const size_t edge : {8192U, 8448U, 16384U, 16640U, 24576U, 24832U}) {
        for (const int delta : {-3, -1, 0, 1, 2, 200}) {
            const size_t size = edge + static_cast<size_t>(delta);
            add("text" + std::to_string(size), test::EnglishLikeText(size, static_cast<uint32_t>(size)));
            add("hatching" + std::to_string(size), Periodic({1, 1, 2, 3, 3, 3}, size, 40, random));
            Bytes zeros(size, 0);
            zeros[size / 2] = 7;
            add("zeros" + std::to_string(size), zeros);
        }
    }
    add("letters", test::LowEntropyBytes(60000, 3));
    add("logo640x480", test::LogoPayload(640, 480));
    add("bitmap16Colours", test::MakeBmp(test::MakeIndexedPicture(300, 200, 16)));
    add("bitmap256Colours", test::MakeBmp(test::MakeIndexedPicture(320, 240)));
    add("jpeg", test::MakeJpeg(320, 240));
    add("mixed1MiB", test::MixedCorpus(1 << 20));
    return corpus;
}

TEST(MatchFinderTest, ArchivesAreTheTriesByteForByte)
{
    test::TempDir dir;
    for (const Sample& sample : DifferentialCorpus()) {
        const test::PackedFile packed = test::Pack(dir, sample.bytes);
        ASSERT_TRUE(packed.result) << sample.name << ": " << packed.result.message;
        const test::ParsedArchive archive = test::ParseArchive(packed.archive);
        ASSERT_TRUE(archive.ok) << sample.name << ": " << archive.problem;
        const ReferenceMember reference = EncodeWithTheTrie(dir, dir.File("input.bin"));
        if (reference.stored) {
            EXPECT_EQ(archive.method, "-lh0-") << sample.name;
        } else {
            EXPECT_EQ(archive.method, "-lh5-") << sample.name;
            EXPECT_TRUE(archive.data == reference.data) << sample.name << ": " << archive.data.size()
                                                        << " bytes where the trie gives " << reference.data.size();
        }
    }
}

}  // namespace
}  // namespace varlin
