// Reads a PE32 file for the tools and tests: headers, sections, imports and
// the resource tree. The installer itself walks the file its own way.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pe {

struct Section {
  std::string name;
  uint32_t virtualSize;
  uint32_t virtualAddress;
  uint32_t rawSize;
  uint32_t rawOffset;
  size_t headerOffset;  // of its 40-byte header in the file
};

struct Resource {
  std::string type;  // "#103" for numeric types, else the name
  std::string name;
  uint16_t language;
  uint32_t dataRva;
  uint32_t size;
  uint32_t fileOffset;     // of the data
  size_t dataEntryOffset;  // of its 16-byte data entry in the file
};

struct Image {
  std::vector<uint8_t> bytes;
  uint16_t machine = 0;
  uint16_t optionalHeaderSize = 0;
  uint16_t magic = 0;
  uint16_t subsystem = 0;
  uint32_t fileAlignment = 0;
  uint32_t sectionAlignment = 0;
  size_t optionalOffset = 0;
  std::vector<Section> sections;
  std::vector<Resource> resources;   // in directory order: the first is the anchor
  std::vector<std::string> imports;  // DLL names

  const Section* section(const std::string& name) const;
  const Resource* resource(const std::string& type, const std::string& name) const;
  uint32_t rvaToOffset(uint32_t rva) const;
};

std::vector<uint8_t> readFile(const std::string& path);
void writeFile(const std::string& path, const std::vector<uint8_t>& bytes);
// Throws std::runtime_error with a reason when the file is not a PE image.
Image parse(std::vector<uint8_t> bytes);

uint16_t u16(const std::vector<uint8_t>& b, size_t at);
uint32_t u32(const std::vector<uint8_t>& b, size_t at);
void put16(std::vector<uint8_t>& b, size_t at, uint16_t v);
void put32(std::vector<uint8_t>& b, size_t at, uint32_t v);

}  // namespace pe
