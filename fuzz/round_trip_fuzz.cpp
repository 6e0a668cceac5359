// The encoder's streams expand through decodeStream to the encoder's input.
#include <stdlib.h>

#include "fuzz/harness.h"
#include "tools/common/lzhuf_encoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> input(data, data + size);
  uint32_t produced;
  if (decodeInMemory(lzhuf::encode(input), (uint32_t)size, &produced) != input) abort();
  return 0;
}
