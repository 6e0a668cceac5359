// PNG files of pictures: 8-bit RGB, zlib stored blocks, no compression
// library needed.
#include <fstream>
#include <stdexcept>

#include "platform/host/ui.h"

namespace {

const size_t storedBlockLimit = 65535;  // a stored deflate block's largest length

std::uint32_t crc32(const std::vector<std::uint8_t>& bytes, size_t from) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = from; i < bytes.size(); i++) {
    crc ^= bytes[i];
    for (int bit = 0; bit < 8; bit++) crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
  }
  return ~crc;
}

std::uint32_t adler32(const std::vector<std::uint8_t>& bytes) {
  std::uint32_t a = 1, b = 0;
  for (std::uint8_t byte : bytes) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  return b << 16 | a;
}

void bigEndian(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back((std::uint8_t)(v >> shift));
}

void chunk(std::vector<std::uint8_t>& out, const char* type, const std::vector<std::uint8_t>& data) {
  bigEndian(out, (std::uint32_t)data.size());
  size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  std::vector<std::uint8_t> covered(out.begin() + (long)start, out.end());
  bigEndian(out, crc32(covered, 0));
}

std::vector<std::uint8_t> zlibStored(const std::vector<std::uint8_t>& raw) {
  std::vector<std::uint8_t> z = {0x78, 0x01};
  size_t at = 0;
  do {
    size_t length = std::min(storedBlockLimit, raw.size() - at);
    bool last = at + length == raw.size();
    z.push_back(last ? 1 : 0);
    for (std::uint16_t v : {(std::uint16_t)length, (std::uint16_t)~length}) {
      z.push_back((std::uint8_t)v);
      z.push_back((std::uint8_t)(v >> 8));
    }
    z.insert(z.end(), raw.begin() + (long)at, raw.begin() + (long)(at + length));
    at += length;
  } while (at < raw.size());
  bigEndian(z, adler32(raw));
  return z;
}

}  // namespace

namespace ui {

void writePng(const Picture& picture, const std::string& hostFile) {
  std::vector<std::uint8_t> raw;
  for (int y = 0; y < picture.height; y++) {
    raw.push_back(0);  // no filter
    for (int x = 0; x < picture.width; x++) {
      std::uint32_t p = picture.at(x, y);
      for (int shift : {0, 8, 16}) raw.push_back((std::uint8_t)(p >> shift));
    }
  }
  std::vector<std::uint8_t> header;
  bigEndian(header, (std::uint32_t)picture.width);
  bigEndian(header, (std::uint32_t)picture.height);
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, no filter set, no interlace
  std::vector<std::uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  chunk(file, "IHDR", header);
  chunk(file, "IDAT", zlibStored(raw));
  chunk(file, "IEND", {});
  std::ofstream out(hostFile, std::ios::binary);
  out.write(reinterpret_cast<const char*>(file.data()), (std::streamsize)file.size());
  if (!out) throw std::runtime_error("cannot write " + hostFile);
}

}  // namespace ui
