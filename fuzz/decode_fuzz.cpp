// decodeStream on arbitrary bytes: the first 3 bytes give the expanded size,
// the rest is the stream. It must never crash or touch memory out of bounds,
// and must write exactly the expanded size.
#include <stdlib.h>

#include "fuzz/harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  uint32_t expandedSize = data[0] | data[1] << 8 | (uint32_t)(data[2] & 3) << 16;  // up to 256 KB: quick runs
  uint32_t produced;
  std::vector<uint8_t> out = decodeInMemory(std::vector<uint8_t>(data + 3, data + size), expandedSize, &produced);
  if (produced < expandedSize || out.size() != expandedSize) abort();
  return 0;
}
