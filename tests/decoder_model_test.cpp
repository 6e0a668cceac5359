// The adaptive Huffman model: starting codes, the position code, the bit
// input past the stored bytes, and the rebuild of the tree.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <vector>

#include "decoder/huffman.h"
#include "decoder/packed_reader.h"

namespace {

// Bits written MSB first into bytes, zero-filled.
std::vector<uint8_t> bitString(const char* bits) {
  std::vector<uint8_t> out;
  for (int i = 0; bits[i]; i++) {
    if (i % 8 == 0) out.push_back(0);
    if (bits[i] == '1') out.back() |= (uint8_t)(0x80 >> (i % 8));
  }
  return out;
}

// A fresh model reading the given stream bytes from memory.
class Model : public ::testing::Test {
 protected:
  std::vector<uint8_t> bytes;
  FILE* input = nullptr;

  void start(std::vector<uint8_t> stream) {
    bytes = std::move(stream);
    bytes.push_back(0xEE);  // a byte behind the stream, never to be taken
    input = fmemopen(bytes.data(), bytes.size(), "rb");
    ASSERT_NE(input, nullptr);
    resetPackedReader();
    model.byteSource = input;
    resetBitInput((DWORD)bytes.size() - 1);
    initTree();
  }
  // Each bit string decoded by `decode` on a fresh model.
  struct CodeCase {
    const char* bits;
    int value;
  };
  void expectDecodes(const std::vector<CodeCase>& cases, int (*decode)()) {
    for (const CodeCase& c : cases) {
      start(bitString(c.bits));
      EXPECT_EQ(decode(), c.value) << c.bits;
      fclose(input);
      input = nullptr;
    }
  }
  void TearDown() override {
    if (input) fclose(input);
  }

