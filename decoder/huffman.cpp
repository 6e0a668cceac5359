#include "decoder/huffman.h"

#include <string.h>

HuffmanModel model;
WORD stepTable[STEP_TABLE_SIZE];
WORD runEnds[RUN_ENDS];

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
  topStale = 1;
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

// Adds one to the counts from the symbol's leaf up to the root, keeping the
// counts ordered by index. The climb is the decode loop's own; after the
// rebuild the root is far below the limit.
void updateModel(int symbol) {
  if (model.frequency[ROOT_NODE] == FREQ_LIMIT) rebuildTree();
  updateFromLeaf(symbol);
}

// Halves every count (rounding up) and builds the internal nodes again from
// the leaves, each new node going after every node whose count is not above
// its own. The new counts never decrease (each sums the next pair of an
// ordered list), so each one goes in after the last: the scan for its place
// starts there.
void rebuildTree() {
  int j = 0;
  for (int i = 0; i < NODE_COUNT; i++) {
    if (model.child[i] >= NODE_COUNT) {
      model.frequency[j] = (WORD)((model.frequency[i] + 1) / 2);
      model.child[j] = model.child[i];
      j++;
    }
  }
  for (int i = 0, j = SYMBOL_COUNT, k = 0; j < NODE_COUNT; i += 2, j++, k++) {
    unsigned f = model.frequency[i] + model.frequency[i + 1];
    while (k < j && model.frequency[k] <= f) k++;
    memmove(&model.frequency[k + 1], &model.frequency[k], (size_t)(j - k) * sizeof(WORD));
    memmove(&model.child[k + 1], &model.child[k], (size_t)(j - k) * sizeof(WORD));
    model.frequency[k] = (WORD)f;
    model.child[k] = (WORD)i;
  }
  for (int i = 0; i < NODE_COUNT; i++) adopt(model.child[i], i);
  setAllSteps();
  topStale = 1;
}
