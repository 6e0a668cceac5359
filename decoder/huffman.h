// The adaptive Huffman model of the compressed streams: the bit input, the
// code tree for literals and match lengths, and the fixed position code.
//
// The per-symbol work is written as inline functions over a BitInput held in
// the caller's locals, so that the decode loop keeps the bit buffer in
// registers and writes it back once per stream (the model's own readBit,
// decodeSymbol, ... load and store it around each call).
#pragma once

#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include "decoder/packed_reader.h"
#include "decoder/position_code.h"
#include "platform/wintypes.h"

#define WINDOW_SIZE 4096    // positions are 12-bit
#define MAX_MATCH 30        // longest match in bytes
#define MATCH_THRESHOLD 2   // matches are longer than this
#define SYMBOL_COUNT 284    // 256 literals + match lengths 3..30 (256 - 2 + 30)
#define NODE_COUNT 567      // 2 * SYMBOL_COUNT - 1
#define ROOT_NODE 566       // NODE_COUNT - 1; the root never moves
#define FREQ_LIMIT 0x8000u  // root count at which the counts are halved

#define BIT_BUFFER_BITS 16
// Longer than any symbol code: the tree keeps its counts ordered, so it is a
// Huffman tree, and a code of 22 bits needs a root count of at least 46368
// (a Fibonacci number), above FREQ_LIMIT.
#define LONGEST_CODE 32
// The counts, the sentinel, and more sentinels for the scan's halving steps
// from any node: those may read up to NODE_COUNT - 1 entries past the root.
#define FREQUENCY_ENTRIES (2 * NODE_COUNT)

struct HuffmanModel {
  // Entry NODE_COUNT is the 0xFFFF sentinel; the scan reads entries past
  // it, which hold the sentinel too.
  WORD frequency[FREQUENCY_ENTRIES];
  WORD child[NODE_COUNT];                  // first child, or NODE_COUNT + symbol for a leaf
  WORD parent[NODE_COUNT + SYMBOL_COUNT];  // parents of nodes, then the leaf of each symbol
  WORD bitBuffer;                          // unread bits, the next one in bit 15
  BYTE bitCount;
  DWORD bytesLeft;   // stream bytes not yet taken from the byte source
  FILE* byteSource;  // the input handed to readPackedByte
};

extern HuffmanModel model;

// The code tree two levels at a time, kept in step with child[]: for node u
// and the bit b that follows it, stepTable[2u + b] holds what the walk
// reaches (the first node of the next pair, or a leaf as 567 + s), that is
// child[child[u] + b]. When u is a leaf itself, both entries hold its child
// value with STEP_ONE_BIT set: the walk then takes one bit, not two. Pair
// bases are always even, so for the pair v and the next two bits the entry
// is stepTable[2v + bits].
#define STEP_ONE_BIT 0x8000u
#define STEP_TABLE_SIZE (2 * NODE_COUNT)
extern WORD stepTable[STEP_TABLE_SIZE];

// The tree's first TOP_LEVELS levels in one lookup: for the next TOP_LEVELS
// bits, the value the walk holds after them (the child value of the node it
// reached at that depth, or a leaf it reached sooner) with the bits taken
// in the top bits. topMark marks the nodes the table was made from: those
// at the bottom level have their entry in topEntry, so an exchange there
// rewrites one entry; an exchange above makes the table again. A new tree
// (a stream's start, a rebuild) leaves it stale until the next run.
#define TOP_LEVELS 4
#define TOP_ENTRIES (1 << TOP_LEVELS)
#define TOP_USED_SHIFT 12
#define TOP_VALUE_MASK ((1u << TOP_USED_SHIFT) - 1)
#define TOP_BOTTOM 1
#define TOP_ABOVE 2
extern WORD topTable[TOP_ENTRIES];
extern BYTE topMark[NODE_COUNT];
extern WORD topEntry[NODE_COUNT];
extern BYTE topStale;
void buildTopTable();
// After an exchange of n and m, one of them marked.
void followTopTable(unsigned n, unsigned m);

void resetBitInput(DWORD storedSize);
void initTree();
int decodeSymbol();
int decodePosition();
int readBit();
int read8Bits();
void updateModel(int symbol);
void rebuildTree();

