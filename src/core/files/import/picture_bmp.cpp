// Windows bitmaps: one plane, 1, 4, 8, 16 (5 bits per channel) or 24 bits
// per pixel, uncompressed or run-length coded with 8 bits per pixel.
#include <algorithm>
#include <limits>

#include "files/import/picture_decoders.h"

namespace trelmo::picture {

namespace {

constexpr size_t kFileHeader = 14;
constexpr uint32_t kRgb = 0, kRle8 = 1;

struct BmpInfo {
  uint32_t width = 0, height = 0;
  bool topDown = false;
  uint32_t bpp = 0, compression = 0;
  uint32_t dpi = kDefaultDpi;
  size_t paletteOffset = 0;
  uint32_t paletteCount = 0;
  size_t pixelOffset = 0;
};

bool readInfo(Bytes f, BmpInfo& info) {
  const uint32_t headerSize = le32(f, kFileHeader);
  if (headerSize < 40 || headerSize > 256 || f.size() < kFileHeader + headerSize) return false;
  const auto width = static_cast<int32_t>(le32(f, 18));
  const auto height = static_cast<int32_t>(le32(f, 22));
  if (le16(f, 26) != 1) return false;  // planes
  info.bpp = le16(f, 28);
  info.compression = le32(f, 30);
  const auto pixelsPerMetre = static_cast<int32_t>(le32(f, 38));
  const uint32_t colorsUsed = le32(f, 46);

  if (width <= 0 || height == 0 || height == std::numeric_limits<int32_t>::min()) return false;
  info.width = static_cast<uint32_t>(width);
  info.topDown = height < 0;
  info.height = static_cast<uint32_t>(height < 0 ? -height : height);
  const uint32_t b = info.bpp;
  if (b != 1 && b != 4 && b != 8 && b != 16 && b != 24) return false;
  if (!(info.compression == kRgb || (info.compression == kRle8 && b == 8 && !info.topDown))) return false;
  info.dpi = sensibleDpi(pixelsPerMetre * 0.0254);

  info.paletteOffset = kFileHeader + headerSize;
  if (b <= 8) {
    const uint32_t full = 1u << b;
    info.paletteCount = colorsUsed == 0 || colorsUsed > full ? full : colorsUsed;
  }
  info.pixelOffset = le32(f, 10);
  const size_t afterPalette = info.paletteOffset + size_t{info.paletteCount} * 4;
  if (info.pixelOffset >= info.paletteOffset) {
    // The colour table cannot reach into the pixels.
    info.paletteCount = std::min<uint32_t>(info.paletteCount, (info.pixelOffset - info.paletteOffset) / 4);
  } else {
    // A pixel offset inside the headers: take the pixels as following the table.
    info.pixelOffset = afterPalette;
  }
  return info.pixelOffset <= f.size();
}

void readPalette(Bytes f, const BmpInfo& info, PixelImage& img) {
  uint32_t palette[256] = {};
  const size_t available = (f.size() - std::min(f.size(), info.paletteOffset)) / 4;
  const int count = static_cast<int>(std::min<size_t>(info.paletteCount, available));
  for (int i = 0; i < count; ++i) {
    const size_t p = info.paletteOffset + 4 * static_cast<size_t>(i);
    palette[i] = rgb(f[p + 2], f[p + 1], f[p]);
  }
  setPalette(img, palette, static_cast<int>(info.paletteCount));
}

uint8_t expand5(uint32_t v) { return static_cast<uint8_t>((v << 3) | (v >> 2)); }

void unpackRow(const uint8_t* src, uint32_t width, uint32_t bpp, uint8_t* dst) {
  for (size_t x = 0; x < width; ++x) {
    switch (bpp) {
      case 1:
        dst[x] = (src[x >> 3] >> (7 - (x & 7))) & 1;
        break;
      case 4:
        dst[x] = (x & 1) ? (src[x >> 1] & 15) : (src[x >> 1] >> 4);
        break;
      case 8:
        dst[x] = src[x];
        break;
      case 16: {
        const uint32_t v = src[2 * x] | uint32_t{src[2 * x + 1]} << 8;
        dst[3 * x] = expand5((v >> 10) & 31);
        dst[3 * x + 1] = expand5((v >> 5) & 31);
        dst[3 * x + 2] = expand5(v & 31);
        break;
      }
      case 24:
        dst[3 * x] = src[3 * x + 2];
        dst[3 * x + 1] = src[3 * x + 1];
        dst[3 * x + 2] = src[3 * x];
        break;
    }
  }
}

uint64_t fileRowBytes(const BmpInfo& info) { return (uint64_t{info.width} * info.bpp + 31) / 32 * 4; }

// True when the file holds every uncompressed row (checked before anything
// is allocated, so a tiny file cannot ask for a huge picture).
bool rowsPresent(Bytes f, const BmpInfo& info) {
  return fileRowBytes(info) <= (f.size() - info.pixelOffset) / info.height;
}

// Uncompressed rows, each padded to 4 bytes, bottom row first unless the
// height was negative.
void readRows(Bytes f, const BmpInfo& info, PixelImage& img) {
  const uint64_t rowBytes = fileRowBytes(info);
  for (uint32_t r = 0; r < info.height; ++r) {
    const uint32_t memRow = info.topDown ? r : info.height - 1 - r;
    unpackRow(f.data() + info.pixelOffset + r * rowBytes, info.width, info.bpp, img.row(memRow));
  }
}

// Run-length coded rows: count/index pairs, and escapes 0,0 end of line,
// 0,1 end of bitmap, 0,2 dx,dy skip, 0,n n literal bytes padded to even.
// Pixels beyond the edges are dropped; data that stops before the end of the
// bitmap is refused. Without an image the stream is only checked.
bool readRle8(Bytes f, const BmpInfo& info, PixelImage* img) {
  size_t p = info.pixelOffset;
  uint32_t x = 0, y = 0;  // y counts rows from the bottom
  auto put = [&](uint8_t v) {
    if (img && x < info.width && y < info.height) img->row(info.height - 1 - y)[x] = v;
    ++x;
  };
  while (y < info.height) {
    if (p + 2 > f.size()) return false;
    const uint8_t count = f[p], value = f[p + 1];
    p += 2;
    if (count > 0) {
      for (int i = 0; i < count; ++i) put(value);
    } else if (value == 0) {
      x = 0;
      ++y;
    } else if (value == 1) {
      return true;
    } else if (value == 2) {
      if (p + 2 > f.size()) return false;
      x += f[p];
      y += f[p + 1];
      p += 2;
    } else {
      if (p + value > f.size()) return false;
      for (int i = 0; i < value; ++i) put(f[p + i]);
      p += (value + 1u) & ~1u;
    }
  }
  return true;
}

}  // namespace

std::unique_ptr<PixelImage> decodeBmp(Bytes f) {
  BmpInfo info;
  if (f.size() < kFileHeader + 40 || f[0] != 'B' || f[1] != 'M' || !readInfo(f, info)) return nullptr;
  const bool rle = info.compression == kRle8;
  if (rle ? !readRle8(f, info, nullptr) : !rowsPresent(f, info)) return nullptr;
  const uint32_t kind = info.bpp >= 16 ? 3 : 1;
  auto img = makeImage(info.width, info.height, kind, info.dpi);
  if (!img) return nullptr;
  if (kind != 3) readPalette(f, info, *img);
  if (rle)
    readRle8(f, info, img.get());
  else
    readRows(f, info, *img);
  return img;
}

}  // namespace trelmo::picture
