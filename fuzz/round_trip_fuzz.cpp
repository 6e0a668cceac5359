// The encoder's streams expand through decodeStream to the encoder's input.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include <vector>

#include "decoder/extract.h"
#include "decoder/output_writer.h"
#include "decoder/packed_reader.h"
#include "tools/common/lzhuf_encoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> input(data, data + size);
  std::vector<uint8_t> stream = lzhuf::encode(input);
  stream.push_back(0);  // fmemopen wants a non-empty buffer
  std::vector<uint8_t> out(size + 1);
  FILE* in = fmemopen(stream.data(), stream.size(), "rb");
  FILE* output = fmemopen(out.data(), out.size(), "wb");
  resetPackedReader();
  resetOutputWriter();
  decodeStream(in, output, (uint32_t)size, (uint32_t)(stream.size() - 1));
  fclose(output);
  fclose(in);
  out.resize(size);
  if (out != input) abort();
  return 0;
}
