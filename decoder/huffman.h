// The adaptive Huffman model of the compressed streams: the bit input, the
// code tree for literals and match lengths, and the fixed position code.
//
// The per-symbol work is written as inline functions over a BitInput held in
// the caller's locals, so that the decode loop keeps the bit buffer in
// registers and writes it back once per stream (the model's own readBit,
// decodeSymbol, ... load and store it around each call).
#pragma once

#include <stdio.h>

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
#define SCAN_WIDTH 8  // counts that the exchange's scan compares at once
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
// child[child[u] + b]. When u is a leaf itself, both entries hold its child value with STEP_ONE_BIT set:
// the walk then takes one bit, not two. Pair bases are always even, so for
// the pair v and the next two bits the entry is stepTable[2v + bits].
#define STEP_ONE_BIT 0x8000u
#define STEP_TABLE_SIZE (2 * NODE_COUNT)
extern WORD stepTable[STEP_TABLE_SIZE];

void resetBitInput(DWORD storedSize);
void initTree();
int decodeSymbol();
int decodePosition();
int readBit();
int read8Bits();
void updateModel(int symbol);
void rebuildTree();
// From node n, whose count c has just overtaken the next node's: the
// exchange and the rest of updateModel's walk to the root.
void updateFromExchange(unsigned n, unsigned c);

// updateModel inline, up to the first exchange.
inline void updateFromLeaf(int symbol) {
  WORD* frequency = model.frequency;
  const WORD* parent = model.parent;
  if (frequency[ROOT_NODE] == FREQ_LIMIT) {
    updateModel(symbol);
    return;
  }
  size_t n = parent[NODE_COUNT + symbol];  // pointer-wide: indexes without extension
  do {
    WORD c = (WORD)(frequency[n] + 1);
    frequency[n] = c;
    if (c > frequency[n + 1]) {
      updateFromExchange((unsigned)n, c);
      return;
    }
    n = parent[n];
  } while (n != 0);
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
