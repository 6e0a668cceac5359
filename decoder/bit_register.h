// The decode loop's bit input: up to 64 bits in a register, taken from the
// reader's block ahead of need, while the reader's block reads happen during
// the same symbols as with the model's 16-bit buffer (which takes a byte only
// when 8 bits or fewer are left), so that reads interleave with the writes
// and pumps exactly as there. At the end the model's buffer, its byte count
// and the reader are set to what the 16-bit buffer would have left.
#pragma once

#include <stdint.h>
#include <string.h>

#include "decoder/huffman.h"
#include "decoder/packed_reader.h"

#define REGISTER_BITS 64
#define BYTE_BITS 8
// The 16-bit buffer takes a byte before a read that finds this many bits or fewer.
#define FILL_BELOW 8

struct BitRegister {
  uint64_t bits;  // left-aligned: the next bit is bit 63
  unsigned count;
  const BYTE* next;      // the reader's next byte
  const BYTE* end;       // behind the last byte that may be taken now
  const BYTE* blockEnd;  // behind the reader's last buffered byte
  DWORD bytesAfterEnd;   // stream bytes not yet in the reader's block
  DWORD zeroBytes;       // bytes past the stored size taken as zeros
  FILE* source;
};

// The register goes in and out of these by value, so that the decode loop
// can keep it in machine registers.
BitRegister loadBitRegister();
void storeBitRegister(BitRegister in);
// Makes `need` bits available; reads a block only when the 16-bit buffer
// would have read it during the current symbol.
BitRegister refillBitRegister(BitRegister in, unsigned need);
// The block read that the 16-bit buffer would have made during the symbol
// just decoded, when the register has not needed it yet.
BitRegister readBlockIfDue(BitRegister in);

// Takes eight bytes of the reader's block: as many whole bytes as fit go
// in; the bits below `count` then already hold the next bytes, which the
// next take ORs in again unchanged. Only while eight bytes remain before
// `end` and fewer than REGISTER_BITS bits are held.
inline void takeWord(BitRegister& in) {
  uint64_t word;
  memcpy(&word, in.next, sizeof word);
  in.bits |= __builtin_bswap64(word) >> in.count;  // the stream's first byte on top
  in.next += (REGISTER_BITS - 1 - in.count) / BYTE_BITS;
  in.count |= REGISTER_BITS - BYTE_BITS;  // count + 8 * bytes taken
}

// Takes whole bytes of the reader's block one at a time while they fit.
inline void takeBytes(BitRegister& in) {
  while (in.count <= REGISTER_BITS - BYTE_BITS && in.next < in.end) {
    in.bits |= (uint64_t)*in.next++ << (REGISTER_BITS - BYTE_BITS - in.count);
    in.count += BYTE_BITS;
  }
}

inline bool wordAvailable(const BitRegister& in) { return in.end - in.next >= 8; }

// Takes whole bytes of the reader's current block while they fit.
inline void topUp(BitRegister& in) {
  if (wordAvailable(in))
    takeWord(in);
  else
    takeBytes(in);
}

// After each symbol: bits for the next one, and the block read due. Inside
// the block the register is topped up every time, as whether it is due would
// be a branch as good as random; near the block's end, only when fewer bits
// are held than the longest code has (a position code refills for itself).
#define TOP_UP_BELOW (LONGEST_CODE + 1)
inline void finishSymbolInput(BitRegister& in) {
  if (wordAvailable(in)) {
    takeWord(in);
    return;
  }
  if (in.count >= TOP_UP_BELOW) return;
  takeBytes(in);
  if (in.count < FILL_BELOW) in = readBlockIfDue(in);
}

inline unsigned peekBits(const BitRegister& in, unsigned n) { return (unsigned)(in.bits >> (REGISTER_BITS - n)); }

inline void dropBits(BitRegister& in, unsigned n) {
  in.bits <<= n;
  in.count -= n;
}
