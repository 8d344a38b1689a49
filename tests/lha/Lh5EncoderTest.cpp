// How the input is parsed into literals and matches: the lazy rule, the
// newest of equal candidates, and matches cut to the real input.
#include <gtest/gtest.h>

#include "tests/lha/Lh5TestDecoder.h"
#include "tests/lha/LhaTestSupport.h"

namespace varlin {
namespace {

using test::Lh5Token;
using test::Literal;
using test::Match;

std::vector<Lh5Token> Literals(const std::string& text)
{
    std::vector<Lh5Token> tokens;
    for (const char c : text) tokens.push_back(Literal(static_cast<uint8_t>(c)));
    return tokens;
}

std::vector<Lh5Token> Join(std::vector<Lh5Token> first, const std::vector<Lh5Token>& second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

// Packs the text followed by a long zero run (so that the member is
// compressed rather than stored) and returns the symbols of the text part.
std::vector<Lh5Token> ParseOf(const std::string& text, size_t symbols)
{
    test::TempDir dir;
    Bytes input(text.begin(), text.end());
    input.resize(input.size() + 3000, 0);
    const test::PackedFile packed = test::Pack(dir, input);
    const test::ParsedArchive archive = test::ParseArchive(packed.archive);
    EXPECT_EQ(archive.method, "-lh5-");
    const test::Lh5Decoded decoded = test::DecodeLh5(archive.data, input.size());
    EXPECT_TRUE(decoded.ok) << decoded.error;
    EXPECT_EQ(decoded.data, input);
    if (decoded.tokens.size() < symbols) return decoded.tokens;
    return {decoded.tokens.begin(), decoded.tokens.begin() + static_cast<std::ptrdiff_t>(symbols)};
}

TEST(Lh5EncoderTest, ParseFollowsTheLazyRule)
{
    struct Case {
        const char* what;
        std::string text;
        std::vector<Lh5Token> tokens;
    };
    const Case cases[] = {
        {"a longer match one byte on wins over a match of 3", "abcQQbcdeRRabcde",
         Join(Literals("abcQQbcdeRRa"), {Match(4, 7)})},
        {"an equally long match one byte on does not", "abcQbcdRabcd", Join(Literals("abcQbcdR"), {Match(3, 8)})},
        {"a shorter match one byte on does not", "abcdeXXabcdeYY", Join(Literals("abcdeXX"), {Match(5, 7)})},
        {"among equal candidates the newest", "abcXabcYabcZ",
         Join(Join(Literals("abcX"), {Match(3, 4)}), Join(Literals("Y"), {Match(3, 4)}))},
        {"matches overlap their source", "xyzxyzxyzxyzQ", Join(Literals("xyz"), {Match(9, 3)})},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseOf(c.text, c.tokens.size()), c.tokens) << c.what;
}

TEST(Lh5EncoderTest, RunsBecomeMatchesOfAtMost256)
{
    std::string text = "Q";
    text += std::string(600, 'r');
    text += "Q";
    const std::vector<Lh5Token> tokens = ParseOf(text, 5);
    EXPECT_EQ(tokens, (std::vector<Lh5Token>{Literal('Q'), Literal('r'), Match(256, 1), Match(256, 1), Match(87, 1)}));
}

}  // namespace
}  // namespace varlin
