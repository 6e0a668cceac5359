// The LZ side of the decoder: the window and the copying of matches, driven
// by the symbols of the adaptive model.
//
// While a stream is decoded the window lies in `history` as the 4096 bytes
// before the next output byte, so that a match is one forward copy; the
// bytes go to the writer in spans, each ending no later than the symbol
// whose byte completes a chunk, so the writes fall where byte-by-byte
// writing puts them. The ring `window` holds the window between streams.
#include <string.h>

#include "decoder/bit_register.h"
#include "decoder/extract.h"
#include "decoder/huffman.h"
#include "decoder/output_writer.h"
#include "decoder/pump.h"

#define WINDOW_MASK (WINDOW_SIZE - 1)
#define BLANK 0x20
#define LARGEST_STREAM 0x7FFFFFFFu                     // the output counters are signed 32-bit
#define MATCH_LENGTH_BASE (256 - MATCH_THRESHOLD - 1)  // symbol 256 is a match of 3
#define SPAN_SIZE 16384                                // bytes decoded between moves of the window
#define COPY_BLOCK 16                                  // matches are copied in blocks of this size
#define COPY_OVERRUN (2 * COPY_BLOCK)                  // a match may store this far past the span
#define POSITION_CODE_BITS 14                          // the longest position code

static BYTE window[WINDOW_SIZE];
static unsigned windowPos;  // where the next output byte goes
static BYTE history[WINDOW_SIZE + SPAN_SIZE + COPY_OVERRUN];

// Blanks up to the first write; the last MAX_MATCH positions are written
// before a well-formed stream reads them.
static void presetWindow() {
  memset(window, BLANK, WINDOW_SIZE - MAX_MATCH);
  windowPos = WINDOW_SIZE - MAX_MATCH;
}

// The ring, oldest byte first, in front of `at`: from windowPos to the end,
// then from the start to windowPos.
static void windowToHistory(BYTE* at) {
  unsigned older = WINDOW_SIZE - windowPos;
  memcpy(at - WINDOW_SIZE, window + windowPos, older);
  memcpy(at - windowPos, window, windowPos);
}

static void historyToWindow(const BYTE* at, DWORD produced) {
  windowPos = (windowPos + produced) & WINDOW_MASK;
  unsigned older = WINDOW_SIZE - windowPos;
  memcpy(window + windowPos, at - WINDOW_SIZE, older);
  memcpy(window, at - windowPos, windowPos);
}

// Copies from `distance` bytes back; a source overlapping the destination
// repeats its bytes, as a byte-by-byte copy does. Whole blocks may store up
// to COPY_OVERRUN bytes past the end, which are not output yet.
static inline void copyMatch(BYTE* out, unsigned distance, unsigned length) {
  const BYTE* from = out - distance;
  if (distance >= COPY_BLOCK) {
    memcpy(out, from, COPY_BLOCK);
    if (length > COPY_BLOCK) memcpy(out + COPY_BLOCK, from + COPY_BLOCK, COPY_BLOCK);
  } else if (distance >= COPY_BLOCK / 2) {
    for (unsigned i = 0; i < length; i += COPY_BLOCK / 2) memcpy(out + i, from + i, COPY_BLOCK / 2);
  } else {
    for (unsigned i = 0; i < length; i++) out[i] = from[i];
  }
}

// The walk's last step: to a leaf one level down, or two. Returns the leaf
// as the tree holds it, NODE_COUNT + its symbol.
static inline unsigned leafReached(BitRegister& in, unsigned step) {
  if (step & STEP_ONE_BIT) {
    dropBits(in, 1);
    return step & ~STEP_ONE_BIT;
  }
  dropBits(in, 2);
  return step;
}

// Walks from the root, the first levels in one lookup and then two levels a
// step, while more bits are held than any code has, without looking at the
// count on the way.
static inline unsigned walkHeld(BitRegister& in) {
  unsigned top = topTable[peekBits(in, TOP_LEVELS)];
  unsigned v = top & TOP_VALUE_MASK;
  if (v >= NODE_COUNT) {
    dropBits(in, top >> TOP_USED_SHIFT);
    return v;
  }
  // Below the table's levels: all of them taken, a shift that does not wait
  // for the lookup.
  dropBits(in, TOP_LEVELS);
  unsigned next;
  for (;;) {
    next = stepTable[2 * v + peekBits(in, 2)];
    if (next >= NODE_COUNT) break;
    dropBits(in, 2);
    v = next;
  }
  return leafReached(in, next);
}

// The same with the register refilled on the way, for the symbols outside
// the runs; returns the symbol.
static int walkTree(BitRegister& in) {
  unsigned v = model.child[ROOT_NODE];
  unsigned next;
  for (;;) {
    if (in.count < 2) in = refillBitRegister(in, 2);
    next = stepTable[2 * v + peekBits(in, 2)];
    if (next >= NODE_COUNT) break;
    dropBits(in, 2);
    v = next;
  }
  return (int)(leafReached(in, next) - NODE_COUNT);
}

static inline unsigned positionHeld(BitRegister& in) {
  unsigned b = peekBits(in, 8);
  unsigned length = positionBits[b] + POSITION_LOW_BITS;
  unsigned position = positionHigh[b] << POSITION_LOW_BITS | (peekBits(in, length) & ((1u << POSITION_LOW_BITS) - 1));
  dropBits(in, length);
  return position;
}

