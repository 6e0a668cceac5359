#include "tools/common/pe_image.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace pe {

static void need(const std::vector<uint8_t>& b, size_t at, size_t count) {
  if (at > b.size() || count > b.size() - at) throw std::runtime_error("file ends inside its PE headers");
}

uint16_t u16(const std::vector<uint8_t>& b, size_t at) {
  need(b, at, 2);
  return (uint16_t)(b[at] | b[at + 1] << 8);
}

uint32_t u32(const std::vector<uint8_t>& b, size_t at) {
  need(b, at, 4);
  return (uint32_t)u16(b, at) | (uint32_t)u16(b, at + 2) << 16;
}

void put16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
  need(b, at, 2);
  b[at] = (uint8_t)v;
  b[at + 1] = (uint8_t)(v >> 8);
}

void put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  put16(b, at, (uint16_t)v);
  put16(b, at + 2, (uint16_t)(v >> 16));
}

std::vector<uint8_t> readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), (std::streamsize)bytes.size());
  if (!out) throw std::runtime_error("cannot write " + path);
}

const Section* Image::section(const std::string& name) const {
  for (const Section& s : sections) {
    if (s.name == name) return &s;
  }
  return nullptr;
}

const Resource* Image::resource(const std::string& type, const std::string& name) const {
  for (const Resource& r : resources) {
    if (r.type == type && r.name == name) return &r;
  }
  return nullptr;
}

uint32_t Image::rvaToOffset(uint32_t rva) const {
  for (const Section& s : sections) {
    if (rva >= s.virtualAddress && rva - s.virtualAddress < std::max(s.virtualSize, s.rawSize)) {
      return rva - s.virtualAddress + s.rawOffset;
    }
  }
  throw std::runtime_error("address outside every section");
}

static std::string resourceName(const Image& image, size_t base, uint32_t field) {
  if (!(field & 0x80000000u)) return "#" + std::to_string(field);
  size_t at = base + (field & 0x7FFFFFFFu);
  std::string name;
  for (uint16_t i = 0, n = u16(image.bytes, at); i < n; i++) name += (char)u16(image.bytes, at + 2 + 2 * i);
  return name;
}

// Walks the three levels of the resource directory in their stored order.
static void readResources(Image& image, const Section& rsrc) {
  const std::vector<uint8_t>& b = image.bytes;
  size_t base = rsrc.rawOffset;
  auto entries = [&](size_t dir) { return (size_t)u16(b, dir + 12) + u16(b, dir + 14); };
  for (size_t t = 0, nt = entries(base); t < nt; t++) {
    size_t te = base + 16 + 8 * t;
    std::string type = resourceName(image, base, u32(b, te));
    size_t names = base + (u32(b, te + 4) & 0x7FFFFFFFu);
    for (size_t n = 0, nn = entries(names); n < nn; n++) {
      size_t ne = names + 16 + 8 * n;
      std::string name = resourceName(image, base, u32(b, ne));
      size_t langs = base + (u32(b, ne + 4) & 0x7FFFFFFFu);
      for (size_t l = 0, nl = entries(langs); l < nl; l++) {
        size_t le = langs + 16 + 8 * l;
        size_t data = base + u32(b, le + 4);
        Resource r{type, name, (uint16_t)u32(b, le), u32(b, data), u32(b, data + 4), 0, data};
        r.fileOffset = r.dataRva - rsrc.virtualAddress + rsrc.rawOffset;
        image.resources.push_back(r);
      }
    }
  }
}

static void readImports(Image& image) {
  size_t directory = image.optionalOffset + 96 + 8;  // data directory 1
  uint32_t rva = u32(image.bytes, directory);
  if (rva == 0) return;
  for (size_t at = image.rvaToOffset(rva);; at += 20) {
    uint32_t nameRva = u32(image.bytes, at + 12);
    if (nameRva == 0) break;
    std::string name;
    for (size_t p = image.rvaToOffset(nameRva); p < image.bytes.size() && image.bytes[p]; p++) {
      name += (char)image.bytes[p];
    }
    image.imports.push_back(name);
  }
}

Image parse(std::vector<uint8_t> bytes) {
  Image image;
  image.bytes = std::move(bytes);
  const std::vector<uint8_t>& b = image.bytes;
  if (u16(b, 0) != 0x5A4D) throw std::runtime_error("not an MS-DOS executable");
  size_t pe = u32(b, 60);
  if (u32(b, pe) != 0x00004550) throw std::runtime_error("no PE signature");
  image.machine = u16(b, pe + 4);
  uint16_t sectionCount = u16(b, pe + 6);
  image.optionalHeaderSize = u16(b, pe + 20);
  image.optionalOffset = pe + 24;
  image.magic = u16(b, image.optionalOffset);
  image.sectionAlignment = u32(b, image.optionalOffset + 32);
  image.fileAlignment = u32(b, image.optionalOffset + 36);
  image.subsystem = u16(b, image.optionalOffset + 68);
  size_t table = image.optionalOffset + image.optionalHeaderSize;
  for (uint16_t i = 0; i < sectionCount; i++) {
    size_t at = table + 40 * i;
    need(b, at, 40);
    std::string name(reinterpret_cast<const char*>(&b[at]), 8);
    name = name.substr(0, name.find('\0'));
    image.sections.push_back({name, u32(b, at + 8), u32(b, at + 12), u32(b, at + 16), u32(b, at + 20), at});
  }
  if (const Section* rsrc = image.section(".rsrc")) readResources(image, *rsrc);
  readImports(image);
  return image;
}

}  // namespace pe
