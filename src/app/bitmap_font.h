// The 8x16 bitmap font of the status bar: 256 characters in the PC code page
// order (the design's own character set: degree 248, micro 230, ohm 234),
// 16 rows each, one byte per row, bit 7 leftmost.
#pragma once
#include <array>
#include <cstdint>

namespace trelmo::app {

const std::array<uint8_t, 4096>& bitmapFont();

}  // namespace trelmo::app
