// The archive writer's first match finder, kept as the reference the
// program's finder is held against: a suffix trie over the last 8192
// positions of the input window, with the children of each node kept in
// hash chains.  It finds, for every position, the longest earlier match of
// up to 256 bytes, and which of several equally long matches is taken is
// part of what fixes the compressed bytes.  It searches at every position,
// also where the parse only needs the position entered.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "lha/CommonPrefix.h"
#include "lha/Lh5Window.h"
#include "lha/LhaRunState.h"

namespace varlin::test {

inline constexpr unsigned ROOT_BASE = 8192;  // node number of the first of the 256 roots

// Node numbers share one space: 0 is none, 1 to 8191 are branch nodes,
// ROOT_BASE + c roots, and 8192 to 16383 are also the leaves (a leaf's
// number is its window position).
inline constexpr unsigned NIL = 0;
inline constexpr size_t kTreeNodes = ROOT_BASE + 256;    // branch and root nodes
inline constexpr size_t kLinkedNodes = 2 * DICT_SIZE;    // branch nodes and leaves
inline constexpr size_t kChainHeadBase = 2 * DICT_SIZE;  // next[] entries from here on are chain heads
inline constexpr unsigned kChainHeadBits = 15;
inline constexpr size_t kNextEntries = kChainHeadBase + (size_t{1} << kChainHeadBits);

// The work areas of the match finder, taken once per run.
struct MatchTrieArrays {
    uint8_t text[kWindowSize + kCommonPrefixOverread];  // the window, then zeros for word-wise comparisons
    uint8_t level[kTreeNodes];                          // prefix length a branch or root node stands for
    uint8_t childCount[kTreeNodes];                     // children of a branch or root node
    uint16_t childSum[kTreeNodes];  // the children's numbers xor-ed: the last child left, when there is one
    uint32_t position[DICT_SIZE];   // newest position that passed through a branch node
    uint32_t parent[kLinkedNodes];  // the parent and its level (see ParentEntry); 0 when not in the trie
    uint32_t prev[kLinkedNodes];    // backward link in the node's hash chain
    uint32_t next[kNextEntries];    // chain links (see ChainLink) and heads; free list; replacement leaf
};

class TrieMatchFinder {
public:
    // The calls the encoder makes on a match finder (see MatchFinder).
    bool AllocateWorkAreas(const WorkAreaGate& gate);
    void ReleaseWorkAreas();
    void Start()
    {
        InitTrie();
        matchLength = 0;
    }
    void SlideWindow() {}  // leaf numbers are positions modulo 8192 already
    void Insert(unsigned first, unsigned count = 1)
    {
        for (unsigned at = first; at < first + count; ++at) Find(at);
    }
    Lh5Match Find(unsigned at)
    {
        pos = at;
        RemoveOldest();
        FindMatch();
        return matchLength >= MIN_MATCH ? Lh5Match{matchLength, pos - matchPos} : Lh5Match{};
    }

    // An empty trie and a zeroed window, for a new member.
    void InitTrie();

    // Inserts the current position and finds its longest earlier match, into
    // matchLength and matchPos.  matchLength carries over from the previous
    // call, which lets a long match continue from where the last one ended.
    void FindMatch();

    // Takes the position that just left the window (leaf number `pos`) out
    // of the trie.
    void RemoveOldest();

    uint8_t* Text() { return arrays[0].text; }

    unsigned pos = DICT_SIZE;
    unsigned matchLength = 0;
    unsigned matchPos = 0;

private:
    // A chain may hold children of several nodes, but never two children of
    // one node: those get consecutive heads.  So a walk need only compare
    // parents.
    static unsigned ChainHead(unsigned q, unsigned c)
    {
        const unsigned spread = q * 2654435761U >> (32 - kChainHeadBits);
        return ((spread + c) & ((1U << kChainHeadBits) - 1)) + static_cast<unsigned>(kChainHeadBase);
    }
    // A parent entry holds the parent's level above its number, so that a
    // climb towards the root reads one entry per step.
    static uint32_t ParentEntry(unsigned node, unsigned level) { return node | level << 16; }
    static unsigned ParentNode(uint32_t entry) { return entry & 0xFFFF; }
    static unsigned ParentLevel(uint32_t entry) { return entry >> 16; }

    // A chain link names the next node together with that node's parent,
    // so that a walk reads one entry per step.
    static uint32_t ChainLink(unsigned node, unsigned parentOfNode) { return node | parentOfNode << 16; }
    static unsigned LinkNode(uint32_t link) { return link & 0xFFFF; }
    static unsigned LinkParent(uint32_t link) { return link >> 16; }
    unsigned ChildOf(unsigned q, unsigned c);
    void LinkChild(unsigned q, unsigned c, unsigned r);
    void SplitNode(unsigned o);
    void Unlink(unsigned node);
    void TakePlaceInChain(unsigned newNode, unsigned oldNode);
    // The window position a stored position stands for: positions at or
    // beyond `pos` were stored before the window last slid.
    unsigned WindowPosition(unsigned stored) const { return stored >= pos ? stored - DICT_SIZE : stored; }

    void StampPathToRoot(unsigned q);
    void WritePendingPath();

    std::unique_ptr<MatchTrieArrays[]> arrays;
    unsigned avail = NIL;  // first free branch node

    // Every position passes through all branch nodes above the node where
    // its search starts, so those all take the new position.  On runs and
    // repeated patterns that path is hundreds of nodes deep and much the same
    // from one position to the next; it is therefore kept as one pending
    // stamp -- the branch nodes from pendingNode up to its root stand at
    // pendingPosition -- and written into position[] only where the next
    // stamp's path leaves it, or before a search from a root, which may read
    // any path.  Nodes off the pending path always hold their true position.
    unsigned pendingNode = NIL;
    unsigned pendingPosition = 0;
};

}  // namespace varlin::test
