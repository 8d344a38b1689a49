// Static Huffman codes for one block of the -lh5- stream.  The tie-breaks of
// the heap and the way over-long codes are shortened fix the code lengths,
// and with them the exact bytes of the stream.
#pragma once

#include <array>
#include <cstdint>

#include "lha/LhaProgress.h"

namespace varlin {

// The largest alphabet: 256 literal bytes and 254 match lengths.
inline constexpr int kMaxHuffmanSymbols = 510;
inline constexpr int kMaxCodeLength = 16;

class HuffmanTreeBuilder {
public:
    explicit HuffmanTreeBuilder(LhaProgressSink& sink) : sink(sink) {}

    // Builds the code for the n symbols whose counts are freq[0..n-1]; freq
    // must have room for 2n - 1 entries (the inner nodes).  Fills len[0..n-1]
    // and the canonical code[0..n-1].  Returns the root: a node number of n or
    // more when two or more symbols occur, else the one symbol that occurs
    // (0 when none does), whose code is 0 and whose length stays 0.
    int BuildHuffmanTree(int n, uint32_t* freq, uint8_t* len, uint32_t* code);

private:
    void SiftDown(int i, const uint32_t* freq);
    void CountLeafDepths(int root, int n);
    void LimitCodeLengths();

    LhaProgressSink& sink;
    std::array<uint16_t, 2 * kMaxHuffmanSymbols - 1> left{};
    std::array<uint16_t, 2 * kMaxHuffmanSymbols - 1> right{};
    std::array<uint16_t, kMaxHuffmanSymbols + 1> heap{};  // 1-based
    int heapSize = 0;
    std::array<uint16_t, kMaxHuffmanSymbols> leafOrder{};  // symbols as they left the heap
    int leafCount = 0;
    std::array<uint32_t, kMaxCodeLength + 2> depthCount{};  // depthCount[d]: leaves of length d
};

}  // namespace varlin
