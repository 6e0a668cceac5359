#include "decoder/huffman.h"

#include <string.h>

HuffmanModel model;
WORD stepTable[STEP_TABLE_SIZE];

#define FREQ_SENTINEL 0xFFFFu  // above every count: ends the upward scan

// The two step entries of node u, from its child value. Written without
// branches: whether u holds a leaf is as good as random while the model
// adapts.
static inline void setSteps(unsigned u) {
  unsigned c = model.child[u];
  bool leaf = c >= NODE_COUNT;
  unsigned k = leaf ? 0 : c;  // a pair to read either way
  WORD first = model.child[k], second = model.child[k + 1];
  stepTable[2 * u] = (WORD)(leaf ? c | STEP_ONE_BIT : first);
  stepTable[2 * u + 1] = (WORD)(leaf ? c | STEP_ONE_BIT : second);
}

static void setAllSteps() {
  for (unsigned u = 0; u < NODE_COUNT; u++) setSteps(u);
}

void resetBitInput(DWORD storedSize) {
  model.bitBuffer = 0;
  model.bitCount = 0;
  model.bytesLeft = storedSize;
}

// The starting tree is the same for every stream: built once, then copied.
// Every symbol starts with count 1; pairs are joined in index order, so the
// first 56 symbols end up one level deeper than the rest.
static void buildStartingTree() {
  for (int s = 0; s < SYMBOL_COUNT; s++) {
    model.frequency[s] = 1;
    model.child[s] = (WORD)(NODE_COUNT + s);
    model.parent[NODE_COUNT + s] = (WORD)s;
  }
  for (int k = 0, j = SYMBOL_COUNT; j < NODE_COUNT; k += 2, j++) {
    model.frequency[j] = (WORD)(model.frequency[k] + model.frequency[k + 1]);
    model.child[j] = (WORD)k;
    model.parent[k] = model.parent[k + 1] = (WORD)j;
  }
  for (int i = NODE_COUNT; i < FREQUENCY_ENTRIES; i++) model.frequency[i] = FREQ_SENTINEL;
  model.parent[ROOT_NODE] = 0;
  setAllSteps();
}

struct StartingTree {
  bool built;
  WORD frequency[sizeof model.frequency / sizeof(WORD)];
  WORD child[NODE_COUNT];
  WORD parent[NODE_COUNT + SYMBOL_COUNT];
  WORD steps[STEP_TABLE_SIZE];
};
static StartingTree startingTree;

void initTree() {
  if (!startingTree.built) {
    buildStartingTree();
    memcpy(startingTree.frequency, model.frequency, sizeof model.frequency);
    memcpy(startingTree.child, model.child, sizeof model.child);
    memcpy(startingTree.parent, model.parent, sizeof model.parent);
    memcpy(startingTree.steps, stepTable, sizeof stepTable);
    startingTree.built = true;
    return;
  }
  memcpy(model.frequency, startingTree.frequency, sizeof model.frequency);
  memcpy(model.child, startingTree.child, sizeof model.child);
  memcpy(model.parent, startingTree.parent, sizeof model.parent);
  memcpy(stepTable, startingTree.steps, sizeof stepTable);
}

int readBit() {
  BitInput in = loadBitInput();
  int bit = (int)takeBit(in);
  storeBitInput(in);
  return bit;
}

int read8Bits() {
  BitInput in = loadBitInput();
  int byte = (int)take8Bits(in);
  storeBitInput(in);
  return byte;
}

int decodeSymbol() {
  BitInput in = loadBitInput();
  int symbol = walkTree(in);
  storeBitInput(in);
  updateModel(symbol);
  return symbol;
}

int decodePosition() {
  BitInput in = loadBitInput();
  int position = readPosition(in);
  storeBitInput(in);
  return position;
}

// Sets the parent link of what node now holds: both children of an internal
// node, or the leaf entry of a symbol.
static inline void adopt(unsigned held, unsigned node) {
  model.parent[held] = (WORD)node;
  model.parent[held < NODE_COUNT ? held + 1 : held] = (WORD)node;
}

