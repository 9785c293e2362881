// Little helpers that build picture files byte by byte for the tests.
#pragma once
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace trelmo::testing {

using ByteVec = std::vector<uint8_t>;

inline void put16(ByteVec& b, uint32_t v) {
  b.push_back(v & 255);
  b.push_back((v >> 8) & 255);
}
inline void put32(ByteVec& b, uint32_t v) {
  put16(b, v & 0xFFFF);
  put16(b, v >> 16);
}
inline void set32(ByteVec& b, size_t off, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[off + i] = (v >> (8 * i)) & 255;
}
inline void append(ByteVec& b, std::initializer_list<uint8_t> bytes) { b.insert(b.end(), bytes); }

// The first `n` bytes of row `y` of a decoded picture.
template <class Image>
ByteVec pixels(const Image& img, uint32_t y, size_t n) {
  return ByteVec(img.row(y), img.row(y) + n);
}

struct BmpSpec {
  int32_t width = 1, height = 1;
  uint16_t bpp = 8;
  uint32_t compression = 0;
  int32_t pixelsPerMetre = 3937;  // 100 dpi
  std::vector<uint32_t> palette;  // 0x00RRGGBB
  uint32_t infoSize = 40;
  uint16_t planes = 1;
};

// A Windows bitmap: file header, information header, colour table, pixels.
inline ByteVec makeBmp(const BmpSpec& s, const ByteVec& pixels) {
  ByteVec b;
  const uint32_t offset = 14 + s.infoSize + 4 * static_cast<uint32_t>(s.palette.size());
  b.push_back('B');
  b.push_back('M');
  put32(b, offset + static_cast<uint32_t>(pixels.size()));
  put32(b, 0);
  put32(b, offset);
  put32(b, s.infoSize);
  put32(b, static_cast<uint32_t>(s.width));
  put32(b, static_cast<uint32_t>(s.height));
  put16(b, s.planes);
  put16(b, s.bpp);
  put32(b, s.compression);
  put32(b, static_cast<uint32_t>(pixels.size()));
  put32(b, static_cast<uint32_t>(s.pixelsPerMetre));
  put32(b, static_cast<uint32_t>(s.pixelsPerMetre));
  put32(b, static_cast<uint32_t>(s.palette.size()));
  put32(b, 0);
  b.resize(14 + s.infoSize, 0);
  for (uint32_t c : s.palette) {
    b.push_back(c & 255);
    b.push_back((c >> 8) & 255);
    b.push_back((c >> 16) & 255);
    b.push_back(0);
  }
  b.insert(b.end(), pixels.begin(), pixels.end());
  return b;
}

// A path in a folder of this test process: CTest runs tests in parallel.
inline std::string temporaryPath(const std::string& name) {
  const std::string dir = ::testing::TempDir() + "/trelmo-pictures-" + std::to_string(::getpid());
  ::mkdir(dir.c_str(), 0700);
  return dir + "/" + name;
}

}  // namespace trelmo::testing
