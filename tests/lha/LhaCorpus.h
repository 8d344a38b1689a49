// Inputs for the archive writer's round trips and benchmarks: text, runs,
// pictures as the logo build packs them, and a mixed corpus.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/support/Files.h"

namespace varlin::test {

// Words, punctuation and line breaks, like a README.
Bytes EnglishLikeText(size_t size, uint32_t seed);

// Bytes from a 16-letter alphabet: many literals, few long matches.
Bytes LowEntropyBytes(size_t size, uint32_t seed);

// Runs of one byte with lengths around the longest match (255, 256, 257, 512 ...).
Bytes RunsAroundTheLongestMatch();

// A logo as users draw it: a gradient background, filled shapes and a
// little noise, as an 8-bit bitmap turned into the logo payload (the header
// word in place of "BM").
Bytes LogoPayload(int width, int height);

// A logo of a few flat colours: a disc, a band and a line of block letters.
Bytes FlatLogoPayload(int width, int height);

// A smooth colour field with a little noise, as photographs and plasma
// pictures have: few exact repeats, many short matches.
Bytes PlasmaPayload(int width, int height);

// About `size` bytes of everything above, a real program of the system and
// a JPEG, in pieces.
Bytes MixedCorpus(size_t size);

}  // namespace varlin::test
