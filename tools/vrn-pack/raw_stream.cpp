// vrn-pack compress / expand: bare compressed streams, without a package.
// expand runs the installer's own decodeStream on the host's files.
#include <cstdio>
#include <memory>
#include <stdexcept>

#include "decoder/extract.h"
#include "decoder/output_writer.h"
#include "decoder/packed_reader.h"
#include "platform/host/machine.h"
#include "tools/common/lzhuf_encoder.h"
#include "tools/common/pe_image.h"
#include "tools/vrn-pack/commands.h"

namespace {

using File = std::unique_ptr<FILE, int (*)(FILE*)>;

File openFile(const std::string& path, const char* mode) {
  File file(std::fopen(path.c_str(), mode), std::fclose);
  if (!file) throw std::runtime_error("cannot open " + path);
  return file;
}

uint32_t parseSize(const std::string& text) {
  size_t used = 0;
  unsigned long long value = std::stoull(text, &used, 0);
  if (used != text.size() || value > 0xFFFFFFFFull) throw std::runtime_error("not a size: " + text);
  return (uint32_t)value;
}

}  // namespace

int compressCommand(const Arguments& args) {
  if (args.size() != 2) return refuse("compress needs IN and OUT");
  pe::writeFile(args[1], lzhuf::encode(pe::readFile(args[0])));
  return 0;
}

int expandCommand(const Arguments& args) {
  if (args.size() != 3) return refuse("expand needs IN, OUT and SIZE");
  uint32_t expandedSize = parseSize(args[2]);
  File input = openFile(args[0], "rb");
  std::fseek(input.get(), 0, SEEK_END);
  long storedSize = std::ftell(input.get());
  std::fseek(input.get(), 0, SEEK_SET);
  File output = openFile(args[1], "wb");
  resetPackedReader();
  resetOutputWriter();
  try {
    uint32_t produced = decodeStream(input.get(), output.get(), expandedSize, (uint32_t)storedSize);
    if (produced < expandedSize) return refuse("the stream stopped after " + std::to_string(produced) + " bytes");
  } catch (const machine::ProcessExit&) {
    return refuse("cannot write " + args[1]);
  }
  return 0;
}
