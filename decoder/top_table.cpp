// The walk's top table (described in huffman.h): made from the tree, and kept
// in step with it by the exchanges.
#include <string.h>

#include "decoder/huffman.h"

WORD topTable[TOP_ENTRIES];
BYTE topMark[NODE_COUNT];
WORD topEntry[NODE_COUNT];
BYTE topStale;

static WORD markedNodes[2 * TOP_ENTRIES];  // levels 1 to TOP_LEVELS: 2 + 4 + ... + TOP_ENTRIES nodes at most
static unsigned markedCount;

static void markNode(unsigned node, BYTE mark, unsigned entry) {
  topMark[node] = mark;
  topEntry[node] = (WORD)entry;
  markedNodes[markedCount++] = (WORD)node;
}

// Level by level from the root: an entry that holds a pair of nodes splits
// into their two child values; one that holds a leaf stands for every bit
// pattern below it. Entries are split from the last, so that each is read
// before its place is written.
void buildTopTable() {
  for (unsigned i = 0; i < markedCount; i++) topMark[markedNodes[i]] = 0;
  markedCount = 0;
  WORD level[TOP_ENTRIES];
  level[0] = model.child[ROOT_NODE];
  for (unsigned depth = 1, width = 1; depth <= TOP_LEVELS; depth++, width *= 2) {
    BYTE mark = depth == TOP_LEVELS ? TOP_BOTTOM : TOP_ABOVE;
    for (unsigned i = width; i-- > 0;) {
      unsigned v = level[i] & TOP_VALUE_MASK;
      if (v >= NODE_COUNT) {
        level[2 * i] = level[2 * i + 1] = level[i];
        continue;
      }
      for (unsigned b = 0; b < 2; b++) {
        markNode(v + b, mark, 2 * i + b);
        level[2 * i + b] = (WORD)(model.child[v + b] | depth << TOP_USED_SHIFT);
      }
    }
  }
  memcpy(topTable, level, sizeof topTable);
  topStale = 0;
}

// A node at the bottom level still has its entry, which takes what the node
// holds now. Above it, the nodes below have moved: the table is made again
// (the exchange is complete, so the tree is whole).
void followTopTable(unsigned n, unsigned m) {
  if ((topMark[n] | topMark[m]) & TOP_ABOVE) {
    buildTopTable();
    return;
  }
  unsigned ends[2] = {n, m};
  for (unsigned node : ends)
    if (topMark[node]) topTable[topEntry[node]] = (WORD)(model.child[node] | TOP_LEVELS << TOP_USED_SHIFT);
}
