#include "output/bmp_writer.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace trelmo {

namespace {

constexpr std::array<uint32_t, 16> kEga = {0x000000, 0x0000AA, 0x00AA00, 0x00AAAA, 0xAA0000, 0xAA00AA,
                                           0xAA5500, 0xAAAAAA, 0x555555, 0x5555FF, 0x55FF55, 0x55FFFF,
                                           0xFF5555, 0xFF55FF, 0xFFFF55, 0xFFFFFF};

void put16(std::vector<uint8_t>& v, uint32_t x) { v.push_back(x & 255), v.push_back((x >> 8) & 255); }
void put32(std::vector<uint8_t>& v, uint32_t x) { put16(v, x & 0xFFFF), put16(v, x >> 16); }

std::vector<uint32_t> palette(int depth) {
  std::vector<uint32_t> p;
  switch (depth) {
    case 1:
    case 2:
      return {0x000000, 0xFFFFFF};
    case 3:
      for (int i = 0; i < 16; ++i)
        p.push_back(i < 8 ? ((i & 4 ? 0xFF0000 : 0) | (i & 2 ? 0xFF00 : 0) | (i & 1 ? 0xFF : 0)) : 0);
      return p;
    case 4:
      return {kEga.begin(), kEga.end()};
    case 6:
      for (int i = 0; i < 256; ++i)
        p.push_back(i < 216 ? (51u * (i / 36) << 16) | (51u * (i / 6 % 6) << 8) | (51u * (i % 6)) : 0);
      return p;
    case 8:
      for (uint32_t i = 0; i < 256; ++i) p.push_back(i * 0x010101);
      return p;
    default:
      return p;
  }
}

int nearestEga(const uint8_t* bgr) {
  int best = 0;
  long bestDist = -1;
  for (int i = 0; i < 16; ++i) {
    const long dr = bgr[2] - static_cast<long>(kEga[i] >> 16), dg = bgr[1] - static_cast<long>((kEga[i] >> 8) & 255),
               db = bgr[0] - static_cast<long>(kEga[i] & 255);
    const long d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
    if (bestDist < 0 || d < bestDist) bestDist = d, best = i;
  }
  return best;
}

}  // namespace

int bmpDepthSetting(int32_t depth) {
  switch (depth) {
    case 1:
    case 2:
    case 3:
    case 4:
    case 6:
    case 8:
      return depth;
    default:
      return 24;
  }
}

int bmpBitsPerPixel(int depth) {
  switch (bmpDepthSetting(depth)) {
    case 1:
    case 2:
      return 1;
    case 3:
    case 4:
      return 4;
    case 6:
    case 8:
      return 8;
    default:
      return 24;
  }
}

int greyLevel(const uint8_t* bgr) { return (299 * bgr[2] + 587 * bgr[1] + 114 * bgr[0] + 500) / 1000; }

int ditherThreshold(int x, int y) {
  // The 8x8 Bayer matrix, scaled to thresholds between 2 and 254.
  static const std::array<uint8_t, 64> bayer = {0,  32, 8,  40, 2,  34, 10, 42, 48, 16, 56, 24, 50, 18, 58, 26,
                                                12, 44, 4,  36, 14, 46, 6,  38, 60, 28, 52, 20, 62, 30, 54, 22,
                                                3,  35, 11, 43, 1,  33, 9,  41, 51, 19, 59, 27, 49, 17, 57, 25,
                                                15, 47, 7,  39, 13, 45, 5,  37, 63, 31, 55, 23, 61, 29, 53, 21};
  return bayer[(y & 7) * 8 + (x & 7)] * 4 + 2;
}

std::vector<uint8_t> bmpHeader(int width, int height, int depth, double dpi) {
  depth = bmpDepthSetting(depth);
  const int bits = bmpBitsPerPixel(depth);
  const std::vector<uint32_t> pal = palette(depth);
  const uint32_t rowBytes = ((static_cast<uint32_t>(width) * bits + 31) / 32) * 4;
  const uint32_t image = rowBytes * static_cast<uint32_t>(height);
  const uint32_t offset = 54 + 4 * static_cast<uint32_t>(pal.size());
  const uint32_t perMetre = static_cast<uint32_t>(std::lround(dpi / 0.0254));
  std::vector<uint8_t> h = {'B', 'M'};
  put32(h, offset + image), put32(h, 0), put32(h, offset);
  put32(h, 40), put32(h, static_cast<uint32_t>(width)), put32(h, static_cast<uint32_t>(height));
  put16(h, 1), put16(h, static_cast<uint32_t>(bits)), put32(h, 0), put32(h, image);
  put32(h, perMetre), put32(h, perMetre), put32(h, static_cast<uint32_t>(pal.size())), put32(h, 0);
  for (uint32_t c : pal) put32(h, c);
  return h;
}

bool BmpWriter::begin(int width, int height, double dpi) {
  const std::vector<uint8_t> h = bmpHeader(width, height, depth_, dpi);
  return out_.write(h.data(), h.size());
}

void BmpWriter::packRow(const uint8_t* bgr, int width, int y, std::vector<uint8_t>& row) const {
  const int bits = bmpBitsPerPixel(depth_);
  row.assign(((static_cast<size_t>(width) * bits + 31) / 32) * 4, 0);
  for (int x = 0; x < width; ++x, bgr += 3) {
    int v = 0;
    switch (depth_) {
      case 1:
        v = bgr[0] == 255 && bgr[1] == 255 && bgr[2] == 255;
        break;
      case 2:
        v = greyLevel(bgr) >= ditherThreshold(x, y);
        break;
      case 3:
        v = (bgr[2] >= 128 ? 4 : 0) | (bgr[1] >= 128 ? 2 : 0) | (bgr[0] >= 128 ? 1 : 0);
        break;
      case 4:
        v = nearestEga(bgr);
        break;
      case 6:
        v = (bgr[2] + 25) / 51 * 36 + (bgr[1] + 25) / 51 * 6 + (bgr[0] + 25) / 51;
        break;
      case 8:
        v = greyLevel(bgr);
        break;
      default:
        std::copy(bgr, bgr + 3, row.begin() + 3 * static_cast<size_t>(x));
        continue;
    }
    if (bits == 8)
      row[x] = static_cast<uint8_t>(v);
    else if (bits == 4)
      row[x / 2] |= static_cast<uint8_t>(v << (x & 1 ? 0 : 4));
    else if (v)
      row[x / 8] |= static_cast<uint8_t>(0x80 >> (x & 7));
  }
}

bool BmpWriter::band(const uint8_t* pixels, int pitch, int width, BandPlace at, int rows) {
  std::vector<uint8_t> row;
  for (int r = rows - 1; r >= 0; --r) {
    packRow(pixels + static_cast<size_t>(r) * pitch, width, at.top + r, row);
    if (!out_.write(row.data(), row.size())) return false;
  }
  return true;
}

}  // namespace trelmo
