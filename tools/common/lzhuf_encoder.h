// The packaging side of the compressed stream format: LZ77 over the
// installer's 4096-byte window with matches of 3 to 30 bytes, coded with the
// installer's own adaptive Huffman model and position code, so that every
// stream written here expands through the installer's decoder.
#pragma once

#include <cstdint>
#include <vector>

namespace lzhuf {

// The bare bit string of a stream that expands to `input`. It uses the
// installer's single model: not for use while a stream is being decoded.
std::vector<uint8_t> encode(const std::vector<uint8_t>& input);

}  // namespace lzhuf
