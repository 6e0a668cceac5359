// Build step for the installer stub: moves the anchor resource's data to the
// last bytes of the file, so that the authoring tool can write a package from
// the anchor's first byte to the end. Fails the build when the resource
// section is not the last thing in the file or the anchor is not the first
// resource.
#include <cstdio>
#include <stdexcept>

#include "tools/common/pe_image.h"

static uint32_t alignUp(uint32_t value, uint32_t alignment) { return (value + alignment - 1) / alignment * alignment; }

static void check(bool condition, const char* reason) {
  if (!condition) throw std::runtime_error(reason);
}

static void placeAnchorLast(pe::Image& image) {
  check(!image.sections.empty() && image.sections.back().name == ".rsrc",
        "the resource section is not the last section");
  const pe::Section rsrc = image.sections.back();
  check(!image.resources.empty(), "no resources");
  const pe::Resource anchor = image.resources.front();
  check(anchor.type == "LASTRES" && anchor.name == "#1000" && anchor.language == 1033 && anchor.size == 4,
        "the first resource is not LASTRES 1000 (language 1033, 4 bytes)");
  check(image.bytes.size() >= rsrc.rawOffset + rsrc.rawSize, "the file ends inside its resource section");
  if (anchor.fileOffset + 4 == image.bytes.size()) return;  // already in place

  uint32_t rawSize = alignUp(rsrc.virtualSize + 4, image.fileAlignment);
  uint32_t anchorAt = rsrc.rawOffset + rawSize - 4;
  std::vector<uint8_t> data(image.bytes.begin() + anchor.fileOffset, image.bytes.begin() + anchor.fileOffset + 4);
  image.bytes.resize(rsrc.rawOffset + rawSize, 0);
  std::copy(data.begin(), data.end(), image.bytes.begin() + anchorAt);

  pe::put32(image.bytes, anchor.dataEntryOffset, rsrc.virtualAddress + rawSize - 4);
  pe::put32(image.bytes, rsrc.headerOffset + 8, rawSize);                  // VirtualSize
  pe::put32(image.bytes, rsrc.headerOffset + 16, rawSize);                 // SizeOfRawData
  pe::put32(image.bytes, image.optionalOffset + 96 + 2 * 8 + 4, rawSize);  // resource directory size
  pe::put32(image.bytes, image.optionalOffset + 56, alignUp(rsrc.virtualAddress + rawSize, image.sectionAlignment));
}

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: stubfix STUB.EXE\n");
    return 2;
  }
  try {
    pe::Image image = pe::parse(pe::readFile(argv[1]));
    placeAnchorLast(image);
    pe::writeFile(argv[1], image.bytes);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "stubfix: %s: %s\n", argv[1], e.what());
    return 1;
  }
  return 0;
}
