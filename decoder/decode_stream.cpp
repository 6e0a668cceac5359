// The LZ side of the decoder: the window and the copying of matches, driven
// by the symbols of the adaptive model.
#include <string.h>

#include "decoder/extract.h"
#include "decoder/huffman.h"
#include "decoder/output_writer.h"
#include "decoder/pump.h"

#define WINDOW_MASK (WINDOW_SIZE - 1)
#define BLANK 0x20
#define LARGEST_STREAM 0x7FFFFFFFu                     // the output counters are signed 32-bit
#define MATCH_LENGTH_BASE (256 - MATCH_THRESHOLD - 1)  // symbol 256 is a match of 3

static BYTE window[WINDOW_SIZE];
static unsigned windowPos;  // where the next output byte goes

// Blanks up to the first write; the last MAX_MATCH positions are written
// before a well-formed stream reads them.
static void presetWindow() {
  memset(window, BLANK, WINDOW_SIZE - MAX_MATCH);
  windowPos = WINDOW_SIZE - MAX_MATCH;
}

// Stores a match in the window and the writer's buffer. Bytes are copied one
// at a time so that a source overlapping the destination repeats them.
static inline unsigned copyMatch(unsigned pos, unsigned from, int length, FILE* output, DWORD expandedSize) {
  short pending = outputWriter.pending;
  if (outputWriter.chunkSizeSet && pending + length < outputWriter.chunkSize) {
    BYTE* out = outputWriter.buffer + pending;
    for (int i = 0; i < length; i++) {
      BYTE b = window[from];
      window[pos] = b;
      out[i] = b;
      from = (from + 1) & WINDOW_MASK;
      pos = (pos + 1) & WINDOW_MASK;
    }
    outputWriter.pending = (short)(pending + length);
    return pos;
  }
  for (int i = 0; i < length; i++) {  // may complete a chunk: the writer decides
    BYTE b = window[from];
    writeOutputByte(output, b, expandedSize);
    window[pos] = b;
    from = (from + 1) & WINDOW_MASK;
    pos = (pos + 1) & WINDOW_MASK;
  }
  return pos;
}

static inline unsigned storeLiteral(unsigned pos, BYTE b, FILE* output, DWORD expandedSize) {
  short pending = outputWriter.pending;
  if (outputWriter.chunkSizeSet && pending + 1 < outputWriter.chunkSize) {
    outputWriter.buffer[pending] = b;
    outputWriter.pending = (short)(pending + 1);
  } else {
    writeOutputByte(output, b, expandedSize);
  }
  window[pos] = b;
  return (pos + 1) & WINDOW_MASK;
}

// The symbol loop, with the bit input and the window position in locals.
static LONG decodeSymbols(FILE* output, LONG expandedSize) {
  BitInput in = loadBitInput();
  unsigned pos = windowPos;
  LONG produced = 0;
  long long checkpoint = 0;  // wider, so that raising it past the last pump cannot overflow
  do {
    int s = walkTree(in);
    updateModel(s);
    if (s < 256) {
      pos = storeLiteral(pos, (BYTE)s, output, (DWORD)expandedSize);
      produced++;
    } else {
      int p = readPosition(in);
      int length = s - MATCH_LENGTH_BASE;
      pos = copyMatch(pos, (pos - (unsigned)p - 1) & WINDOW_MASK, length, output, (DWORD)expandedSize);
      produced += length;
    }
    if (produced > checkpoint) {
      if (pumpMessages()) break;
      checkpoint += PUMP_INTERVAL;
    }
  } while (produced < expandedSize);
  storeBitInput(in);
  windowPos = pos;
  return produced;
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
