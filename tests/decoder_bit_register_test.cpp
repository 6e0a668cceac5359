// The decode loop's 64-bit bit register against the model's 16-bit buffer:
// the same bits, block reads during the same symbols, and the same state
// written back.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <vector>

#include "decoder/bit_register.h"

namespace {

// A stream in memory whose reads are counted.
struct CountedStream {
  std::vector<uint8_t> bytes;
  size_t at = 0;
  int reads = 0;
};

ssize_t countedRead(void* cookie, char* buffer, size_t size) {
  auto* s = static_cast<CountedStream*>(cookie);
  s->reads++;
  size_t n = std::min(size, s->bytes.size() - s->at);
  std::copy(s->bytes.begin() + (long)s->at, s->bytes.begin() + (long)(s->at + n), buffer);
  s->at += n;
  return (ssize_t)n;
}

FILE* open(CountedStream& s) {
  FILE* f = fopencookie(&s, "rb", {countedRead, nullptr, nullptr, nullptr});
  setvbuf(f, nullptr, _IONBF, 0);
  return f;
}

// A symbol as the loop reads it: walk steps of two bits, the last of one
// or two, and for a match a position code of 9 to 14 bits.
struct Symbol {
  int steps;
  bool lastOfOne;
  int positionBits;  // 0 for a literal
};

TEST(BitRegister, ReadsBlocksDuringTheSameSymbolsAsTheModelsBuffer) {
  std::mt19937 random(5);
  for (int round = 0; round < 30; round++) {
    SCOPED_TRACE(round);
    size_t stored = round < 3 ? (size_t)round : random() % 60000;
    std::vector<uint8_t> bytes(stored + 8);
    for (uint8_t& b : bytes) b = (uint8_t)random();
    CountedStream ours{bytes}, theirs{bytes};
    std::vector<Symbol> symbols(random() % 40000);
    for (Symbol& s : symbols) {
      s = {(int)(random() % (round % 3 == 0 ? 3 : 12)), random() % 2 == 0,
           random() % 3 == 0 ? 9 + (int)(random() % 6) : 0};
    }

    // The model's buffer, one bit or byte at a time.
    FILE* theirFile = open(theirs);
    resetPackedReader();
    model.byteSource = theirFile;
    resetBitInput((DWORD)stored);
    std::vector<unsigned> theirBits;
    std::vector<int> theirReads;
    for (const Symbol& s : symbols) {
      unsigned bits = 0;
      for (int i = 0; i < 2 * s.steps + (s.lastOfOne ? 1 : 2); i++) bits = bits << 1 | (unsigned)readBit();
      if (s.positionBits) {
        bits = bits << 8 | (unsigned)read8Bits();
        for (int i = 8; i < s.positionBits; i++) bits = bits << 1 | (unsigned)readBit();
      }
      theirBits.push_back(bits);
      theirReads.push_back(theirs.reads);
    }
    HuffmanModel theirModel = model;
    PackedReader theirReader = packedReader;
    fclose(theirFile);

    // The register, as the decode loop drives it.
    FILE* ourFile = open(ours);
    resetPackedReader();
    model.byteSource = ourFile;
    resetBitInput((DWORD)stored);
    BitRegister in = loadBitRegister();
    finishSymbolInput(in);
    for (size_t k = 0; k < symbols.size(); k++) {
      const Symbol& s = symbols[k];
      unsigned bits = 0;
      for (int i = 0; i <= s.steps; i++) {
        if (in.count < 2) in = refillBitRegister(in, 2);
        unsigned take = i < s.steps || !s.lastOfOne ? 2 : 1;
        bits = bits << take | peekBits(in, take);
        dropBits(in, take);
      }
      if (s.positionBits) {
        if (in.count < 14) in = refillBitRegister(in, 14);
        bits = bits << s.positionBits | peekBits(in, (unsigned)s.positionBits);
        dropBits(in, (unsigned)s.positionBits);
      }
      finishSymbolInput(in);
      ASSERT_EQ(bits, theirBits[k]) << k;
      ASSERT_EQ(ours.reads, theirReads[k]) << k;
    }
    if (!symbols.empty()) {
      storeBitRegister(in);
      EXPECT_EQ(model.bitBuffer, theirModel.bitBuffer);
      EXPECT_EQ(model.bitCount, theirModel.bitCount);
      EXPECT_EQ(model.bytesLeft, theirModel.bytesLeft);
      EXPECT_EQ(packedReader.available, theirReader.available);
      EXPECT_EQ(packedReader.readPos, theirReader.readPos);
    }
    fclose(ourFile);
  }
}

}  // namespace
