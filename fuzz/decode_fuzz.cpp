// decodeStream on arbitrary bytes: the first 3 bytes give the expanded size,
// the rest is the stream. It must never crash or touch memory out of bounds,
// and never write more than the expanded size.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include <vector>

#include "decoder/extract.h"
#include "decoder/output_writer.h"
#include "decoder/packed_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  uint32_t expandedSize = data[0] | data[1] << 8 | (uint32_t)data[2] << 16;  // up to 16 MB
  std::vector<uint8_t> stream(data + 3, data + size);
  stream.push_back(0);  // fmemopen wants a non-empty buffer
  std::vector<uint8_t> out(expandedSize + 1);
  FILE* input = fmemopen(stream.data(), stream.size(), "rb");
  FILE* output = fmemopen(out.data(), out.size(), "wb");
  resetPackedReader();
  resetOutputWriter();
  uint32_t produced = decodeStream(input, output, expandedSize, (uint32_t)(size - 3));
  long written = ftell(output);
  fclose(output);
  fclose(input);
  if (produced < expandedSize || written != (long)expandedSize) abort();
  return 0;
}
