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

// Walks from the root two levels a step; with more bits at hand than any
// code has, without looking at the count on the way.
static inline int walkTree(BitRegister& in) {
  unsigned v = model.child[ROOT_NODE];
  unsigned next;
  if (in.count > LONGEST_CODE) {
    for (;;) {
      next = stepTable[2 * v + peekBits(in, 2)];
      if (next >= NODE_COUNT) break;
      dropBits(in, 2);
      v = next;
    }
  } else {
    for (;;) {
      if (in.count < 2) in = refillBitRegister(in, 2);
      next = stepTable[2 * v + peekBits(in, 2)];
      if (next >= NODE_COUNT) break;
      dropBits(in, 2);
      v = next;
    }
  }
  if (next & STEP_ONE_BIT) {
    dropBits(in, 1);
    return (int)((next & ~STEP_ONE_BIT) - NODE_COUNT);
  }
  dropBits(in, 2);
  return (int)(next - NODE_COUNT);
}

static inline unsigned readPosition(BitRegister& in) {
  if (in.count < POSITION_CODE_BITS) in = refillBitRegister(in, POSITION_CODE_BITS);
  unsigned b = peekBits(in, 8);
  unsigned length = positionBits[b] + POSITION_LOW_BITS;
  unsigned position = positionHigh[b] << POSITION_LOW_BITS | (peekBits(in, length) & ((1u << POSITION_LOW_BITS) - 1));
  dropBits(in, length);
  return position;
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

// The symbol loop, with the bit input and the output position in locals.
static LONG decodeSymbols(FILE* output, LONG expandedSize) {
  BitRegister in = loadBitRegister();
  Output out = {history + WINDOW_SIZE, history + WINDOW_SIZE, -WINDOW_SIZE, 0, expandedSize, output};
  windowToHistory(out.next);
  BYTE* stop = nextStop(out);
  finishSymbolInput(in);
  for (;;) {
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
    if (out.next >= stop) {
      Output looked = out;
      int goOn = lookUp(&looked);
      out = looked;
      if (!goOn) break;
      stop = nextStop(out);
    }
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
