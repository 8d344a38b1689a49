#include "lha/HuffmanTree.h"

namespace varlin {

void HuffmanTreeBuilder::SiftDown(int i, const uint32_t* freq)
{
    const int moved = heap[i];
    for (int child = 2 * i; child <= heapSize; child = 2 * i) {
        // The smaller child; the left one when both are equal.
        if (child < heapSize && freq[heap[child]] > freq[heap[child + 1]]) ++child;
        if (freq[moved] <= freq[heap[child]]) break;
        heap[i] = heap[child];
        i = child;
    }
    heap[i] = static_cast<uint16_t>(moved);
}

void HuffmanTreeBuilder::CountLeafDepths(int root, int n)
{
    depthCount.fill(0);
    struct Visit {
        uint16_t node;
        uint16_t depth;
    };
    std::array<Visit, 2 * kMaxHuffmanSymbols> pending;
    int top = 0;
    pending[top++] = {static_cast<uint16_t>(root), 0};
    while (top > 0) {
        const Visit visit = pending[--top];
        if (visit.node < n) {
            ++depthCount[visit.depth < kMaxCodeLength ? visit.depth : kMaxCodeLength];
            continue;
        }
        const uint16_t depth = static_cast<uint16_t>(visit.depth + 1);
        pending[top++] = {left[visit.node], depth};
        pending[top++] = {right[visit.node], depth};
    }
}

// Codes deeper than 16 were counted at 16, which overfills the code space;
// each round takes one 16-bit code away and splits the longest shorter code
// in two, until the lengths describe a complete code again.
void HuffmanTreeBuilder::LimitCodeLengths()
{
    uint32_t kraftSum = 0;
    for (int d = 1; d <= kMaxCodeLength; ++d) kraftSum += depthCount[d] << (kMaxCodeLength - d);
    while (kraftSum != 1U << kMaxCodeLength) {
        sink.WriteError("17");
        --depthCount[kMaxCodeLength];
        for (int d = kMaxCodeLength - 1; d > 0; --d) {
            if (depthCount[d] != 0) {
                --depthCount[d];
                depthCount[d + 1] += 2;
                break;
            }
        }
        --kraftSum;
    }
}

int HuffmanTreeBuilder::BuildHuffmanTree(int n, uint32_t* freq, uint8_t* len, uint32_t* code)
{
    heapSize = 0;
    heap[1] = 0;
    for (int i = 0; i < n; ++i) {
        len[i] = 0;
        if (freq[i] != 0) heap[++heapSize] = static_cast<uint16_t>(i);
    }
    if (heapSize < 2) {
        code[heap[1]] = 0;
        return heap[1];
    }

    for (int i = heapSize / 2; i >= 1; --i) SiftDown(i, freq);

    leafCount = 0;
    int nextNode = n;
    int node = n;
    do {
        const int i = heap[1];
        if (i < n) leafOrder[leafCount++] = static_cast<uint16_t>(i);
        heap[1] = heap[heapSize--];
        SiftDown(1, freq);
        const int j = heap[1];
        if (j < n) leafOrder[leafCount++] = static_cast<uint16_t>(j);
        node = nextNode++;
        freq[node] = freq[i] + freq[j];
        left[node] = static_cast<uint16_t>(i);
        right[node] = static_cast<uint16_t>(j);
        heap[1] = static_cast<uint16_t>(node);
        SiftDown(1, freq);
    } while (heapSize > 1);

    CountLeafDepths(node, n);
    LimitCodeLengths();

    // The least frequent symbols, which left the heap first, take the longest codes.
    int leaf = 0;
    for (int d = kMaxCodeLength; d > 0; --d) {
        for (uint32_t k = 0; k < depthCount[d]; ++k) len[leafOrder[leaf++]] = static_cast<uint8_t>(d);
    }

    std::array<uint32_t, kMaxCodeLength + 2> start{};
    for (int d = 1; d <= kMaxCodeLength; ++d) start[d + 1] = (start[d] + depthCount[d]) << 1;
    for (int i = 0; i < n; ++i) code[i] = len[i] != 0 ? start[len[i]]++ : 0;
    return node;
}

}  // namespace varlin
