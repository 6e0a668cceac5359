#include "decoder/huffman.h"

#include <string.h>

HuffmanModel model;

#define FREQ_SENTINEL 0xFFFFu  // above every count: ends the upward scan

void resetBitInput(DWORD storedSize) {
  model.bitBuffer = 0;
  model.bitCount = 0;
  model.bytesLeft = storedSize;
}

// Every symbol starts with count 1; pairs are joined in index order, so the
// first 56 symbols end up one level deeper than the rest.
void initTree() {
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
  model.frequency[NODE_COUNT] = FREQ_SENTINEL;
  model.parent[ROOT_NODE] = 0;
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
  if (held < NODE_COUNT) model.parent[held + 1] = (WORD)node;
}

// Adds one to the counts from the symbol's leaf up to the root. A count that
// overtakes the next node's is exchanged with the farthest node of its old
// count, which keeps the counts ordered by index.
void updateModel(int symbol) {
  WORD* frequency = model.frequency;
  if (frequency[ROOT_NODE] == FREQ_LIMIT) rebuildTree();
  unsigned n = model.parent[NODE_COUNT + symbol];
  do {
    unsigned c = ++frequency[n];
    if (c > frequency[n + 1]) {
      unsigned m = n + 1;
      while (c > frequency[m + 1]) m++;
      frequency[n] = frequency[m];
      frequency[m] = (WORD)c;
      unsigned a = model.child[n], b = model.child[m];
      model.child[m] = (WORD)a;
      model.child[n] = (WORD)b;
      adopt(a, m);
      adopt(b, n);
      n = m;
    }
    n = model.parent[n];
  } while (n != 0);
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
    int k = j - 1;
    while (f < model.frequency[k]) k--;
    k++;
    memmove(&model.frequency[k + 1], &model.frequency[k], (size_t)(j - k) * sizeof(WORD));
    memmove(&model.child[k + 1], &model.child[k], (size_t)(j - k) * sizeof(WORD));
    model.frequency[k] = (WORD)f;
    model.child[k] = (WORD)i;
  }
  for (int i = 0; i < NODE_COUNT; i++) adopt(model.child[i], i);
}
