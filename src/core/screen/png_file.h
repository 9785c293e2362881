// Pictures of the screen as PNG files: a small writer (uncompressed deflate
// blocks, no library needed) and a reader for files of that form.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "screen/surface.h"

namespace trelmo {

// 0x00RRGGBB colours of a surface's pixels, row by row.
std::vector<uint32_t> surfaceColours(const Surface& s);

std::vector<uint8_t> encodePng(const std::vector<uint32_t>& rgb, int width, int height);
// Reads 8-bit RGB PNGs whose image data uses stored deflate blocks (what
// encodePng writes). False on anything else or on damaged data.
bool decodePng(const std::vector<uint8_t>& data, std::vector<uint32_t>& rgb, int& width, int& height);

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes);
bool readFile(const std::string& path, std::vector<uint8_t>& bytes, size_t limit = size_t{1} << 28);

}  // namespace trelmo
