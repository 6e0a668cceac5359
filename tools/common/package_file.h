// Writing and reading whole installers: the stub with a package at its
// anchor. Used by vrn-pack and the tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/common/pe_image.h"

namespace pack {

enum class Storage { Automatic, Stored, Compressed };

struct InputFile {
  std::string source;  // where the bytes came from, for messages
  std::vector<uint8_t> bytes;
  uint8_t kind = ' ';  // media files only
  std::string suffix;  // media files only
  Storage storage = Storage::Automatic;
};

struct Input {
  std::string saverName;
  uint32_t startColour = 0x00FF0000;
  uint32_t endColour = 0;
  std::string license;  // empty: none
  uint16_t firstSequenceNumber = 1;
  std::vector<InputFile> files;  // saver, data file, uninstaller, media files
};

struct Entry {
  uint32_t streamOffset, storedSize, expandedSize;
  std::string suffix;  // the 15 bytes as stored
  uint8_t kind;
};

struct Package {
  uint32_t headerOffset;
  std::string license;
  std::string saverName;  // up to its NUL
  uint32_t startColour, endColour;
  uint16_t reserved, firstSequenceNumber;
  std::vector<Entry> entries;
};

// Why the input cannot be packed, or "" when it can.
std::string validate(const Input& input);
// The file offset of the anchor's data, when the stub's anchor is where the
// installer looks and its data is the last bytes of the file. Throws otherwise.
uint32_t anchorOffset(const pe::Image& stub);
// The stub followed by the package; compresses with `compress` when given.
using Compressor = std::vector<uint8_t> (*)(const std::vector<uint8_t>&);
std::vector<uint8_t> build(const std::vector<uint8_t>& stub, const Input& input, Compressor compress);
// Reads the package of an installer the way the installer does. Throws with a
// reason when it cannot.
Package read(const std::vector<uint8_t>& installer);
// The name an entry gets on the target machine, e.g. "FILE0018.jpg".
std::string targetName(const Package& package, size_t index);

}  // namespace pack