  // The tree's invariants: counts ordered by index, each internal count the
  // sum of its children's, parents linked back.
  void expectConsistentTree() {
    for (int i = 0; i < NODE_COUNT; i++) {
      ASSERT_LE(model.frequency[i], model.frequency[i + 1]) << i;
      unsigned c = model.child[i];
      if (c >= NODE_COUNT) {
        ASSERT_EQ(model.parent[c], i);
      } else {
        ASSERT_EQ(model.frequency[i], model.frequency[c] + model.frequency[c + 1]) << i;
        ASSERT_EQ(model.parent[c], i);
        ASSERT_EQ(model.parent[c + 1], i);
      }
    }
    ASSERT_EQ(model.frequency[NODE_COUNT], 0xFFFF);
    ASSERT_EQ(model.parent[ROOT_NODE], 0);
  }
};

TEST_F(Model, StartingCodes) {
  expectDecodes(
      {
          {"00000000", 0x38},
          {"00001001", 0x41},
          {"111001000", 0},
          {"11001000", 256},
          {"11100011", 283},
          {"111111111", 55},
          {"00000001", 57},
          {"", 0x38},
      },
      decodeSymbol);
}

TEST_F(Model, PositionCodes) {
  expectDecodes(
      {
          {"000000001", 1},
          {"000111111", 63},
          {"0010000000", 64},
          {"11111111111111", 4095},
          {"0101000000000", 256},
          {"000000000", 0},
      },
      decodePosition);
}

TEST(PositionTables, FollowTheGroups) {
  struct Case {
    int byte, high, bits;
  } cases[] = {{0x00, 0, 3},  {0x1F, 0, 3},  {0x20, 1, 4},  {0x2F, 1, 4},  {0x30, 2, 4},
               {0x4F, 3, 4},  {0x50, 4, 5},  {0x57, 4, 5},  {0x8F, 11, 5}, {0x90, 12, 6},
               {0xBF, 23, 6}, {0xC0, 24, 7}, {0xEF, 47, 7}, {0xF0, 48, 8}, {0xFF, 63, 8}};
  for (const Case& c : cases) {
    EXPECT_EQ(positionHigh[c.byte], c.high) << c.byte;
    EXPECT_EQ(positionBits[c.byte], c.bits) << c.byte;
  }
}

// The exchange's scan compares four counts at once: the lanes that are not
// below c, lowest index first, whatever the counts around the limit.
TEST(CountLanes, MarkCountsNotBelow) {
  struct Case {
    WORD counts[4];
    unsigned c;
    int firstNotBelow;  // 4: none
  } cases[] = {
      {{1, 1, 1, 1}, 2, 4},
      {{1, 2, 3, 4}, 2, 1},
      {{5, 5, 5, 6}, 6, 3},
      {{7, 0xFFFF, 0xFFFF, 0xFFFF}, 8, 1},  // the sentinels
      {{0x7FFE, 0x7FFE, 0x7FFF, 0xFFFF}, 0x7FFF, 2},
      {{0x7FFE, 0x7FFE, 0x7FFE, 0x7FFE}, 0x7FFF, 4},
      {{0, 0, 0, 1}, 1, 3},
      {{9, 9, 9, 9}, 9, 0},
  };
  for (const Case& c : cases) {
    uint64_t notBelow = countsNotBelow(c.counts, c.c);
    for (int lane = 0; lane < 4; lane++) {
      bool marked = notBelow >> (lane * 16 + 15) & 1;
      EXPECT_EQ(marked, c.counts[lane] >= c.c) << c.c << " lane " << lane;
    }
    int first = notBelow ? __builtin_ctzll(notBelow) / 16 : 4;
    EXPECT_EQ(first, c.firstNotBelow) << c.c;
    EXPECT_EQ(notBelow & ~0x8000800080008000ull, 0u) << c.c;
  }
}

// The scan ends at the last node of the run whatever the table of run ends
// holds: the right end, an end one off either way (a run that has moved),
// or nothing yet; and past the words it compares directly, remembers the
// end of the run that the exchange leaves.
TEST(RunEnds, ScanEndsAtTheRunsEndWhateverIsRemembered) {
  const unsigned n = 10, count = 4;  // node n and the run after it
  const unsigned runs[] = {1, 4, 8, 9, 10, 100, 555};
  struct Remembered {
    const char* what;
    int offset;  // from the run's end; INT_MIN: 0
  } remembered[] = {{"the end", 0}, {"one short", -1}, {"one past", 1}, {"nothing", INT_MIN}};
  initTree();  // the sentinels after the root
  for (unsigned run : runs) {
    unsigned end = n + run;
    for (unsigned i = 0; i < NODE_COUNT; i++) model.frequency[i] = (WORD)(i <= end ? count : count + 2);
    for (const Remembered& r : remembered) {
      WORD& entry = runEnds[count % RUN_ENDS];
      entry = (WORD)(r.offset == INT_MIN ? 0 : (int)end + r.offset);
      EXPECT_EQ(farthestBelow(n, count + 1), end) << "run " << run << ", " << r.what;
      if (run > SCAN_WORDS * COUNTS_PER_WORD) {
        EXPECT_EQ(entry, end - 1) << "run " << run << ", " << r.what;
      }
    }
  }
  initTree();
}

// The fill takes whole bytes while 8 or fewer bits are buffered, never
// more than the stored size, and reads zeros after it.
TEST_F(Model, BitInputTakesBytesAsNeededAndZerosAfterTheEnd) {
  start({0xA5, 0x3C});
  EXPECT_EQ(readBit(), 1);
  EXPECT_EQ(model.bytesLeft, 0u);  // the first fill takes both bytes
  EXPECT_EQ(read8Bits(), 0x4A);
  EXPECT_EQ(read8Bits(), 0x78);  // the last bits of 0x3C, then zeros
  for (int i = 0; i < 40; i++) EXPECT_EQ(readBit(), 0);
  EXPECT_EQ(model.bytesLeft, 0u);
  EXPECT_EQ(ftell(input), 2);  // the byte behind the stream stays unread
}

TEST_F(Model, SymbolsAdaptTheCodes) {
  start({});
  for (int i = 0; i < 3; i++) updateModel(0x41);
  expectConsistentTree();
  // Symbol 0x41 went up to the nodes of larger counts: a shorter code now.
  int depth = 0;
  for (unsigned n = model.parent[NODE_COUNT + 0x41]; n != ROOT_NODE; n = model.parent[n]) depth++;
  EXPECT_LT(depth, 8);
  EXPECT_EQ(model.frequency[ROOT_NODE], SYMBOL_COUNT + 3);
}

TEST_F(Model, RebuildsAtTheRootLimit) {
  start({});
  const int beforeRebuild = 32484;  // 284 + 32484 = 0x8000
  for (int i = 0; i < beforeRebuild; i++) updateModel((i * 7919 + i / 13) % SYMBOL_COUNT);
  ASSERT_EQ(model.frequency[ROOT_NODE], FREQ_LIMIT);
  expectConsistentTree();
  unsigned halved = 0;
  for (int i = 0; i < NODE_COUNT; i++) {
    if (model.child[i] >= NODE_COUNT) halved += (model.frequency[i] + 1u) / 2;
  }
  updateModel(0x20);  // the 32,485th symbol: rebuild, then its count
  EXPECT_EQ(model.frequency[ROOT_NODE], halved + 1);
  expectConsistentTree();
}

}  // namespace
