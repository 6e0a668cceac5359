// The few platform calls the decoder makes, for the fuzz targets: an empty
// message queue and plain runtime reads.
#include "fuzz/harness.h"

#include <stdlib.h>

#include "decoder/extract.h"
#include "decoder/output_writer.h"
#include "decoder/packed_reader.h"
#include "platform/crt.h"
#include "platform/user32.h"

size_t crtRead(void* buffer, size_t size, size_t count, FILE* file) { return fread(buffer, size, count, file); }
void crtExit(int) { abort(); }  // a short write cannot happen into memory

extern "C" {
BOOL WINAPI PeekMessageA(LPMSG, HWND, UINT, UINT, UINT) { return FALSE; }
BOOL WINAPI IsDialogMessageA(HWND, LPMSG) { return FALSE; }
BOOL WINAPI TranslateMessage(const MSG*) { return FALSE; }
LRESULT WINAPI DispatchMessageA(const MSG*) { return 0; }
}

std::vector<uint8_t> decodeInMemory(const std::vector<uint8_t>& stream, uint32_t expandedSize, uint32_t* produced) {
  std::vector<uint8_t> in = stream, out(expandedSize + 1);
  in.push_back(0);  // fmemopen wants a non-empty buffer
  FILE* input = fmemopen(in.data(), in.size(), "rb");
  FILE* output = fmemopen(out.data(), out.size(), "wb");
  resetPackedReader();
  resetOutputWriter();
  *produced = decodeStream(input, output, expandedSize, (uint32_t)stream.size());
  out.resize((size_t)ftell(output));
  fclose(output);
  fclose(input);
  return out;
}
