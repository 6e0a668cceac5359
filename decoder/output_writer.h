// The buffered output of a stream: the target is written in chunks of
// OUTPUT_CHUNK_SIZE bytes, the last chunk being the rest of the expanded
// size, so that the byte that completes the stream also writes it out.
#pragma once

#include <stdio.h>

#include "platform/wintypes.h"

#define OUTPUT_CHUNK_SIZE 16384  // one write of the target file

// Exists once; visible so that the decode loop can append bytes inline.
struct OutputWriter {
  BYTE buffer[OUTPUT_CHUNK_SIZE];
  short pending;    // bytes in the buffer
  short chunkSize;  // bytes that make up the current chunk, when chunkSizeSet
  bool chunkSizeSet;
  DWORD written;  // bytes of this stream written to the target so far
};

extern OutputWriter outputWriter;

void resetOutputWriter();
void writeOutputByte(FILE* output, BYTE byte, DWORD expandedSize);
// The same as writeOutputByte for each of `count` bytes in turn.
void writeOutputBytes(FILE* output, const BYTE* bytes, DWORD count, DWORD expandedSize);
// How many more bytes writeOutputByte takes up to and including the one
// that writes a chunk; NO_WRITE_DUE when no byte will.
DWORD bytesBeforeWrite(DWORD expandedSize);
#define NO_WRITE_DUE 0xFFFFFFFFu
// The chunk that the next byte belongs to, when none is set.
void startChunk(DWORD expandedSize);
// Writes the completed chunk; a short write ends the process.
void writeChunk(FILE* output);