static unsigned readPosition(BitRegister& in) {
  if (in.count < POSITION_CODE_BITS) in = refillBitRegister(in, POSITION_CODE_BITS);
  return positionHeld(in);
}

// Bits that a symbol takes at the most: its code and a position.
#define SYMBOL_BITS (LONGEST_CODE + POSITION_CODE_BITS)

// Symbols one after another while nothing else is due: the bits of the
// next symbol are held, the register can be topped up from the block, no
// rebuild is due and the output has not reached `stop`; returns where the
// output stopped. Out of line and free of calls, so that the compiler
// keeps the register and the output in machine registers throughout.
__attribute__((noinline)) static BYTE* decodeRun(BitRegister* state, BYTE* next, const BYTE* stop) {
  BitRegister in = *state;
  if (in.count < SYMBOL_BITS || !wordAvailable(in)) return next;
  // Each symbol ends with a full top-up, which leaves more than SYMBOL_BITS.
  const BYTE* lastWord = in.end - sizeof(uint64_t);
  if (topStale) buildTopTable();
  while (next < stop && in.next <= lastWord && model.frequency[ROOT_NODE] != FREQ_LIMIT) {
    unsigned leaf = walkHeld(in);
    if (leaf < NODE_COUNT + 256) {
      *next++ = (BYTE)(leaf - NODE_COUNT);
    } else {
      unsigned length = leaf - (NODE_COUNT + MATCH_LENGTH_BASE);
      copyMatch(next, positionHeld(in) + 1, length);
      next += length;
    }
    takeWord(in);
    size_t n = climbFromLeaf(leaf);
    if (n != ROOT_NODE) climbFromExchange(n);
  }
  // Only these change here: the rest stays out of the loop's registers.
  state->bits = in.bits;
  state->count = in.count;
  state->next = in.next;
  return next;
}

// The output side of the loop: where the next byte goes, what the writer
// has been given, and the output count at which the loop must next look up
// (a chunk is due, a pump, the end, or the span is full).
struct Output {
  BYTE* next;
  BYTE* given;
  long long base;  // the output count of history[0]
  long long checkpoint;
  long long expandedSize;
  FILE* file;
};

static long long produced(const Output& out) { return out.base + (out.next - history); }

static BYTE* nextStop(const Output& out) {
  long long now = produced(out);
  long long stop = out.checkpoint + 1 < out.expandedSize ? out.checkpoint + 1 : out.expandedSize;
  DWORD due = bytesBeforeWrite((DWORD)out.expandedSize);
  if (due != NO_WRITE_DUE && out.given - out.next + (long long)due < stop - now)
    stop = now + (out.given - out.next) + due;
  long long room = history + WINDOW_SIZE + SPAN_SIZE - out.next;
  if (room < stop - now) stop = now + room;
  return out.next + (stop - now);
}

// Gives the writer the new bytes, pumps when due and moves the window back
// when the span is full; 0 to stop.
static int lookUp(Output* result) {
  Output out = *result;
  writeOutputBytes(out.file, out.given, (DWORD)(out.next - out.given), (DWORD)out.expandedSize);
  out.given = out.next;
  *result = out;
  long long now = produced(out);
  if (now > out.checkpoint) {
    if (pumpMessages()) return 0;
    result->checkpoint = out.checkpoint += PUMP_INTERVAL;
  }
  if (now >= out.expandedSize) return 0;
  if (out.next >= history + WINDOW_SIZE + SPAN_SIZE) {
    long long shift = out.next - WINDOW_SIZE - history;
    memmove(history, out.next - WINDOW_SIZE, WINDOW_SIZE);
    out.base += shift;
    out.next = out.given = history + WINDOW_SIZE;
  }
  *result = out;
  return 1;
}

// The symbol loop: runs of symbols, and one symbol at a time wherever the
// register needs the reader or the model a rebuild; the writer, the pump
// and the window are looked after when the output reaches the next stop.
static LONG decodeSymbols(FILE* output, LONG expandedSize) {
  BitRegister in = loadBitRegister();
  Output out = {history + WINDOW_SIZE, history + WINDOW_SIZE, -WINDOW_SIZE, 0, expandedSize, output};
  windowToHistory(out.next);
  BYTE* stop = nextStop(out);
  finishSymbolInput(in);
  for (;;) {
    out.next = decodeRun(&in, out.next, stop);
    if (out.next >= stop) {
      if (!lookUp(&out)) break;
      stop = nextStop(out);
      continue;
    }
    int s = walkTree(in);
    if (s < 256) {
      *out.next++ = (BYTE)s;
    } else {
      unsigned length = (unsigned)(s - MATCH_LENGTH_BASE);
      copyMatch(out.next, readPosition(in) + 1, length);
      out.next += length;
    }
    finishSymbolInput(in);
    updateFromLeaf(s);
  }
  storeBitRegister(in);
  long long count = produced(out);
  historyToWindow(out.next, (DWORD)count);
  return (LONG)count;
}

// Sizes of 2^31 and above do not fit the signed counters: nothing is decoded.
DWORD decodeStream(FILE* input, FILE* output, DWORD expandedSize, DWORD storedSize) {
  model.byteSource = input;
  resetBitInput(storedSize);
  if (expandedSize == 0 || expandedSize > LARGEST_STREAM) return 0;
  initTree();
  presetWindow();
  return (DWORD)decodeSymbols(output, (LONG)expandedSize);
}