// The last index above n whose count is below c, n + 1 being one: where the
// upward scan over ordered counts stops (the sentinels end it). Found by
// halving without branches, since how far the scan runs is as good as random
// while many nodes share a count: within SCAN_WIDTH nodes first, a longer run
// from the largest power of two that fits before the root. The next node
// alone is the most common case and is taken first.
static inline unsigned farthestBelow(unsigned n, unsigned c) {
  const WORD* frequency = model.frequency;
  unsigned low = n + 1;
  if (frequency[n + 2] >= c) return low;
  if (frequency[n + SCAN_WIDTH] >= c) {
    low += (frequency[low + SCAN_WIDTH / 2] < c) * (SCAN_WIDTH / 2);
    low += (frequency[low + SCAN_WIDTH / 4] < c) * (SCAN_WIDTH / 4);
    return low + (frequency[low + 1] < c);
  }
  low = n + SCAN_WIDTH;
  for (unsigned half = 1u << (31 - __builtin_clz(NODE_COUNT - low)); half > 0; half /= 2)
    low += (frequency[low + half] < c) * half;
  return low;
}

// Exchanges node n, whose new count c overtook the next node's, with the
// farthest node of its old count; returns where n's contents went.
static unsigned exchange(unsigned n, unsigned c) {
  WORD* frequency = model.frequency;
  unsigned m = farthestBelow(n, c);
  frequency[n] = (WORD)(c - 1);  // m's count: the old count of n
  frequency[m] = (WORD)c;
  unsigned a = model.child[n], b = model.child[m];
  model.child[m] = (WORD)a;
  model.child[n] = (WORD)b;
  adopt(a, m);
  adopt(b, n);
  // Each node's entries follow what it holds, and what n and m hold has
  // not changed below them: their entries change places.
  DWORD stepsOfN, stepsOfM;
  memcpy(&stepsOfN, &stepTable[2 * n], sizeof stepsOfN);
  memcpy(&stepsOfM, &stepTable[2 * m], sizeof stepsOfM);
  memcpy(&stepTable[2 * n], &stepsOfM, sizeof stepsOfM);
  memcpy(&stepTable[2 * m], &stepsOfN, sizeof stepsOfN);
  // The parents' entries that pass through n and m.
  stepTable[2 * model.parent[n] + (n & 1)] = (WORD)b;
  stepTable[2 * model.parent[m] + (m & 1)] = (WORD)a;
  return m;
}

// The rest of the walk to the root after an exchange, exchanging again
// wherever a count overtakes the next.
void updateFromExchange(unsigned n, unsigned c) {
  WORD* frequency = model.frequency;
  const WORD* parent = model.parent;
  for (;;) {
    size_t up = parent[exchange(n, c)];  // pointer-wide: indexes without extension
    for (;;) {
      if (up == 0) return;
      WORD count = (WORD)(frequency[up] + 1);
      frequency[up] = count;
      if (count > frequency[up + 1]) break;
      up = parent[up];
    }
    n = (unsigned)up;
    c = frequency[up];
  }
}

// Adds one to the counts from the symbol's leaf up to the root, keeping the
// counts ordered by index.
void updateModel(int symbol) {
  if (model.frequency[ROOT_NODE] == FREQ_LIMIT) rebuildTree();
  WORD* frequency = model.frequency;
  unsigned n = model.parent[NODE_COUNT + symbol];
  do {
    unsigned c = (WORD)(frequency[n] + 1);
    frequency[n] = (WORD)c;
    if (c > frequency[n + 1]) {
      updateFromExchange(n, c);
      return;
    }
    n = model.parent[n];
  } while (n != 0);
}

// The first index below j whose count is above f: the counts below j are
// ordered, so a halving search finds where the downward scan would stop.
static int insertionPoint(int j, unsigned f) {
  int low = 0, high = j;
  while (low < high) {
    int middle = (low + high) / 2;
    if (model.frequency[middle] > f)
      high = middle;
    else
      low = middle + 1;
  }
  return low;
}

// Halves every count (rounding up) and builds the internal nodes again from
// the leaves, each new node going after every node whose count is not above
// its own.
void rebuildTree() {
  int j = 0;
  for (int i = 0; i < NODE_COUNT; i++) {
    if (model.child[i] >= NODE_COUNT) {
      model.frequency[j] = (WORD)((model.frequency[i] + 1) / 2);
      model.child[j] = model.child[i];
      j++;
    }
  }
  for (int i = 0, j = SYMBOL_COUNT; j < NODE_COUNT; i += 2, j++) {
    unsigned f = model.frequency[i] + model.frequency[i + 1];
    int k = insertionPoint(j, f);
    memmove(&model.frequency[k + 1], &model.frequency[k], (size_t)(j - k) * sizeof(WORD));
    memmove(&model.child[k + 1], &model.child[k], (size_t)(j - k) * sizeof(WORD));
    model.frequency[k] = (WORD)f;
    model.child[k] = (WORD)i;
  }
  for (int i = 0; i < NODE_COUNT; i++) adopt(model.child[i], i);
  setAllSteps();
}
