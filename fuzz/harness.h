// Shared by the fuzz targets.
#pragma once

#include <stdint.h>

#include <vector>

// decodeStream from memory to memory: the output bytes (as many as were
// written, expected expandedSize) and in *produced what it returned.
std::vector<uint8_t> decodeInMemory(const std::vector<uint8_t>& stream, uint32_t expandedSize, uint32_t* produced);
