#include "tests/lha/TrieMatchFinder.h"

#include <algorithm>

#include "lha/CommonPrefix.h"

namespace varlin::test {

bool TrieMatchFinder::AllocateWorkAreas(const WorkAreaGate& gate)
{
    if (!arrays) arrays = AllocateWorkArea<MatchTrieArrays>(gate, 1);
    return arrays != nullptr;
}

void TrieMatchFinder::ReleaseWorkAreas() { arrays.reset(); }

void TrieMatchFinder::InitTrie()
{
    MatchTrieArrays& a = arrays[0];
    // Bytes beyond the end of the input take part in comparisons near the
    // end of the file (matches are cut to the real input afterwards); zero
    // makes them the same on every run.
    std::fill(std::begin(a.text), std::end(a.text), uint8_t{0});
    for (unsigned c = 0; c < 256; ++c) {
        a.level[ROOT_BASE + c] = 1;
        a.childCount[ROOT_BASE + c] = 0;
    }
    std::fill(a.parent + DICT_SIZE, a.parent + kLinkedNodes, NIL);
    for (unsigned i = 1; i < DICT_SIZE; ++i) a.next[i] = i + 1;
    a.next[DICT_SIZE - 1] = NIL;
    avail = 1;
    std::fill(a.next + kChainHeadBase, a.next + kNextEntries, NIL);
    pendingNode = NIL;
}

// Sets the branch nodes from q up to its root to `pos`.  The pending stamp
// is written only into the nodes of its path that q's path does not share:
// those deeper than the common prefix of the two positions' texts (the
// current position passes through q, the pending one through the pending
// node).  Then q's whole path is left pending.
void TrieMatchFinder::StampPathToRoot(unsigned q)
{
    MatchTrieArrays& a = arrays[0];
    if (pendingNode != NIL) {
        const unsigned limit = std::min<unsigned>(a.level[pendingNode], a.level[q]);
        const uint8_t* here = a.text + pos;
        const uint8_t* there = a.text + WindowPosition(pendingPosition);
        const unsigned common = CommonPrefix(here, there, 0, limit);
        unsigned level = a.level[pendingNode];
        for (unsigned t = pendingNode; t < DICT_SIZE && level > common;) {
            // The parent is read before the stamp is stored: position[] and
            // parent[] lie a multiple of 4096 bytes apart, and a load behind
            // a store to the same low address bits waits for the store.
            const uint32_t up = a.parent[t];
            a.position[t] = pendingPosition;
            t = ParentNode(up);
            level = ParentLevel(up);
        }
    }
    pendingNode = q < DICT_SIZE ? q : NIL;
    pendingPosition = pos;
}

// Writes the pending stamp into every node of its path.
void TrieMatchFinder::WritePendingPath()
{
    MatchTrieArrays& a = arrays[0];
    for (unsigned t = pendingNode; t != NIL && t < DICT_SIZE; t = ParentNode(a.parent[t])) {
        a.position[t] = pendingPosition;
    }
    pendingNode = NIL;
}

unsigned TrieMatchFinder::ChildOf(unsigned q, unsigned c)
{
    MatchTrieArrays& a = arrays[0];
    uint32_t link = a.next[ChainHead(q, c)];
    while (LinkParent(link) != q && LinkNode(link) != NIL) link = a.next[LinkNode(link)];
    return LinkNode(link);
}

void TrieMatchFinder::LinkChild(unsigned q, unsigned c, unsigned r)
{
    MatchTrieArrays& a = arrays[0];
    const unsigned h = ChainHead(q, c);
    const uint32_t oldHead = a.next[h];
    a.next[h] = ChainLink(r, q);
    a.next[r] = oldHead;
    a.prev[LinkNode(oldHead)] = r;
    a.prev[r] = h;
    a.parent[r] = ParentEntry(q, a.level[q]);
    ++a.childCount[q];
    a.childSum[q] ^= static_cast<uint16_t>(r);
}

void TrieMatchFinder::Unlink(unsigned node)
{
    MatchTrieArrays& a = arrays[0];
    const unsigned before = a.prev[node];
    const uint32_t after = a.next[node];
    a.next[before] = after;
    a.prev[LinkNode(after)] = before;
}

void TrieMatchFinder::TakePlaceInChain(unsigned newNode, unsigned oldNode)
{
    MatchTrieArrays& a = arrays[0];
    const unsigned before = a.prev[oldNode];
    a.prev[newNode] = before;
    const unsigned parentOfOld = ParentNode(a.parent[oldNode]);
    a.next[before] = ChainLink(newNode, parentOfOld);
    a.childSum[parentOfOld] ^= static_cast<uint16_t>(oldNode ^ newNode);
    const uint32_t after = a.next[oldNode];
    a.next[newNode] = after;
    a.prev[LinkNode(after)] = newNode;
}

// The comparison failed inside the edge leading to o, after matchLength
// equal bytes: a new branch node takes o's place with o and the current
// position below it.
void TrieMatchFinder::SplitNode(unsigned o)
{
    MatchTrieArrays& a = arrays[0];
    const unsigned b = avail;
    avail = LinkNode(a.next[b]);
    a.childCount[b] = 0;
    a.childSum[b] = 0;
    TakePlaceInChain(b, o);
    a.parent[b] = a.parent[o];
    a.level[b] = static_cast<uint8_t>(matchLength);
    a.position[b] = pos;
    LinkChild(b, a.text[matchPos + matchLength], o);
    LinkChild(b, a.text[pos + matchLength], pos);
}

void TrieMatchFinder::FindMatch()
{
    MatchTrieArrays& a = arrays[0];
    unsigned q;
    unsigned r;
    if (matchLength >= 4) {
        // The match of the previous position, one byte on, is at least
        // matchLength - 1 long here: start from its leaf and climb to the
        // node where that length ends.
        --matchLength;
        r = (matchPos + 1) | DICT_SIZE;
        while (a.parent[r] == NIL) r = LinkNode(a.next[r]);  // that leaf was replaced
        uint32_t up = a.parent[r];
        while (ParentLevel(up) >= matchLength) {
            r = ParentNode(up);
            up = a.parent[r];
        }
        q = ParentNode(up);
        StampPathToRoot(q);
    } else {
        WritePendingPath();  // the search from the root reads positions on any path
        q = a.text[pos] + ROOT_BASE;
        r = ChildOf(q, a.text[pos + 1]);
        if (r == NIL) {
            LinkChild(q, a.text[pos + 1], pos);
            matchLength = 1;
            return;
        }
        matchLength = 2;
    }

    for (;;) {
        unsigned limit;
        if (r >= DICT_SIZE) {
            limit = MAX_MATCH;
            matchPos = r;
        } else {
            limit = a.level[r];
            matchPos = a.position[r];
        }
        matchPos = WindowPosition(matchPos);
        const uint8_t* here = a.text + pos;
        const uint8_t* there = a.text + matchPos;
        matchLength = CommonPrefix(here, there, matchLength, limit);
        if (matchLength < limit) {
            SplitNode(r);
            return;
        }
        if (matchLength >= MAX_MATCH) break;
        a.position[r] = pos;
        q = r;
        r = ChildOf(q, a.text[pos + matchLength]);
        if (r == NIL) {
            LinkChild(q, a.text[pos + matchLength], pos);
            return;
        }
        ++matchLength;
    }

    // A full-length match against leaf r: the current position replaces it,
    // and r points to its replacement for the climb above.
    TakePlaceInChain(pos, r);
    a.parent[pos] = a.parent[r];  // that is, q
    a.parent[r] = NIL;
    a.next[r] = pos;
}

void TrieMatchFinder::RemoveOldest()
{
    MatchTrieArrays& a = arrays[0];
    if (a.parent[pos] == NIL) return;
    Unlink(pos);
    const unsigned r = ParentNode(a.parent[pos]);
    a.parent[pos] = NIL;
    if (r >= ROOT_BASE) return;  // a root's children are never counted on
    a.childSum[r] ^= static_cast<uint16_t>(pos);
    if (--a.childCount[r] > 1) return;

    // Branch node r has one child left, which takes r's place.
    const unsigned s = a.childSum[r];
    if (r == pendingNode) {
        const unsigned above = ParentNode(a.parent[r]);
        pendingNode = above < DICT_SIZE ? above : NIL;
    }
    Unlink(s);
    TakePlaceInChain(s, r);
    a.parent[s] = a.parent[r];
    a.parent[r] = NIL;
    a.next[r] = avail;
    avail = r;
}

}  // namespace varlin::test
