#include "decoder/packed_reader.h"

#include <string.h>

#include "platform/crt.h"

PackedReader packedReader;

void resetPackedReader() { memset(&packedReader, 0, sizeof packedReader); }

// A file that ends inside the stream (a cut-off installer) yields zero bytes
// for the missing part, without reading again for every byte.
void refillPackedReader(FILE* input, DWORD bytesLeft) {
  size_t wanted = bytesLeft < PACKED_BLOCK_SIZE ? bytesLeft : PACKED_BLOCK_SIZE;
  size_t got = crtRead(packedReader.buffer, 1, wanted, input);
  memset(packedReader.buffer + got, 0, wanted - got);
  packedReader.available = (short)wanted;
  packedReader.readPos = 0;
}
