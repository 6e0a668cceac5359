// The buffered input of a compressed stream: the installer's file read in
// whole blocks, never past the stream's last byte.
#pragma once

#include <stdio.h>

#include "platform/wintypes.h"

#define PACKED_BLOCK_SIZE 16384  // one read of the installer's file

// Exists once; visible so that the decode loop can take bytes inline.
struct PackedReader {
  BYTE buffer[PACKED_BLOCK_SIZE];
  short available;  // buffered bytes not yet handed out
  short readPos;    // index of the next byte to hand out
};

extern PackedReader packedReader;

void resetPackedReader();
// Reads the next block: up to min(bytesLeft, PACKED_BLOCK_SIZE) bytes.
void refillPackedReader(FILE* input, DWORD bytesLeft);

// The next byte of the stream; bytesLeft counts the bytes not yet taken.
inline BYTE readPackedByte(FILE* input, DWORD bytesLeft) {
  if (packedReader.available < 1) refillPackedReader(input, bytesLeft);
  packedReader.available--;
  return packedReader.buffer[packedReader.readPos++];
}
