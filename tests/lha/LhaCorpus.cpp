#include "tests/lha/LhaCorpus.h"

#include <array>
#include <cmath>
#include <functional>
#include <random>

#include "tests/support/Pictures.h"
#include "tests/support/TempDir.h"

namespace varlin::test {

Bytes EnglishLikeText(size_t size, uint32_t seed)
{
    static const std::array<const char*, 24> words = {"the",    "logo",    "picture", "is",      "packed", "into",
                                                      "an",     "archive", "and",     "written", "to",     "flash",
                                                      "memory", "of",      "board",   "before",  "every",  "boot",
                                                      "shows",  "it",      "BIOS",    "image",   "with",   "palette"};
    std::mt19937 random(seed);
    Bytes text;
    while (text.size() < size) {
        const char* word = words[random() % words.size()];
        text.insert(text.end(), word, word + std::char_traits<char>::length(word));
        const unsigned pick = random() % 16;
        text.push_back(pick == 0 ? '\n' : pick == 1 ? ',' : ' ');
        if (pick == 2) text.push_back(static_cast<uint8_t>('0' + random() % 10));
    }
    text.resize(size);
    return text;
}

Bytes LowEntropyBytes(size_t size, uint32_t seed)
{
    std::mt19937 random(seed);
    Bytes bytes(size);
    for (uint8_t& byte : bytes) byte = static_cast<uint8_t>('a' + random() % 16);
    return bytes;
}

Bytes RunsAroundTheLongestMatch()
{
    Bytes bytes;
    uint8_t value = 1;
    for (const size_t length : {3U, 255U, 256U, 257U, 258U, 511U, 512U, 513U, 1000U, 4U, 8192U, 300U}) {
        bytes.insert(bytes.end(), length, value);
        value = static_cast<uint8_t>(value * 7 + 3);
        bytes.push_back(value);  // a break between runs
    }
    return bytes;
}

namespace {

// An 8-bit bitmap of the picture as the logo build packs it: the header
// word in place of "BM".
Bytes PayloadOf(int width, int height, const std::function<unsigned(int x, int y)>& colourAt)
{
    IndexedPicture picture = MakeIndexedPicture(width, height, 256, 9);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            picture.pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] =
                static_cast<uint8_t>(colourAt(x, y));
        }
    }
    Bytes payload = MakeBmp(picture);
    payload[0] = 0x00;  // the header word: centred, no post message
    payload[1] = 0x00;
    return payload;
}

}  // namespace

Bytes LogoPayload(int width, int height)
{
    std::mt19937 random(5);
    return PayloadOf(width, height, [&](int x, int y) {
        unsigned value = static_cast<unsigned>(y * 64 / height);  // background bands
        const int dx = x - width / 2;
        const int dy = y - height / 2;
        if (dx * dx + dy * dy < (height / 3) * (height / 3)) value = 100 + static_cast<unsigned>((x / 8) % 4);
        if (x > width / 8 && x < width / 3 && y > height / 6 && y < height / 4) value = 200;
        if (random() % 50 == 0) value = random() % 256;
        return value;
    });
}

Bytes FlatLogoPayload(int width, int height)
{
    return PayloadOf(width, height, [&](int x, int y) {
        const int dx = x - width / 2;
        const int dy = y - height / 2;
        if (dx * dx + dy * dy < (height / 4) * (height / 4)) return 12U;
        if (y > height * 3 / 4 && y < height * 3 / 4 + 24 && (x / 16) % 3 != 2) return 15U;  // a line of letters
        return y < height / 8 ? 1U : 0U;
    });
}

Bytes PlasmaPayload(int width, int height)
{
    std::mt19937 random(11);
    return PayloadOf(width, height, [&](int x, int y) {
        const double field = std::sin(x / 17.0) + std::sin(y / 23.0) + std::sin((x + y) / 31.0) +
                             std::sin(std::hypot(x - width / 3, y - height / 2) / 13.0);
        return static_cast<unsigned>(128 + 30 * field) + random() % 5;
    });
}

Bytes MixedCorpus(size_t size)
{
    const Bytes program = ReadFile("/bin/ls");
    const Bytes pieces[] = {
        EnglishLikeText(size / 5, 1), program.empty() ? LowEntropyBytes(size / 5, 2) : program,
        LogoPayload(640, 480),        MakeJpeg(320, 240),
        RunsAroundTheLongestMatch(),  LowEntropyBytes(size / 10, 3),
    };
    Bytes corpus;
    for (size_t i = 0; corpus.size() < size; ++i) {
        const Bytes& piece = pieces[i % std::size(pieces)];
        const size_t take = std::min(piece.size(), size / 4);
        corpus.insert(corpus.end(), piece.begin(), piece.begin() + static_cast<std::ptrdiff_t>(take));
    }
    corpus.resize(size);
    return corpus;
}

}  // namespace varlin::test