// The update inline: the decode loop keeps its locals in registers around it.
// The exchange and the climbs reach the model's arrays through one pointer:
// the compiler then keeps a single address for all of them, which leaves the
// loop's registers to the loop. The climb from a leaf and the climb after an
// exchange stay two loops: a leaf is never the root, so the first tests at
// the bottom only, and folding them cost the loop registers.

// Four counts in one word, the lowest index in the low bits: a lane's top
// bit, set beforehand, survives subtracting c exactly when the count is not
// below c. Counts stay below 0x8000 during an update (the root reaches it
// only at its own increment, last) and so does c; the sentinels 0xFFFF come
// out as not below.
#define COUNTS_PER_WORD 4
#define SCAN_WORDS 2
#define LANE_TOPS 0x8000800080008000ull
#define LANE_ONES 0x0001000100010001ull
#define LANE_BITS 16
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "counts are read as little-endian lanes");
inline uint64_t countsNotBelow(const WORD* counts, unsigned c) {
  uint64_t lanes;
  memcpy(&lanes, counts, sizeof lanes);
  return ((lanes | LANE_TOPS) - c * LANE_ONES) & LANE_TOPS;
}

// Sets the parent link of what node now holds: both children of an internal
// node, or the leaf entry of a symbol.
inline void adopt(unsigned held, unsigned node) {
  model.parent[held] = (WORD)node;
  model.parent[held < NODE_COUNT ? held + 1 : held] = (WORD)node;
}

// The last index at or above low whose count is below c, by halving without
// branches from the largest power of two that fits before the root.
inline unsigned lastBelowByHalving(unsigned low, unsigned c) {
  const WORD* frequency = model.frequency;
  for (unsigned half = 1u << (31 - __builtin_clz(NODE_COUNT - low)); half > 0; half /= 2) {
    unsigned ahead = low + half;
    low = frequency[ahead] < c ? ahead : low;
  }
  return low;
}

// Where each count's run of nodes ended when the scan last went to its end,
// less one (the exchange takes the last node out of the run). While a
// stream's first symbols come in, runs of leaves that share a small count
// are hundreds of nodes long and each exchange goes to the same run's end.
// A hint only: it is checked against the counts each time, so counts that
// share an entry, or a run that has moved since, cost a search and no more.
#define RUN_ENDS 1024
extern WORD runEnds[RUN_ENDS];

// The last index above n whose count is below c, n + 1 being one: where the
// upward scan over ordered counts stops (the sentinels end it). How far that
// is is as good as random while many nodes share a count, so the counts are
// compared four at a time in a 64-bit word; a longer run is looked up, or
// searched for by halving.
inline unsigned farthestBelow(unsigned n, unsigned c) {
  const WORD* frequency = model.frequency;
  unsigned low = n + 1;
  for (int word = 0; word < SCAN_WORDS; word++, low += COUNTS_PER_WORD) {
    uint64_t notBelow = countsNotBelow(frequency + low + 1, c);
    if (notBelow) return low + (unsigned)__builtin_ctzll(notBelow) / LANE_BITS;
  }
  WORD& remembered = runEnds[(c - 1) % RUN_ENDS];
  unsigned end = remembered;
  if (end <= low || frequency[end] >= c || frequency[end + 1] < c) end = lastBelowByHalving(low, c);
  remembered = (WORD)(end - 1);
  return end;
}

// Exchanges node n, whose count equals the next node's, with the farthest
// node of that count and adds one to it there; returns where n's contents
// went.
__attribute__((always_inline)) inline unsigned exchange(unsigned n, unsigned count) {
  HuffmanModel* tree = &model;
  unsigned m = farthestBelow(n, count + 1);
  tree->frequency[m] = (WORD)(count + 1);  // n keeps its count, which was m's
  unsigned a = tree->child[n], b = tree->child[m];
  tree->child[m] = (WORD)a;
  tree->child[n] = (WORD)b;
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
  stepTable[2 * tree->parent[n] + (n & 1)] = (WORD)b;
  stepTable[2 * tree->parent[m] + (m & 1)] = (WORD)a;
  if (topMark[n] | topMark[m]) followTopTable(n, m);
  return m;
}

// The rest of the climb to the root from a node whose count is about to
// overtake the next, exchanging there and again wherever that happens.
// Counts are ordered, so that is where they are equal.
__attribute__((always_inline)) inline void climbFromExchange(size_t n) {
  HuffmanModel* tree = &model;
  unsigned count = tree->frequency[n];
  for (;;) {
    size_t up = tree->parent[exchange((unsigned)n, count)];  // pointer-wide: indexes without extension
    for (;;) {
      if (up == ROOT_NODE) {
        tree->frequency[ROOT_NODE]++;
        return;
      }
      count = tree->frequency[up];
      if (count == tree->frequency[up + 1]) break;
      tree->frequency[up] = (WORD)(count + 1);
      up = tree->parent[up];
    }
    n = up;
  }
}

// Out of line, for the decode loop's general path: a call for each symbol
// that exchanges at all.
__attribute__((noinline)) inline void updateFromExchange(size_t n) { climbFromExchange(n); }

// Adds one to the counts from the node of a leaf (NODE_COUNT + its symbol,
// as the tree holds it) up while no exchange is due; returns the node where
// one is, or the root once it is counted. The root is never compared with
// the sentinel after it, which is above every count.
inline size_t climbFromLeaf(unsigned leaf) {
  HuffmanModel* tree = &model;
  size_t n = tree->parent[leaf];  // pointer-wide: indexes without extension
  do {
    unsigned count = tree->frequency[n];
    if (count == tree->frequency[n + 1]) return n;
    tree->frequency[n] = (WORD)(count + 1);
    n = tree->parent[n];
  } while (n != ROOT_NODE);
  tree->frequency[ROOT_NODE]++;
  return ROOT_NODE;
}

// updateModel inline, the rebuild left to it.
inline void updateFromLeaf(int symbol) {
  if (model.frequency[ROOT_NODE] == FREQ_LIMIT) {
    updateModel(symbol);
    return;
  }
  size_t n = climbFromLeaf(NODE_COUNT + (unsigned)symbol);
  if (n != ROOT_NODE) updateFromExchange(n);
}

// The bit input in locals: the same bits as bitBuffer, left-aligned in 32.
struct BitInput {
  DWORD buffer;
  unsigned count;
  DWORD bytesLeft;
  FILE* source;
};

inline BitInput loadBitInput() {
  return BitInput{(DWORD)model.bitBuffer << BIT_BUFFER_BITS, model.bitCount, model.bytesLeft, model.byteSource};
}

inline void storeBitInput(const BitInput& in) {
  model.bitBuffer = (WORD)(in.buffer >> BIT_BUFFER_BITS);
  model.bitCount = (BYTE)in.count;
  model.bytesLeft = in.bytesLeft;
}

// Takes whole bytes while 8 bits or fewer are left, as the 16-bit buffer
// does, so that bytes leave the source at the same moments. Past the stored
// size the bytes are zeros.
inline void fillBits(BitInput& in) {
  while (in.count <= 8) {
    DWORD byte = 0;
    if (in.bytesLeft > 0) {
      byte = readPackedByte(in.source, in.bytesLeft);
      in.bytesLeft--;
    }
    in.buffer |= byte << (24 - in.count);
    in.count += 8;
  }
}

inline unsigned takeBit(BitInput& in) {
  if (in.count <= 8) fillBits(in);
  unsigned bit = in.buffer >> 31;
  in.buffer <<= 1;
  in.count--;
  return bit;
}

inline unsigned take8Bits(BitInput& in) {
  if (in.count <= 8) fillBits(in);
  unsigned byte = in.buffer >> 24;
  in.buffer <<= 8;
  in.count -= 8;
  return byte;
}

// Walks from the root to a leaf, one bit per pair of siblings.
inline int walkTree(BitInput& in) {
  unsigned v = model.child[ROOT_NODE];
  while (v < NODE_COUNT) v = model.child[v + takeBit(in)];
  return (int)(v - NODE_COUNT);
}

inline int readPosition(BitInput& in) {
  unsigned b = take8Bits(in);
  unsigned v = b;
  for (int extra = positionBits[b] - 2; extra > 0; extra--) v = 2 * v + takeBit(in);
  return (int)(positionHigh[b] << POSITION_LOW_BITS | (v & ((1u << POSITION_LOW_BITS) - 1)));
}
