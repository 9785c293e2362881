// PCX pictures: run-length coded scan lines of one to four planes. Palette
// pictures of 1 to 8 bits (planes of 1, 2, 4 or 8 bits each, at most 8 bits
// in all) keep their indices; 3 or 4 planes of 8 bits are RGB(A).
#include <algorithm>
#include <vector>

#include "files/import/picture_decoders.h"

namespace trelmo::picture {

namespace {

constexpr size_t kHeader = 128;
constexpr size_t kVgaPaletteBytes = 769;  // 0x0C marker and 256 RGB triples
constexpr uint32_t kMaxRun = 63;

constexpr uint32_t kEgaPalette[16] = {0x000000, 0x0000AA, 0x00AA00, 0x00AAAA, 0xAA0000, 0xAA00AA, 0xAA5500, 0xAAAAAA,
                                      0x555555, 0x5555FF, 0x55FF55, 0x55FFFF, 0xFF5555, 0xFF55FF, 0xFFFF55, 0xFFFFFF};

struct PcxInfo {
  uint32_t width = 0, height = 0;
  uint32_t bpp = 0, planes = 0, bytesPerLine = 0;
  uint32_t version = 0, dpi = kDefaultDpi;
  bool rgb = false;
  bool vgaPalette = false;
  size_t dataEnd = 0;
};

bool readInfo(Bytes f, PcxInfo& info) {
  if (f.size() < kHeader || f[0] != 0x0A || f[2] != 1) return false;
  info.version = f[1];
  info.bpp = f[3];
  info.planes = f[65];
  info.bytesPerLine = le16(f, 66);
  const uint32_t xmin = le16(f, 4), ymin = le16(f, 6), xmax = le16(f, 8), ymax = le16(f, 10);
  if (xmax < xmin || ymax < ymin) return false;
  info.width = xmax - xmin + 1;
  info.height = ymax - ymin + 1;
  info.dpi = sensibleDpi(le16(f, 12));

  const uint32_t b = info.bpp, p = info.planes;
  info.rgb = b == 8 && (p == 3 || p == 4);
  const bool indexed = (b == 1 || b == 2 || b == 4 || b == 8) && p >= 1 && b * p <= 8;
  if (!info.rgb && !indexed) return false;
  if (info.bytesPerLine < (uint64_t{info.width} * b + 7) / 8) return false;

  info.dataEnd = f.size();
  if (b == 8 && p == 1 && f.size() >= kHeader + kVgaPaletteBytes && f[f.size() - kVgaPaletteBytes] == 0x0C) {
    info.vgaPalette = true;
    info.dataEnd = f.size() - kVgaPaletteBytes;
  }
  return true;
}

// The colours of an indexed picture: the VGA table at the end of the file,
// black and white for one bit, the header's 16 colours (the standard EGA set
// for version 3 files, which carry none), or a grey ramp for 8-bit pictures
// without a table.
void readPalette(Bytes f, const PcxInfo& info, PixelImage& img) {
  uint32_t palette[256] = {};
  const uint32_t depth = info.bpp * info.planes;
  int count = 1 << depth;
  if (info.vgaPalette) {
    const size_t p = f.size() - 768;
    for (size_t i = 0; i < 256; ++i) palette[i] = rgb(f[p + 3 * i], f[p + 3 * i + 1], f[p + 3 * i + 2]);
  } else if (depth == 1) {
    palette[1] = 0xFFFFFF;
  } else if (depth <= 4) {
    const bool headerHasColors =
        info.version != 3 && std::any_of(f.begin() + 16, f.begin() + 64, [](uint8_t v) { return v != 0; });
    for (int i = 0; i < 16; ++i)
      palette[i] = headerHasColors ? rgb(f[16 + 3 * i], f[17 + 3 * i], f[18 + 3 * i]) : kEgaPalette[i];
  } else {
    for (uint32_t i = 0; i < 256; ++i) palette[i] = rgb(i, i, i);
  }
  setPalette(img, palette, count);
}

// Expands the run-length data into one scan line (all planes) at a time.
class RunDecoder {
 public:
  RunDecoder(Bytes f, size_t end) : f_(f), pos_(kHeader), end_(end) {}
  // False when the data ends before the line is full.
  bool line(uint8_t* dst, size_t n) {
    size_t i = 0;
    while (i < n) {
      if (run_ == 0) {
        if (pos_ >= end_) return false;
        const uint8_t b = f_[pos_++];
        if (b >= 0xC0) {
          if (pos_ >= end_) return false;
          run_ = b & 0x3F;
          value_ = f_[pos_++];
          continue;
        }
        run_ = 1;
        value_ = b;
      }
      const size_t take = std::min<size_t>(run_, n - i);
      std::fill(dst + i, dst + i + take, value_);
      i += take;
      run_ -= static_cast<uint32_t>(take);
    }
    return true;
  }

 private:
  Bytes f_;
  size_t pos_, end_;
  uint32_t run_ = 0;
  uint8_t value_ = 0;
};

void storeIndexed(const uint8_t* line, const PcxInfo& info, uint8_t* dst) {
  const uint32_t b = info.bpp, mask = (1u << b) - 1;
  for (uint32_t x = 0; x < info.width; ++x) {
    uint32_t v = 0;
    for (uint32_t p = 0; p < info.planes; ++p) {
      const uint8_t* plane = line + size_t{p} * info.bytesPerLine;
      const uint64_t bit = uint64_t{x} * b;
      const uint32_t shift = 8 - b - static_cast<uint32_t>(bit & 7);
      v |= ((plane[bit >> 3] >> shift) & mask) << (p * b);
    }
    dst[x] = static_cast<uint8_t>(v);
  }
}

void storeRgb(const uint8_t* line, const PcxInfo& info, uint8_t* dst) {
  for (uint32_t x = 0; x < info.width; ++x)
    for (uint32_t c = 0; c < 3; ++c) dst[3 * x + c] = line[size_t{c} * info.bytesPerLine + x];
}

}  // namespace

std::unique_ptr<PixelImage> decodePcx(Bytes f) {
  PcxInfo info;
  if (!readInfo(f, info)) return nullptr;
  // Each two bytes of data give at most 63 bytes of scan line: refuse sizes
  // the data cannot hold before allocating anything.
  const uint64_t lineBytes = uint64_t{info.planes} * info.bytesPerLine;
  const uint64_t available = (info.dataEnd - kHeader) / 2 * kMaxRun + kMaxRun;
  if (lineBytes * info.height > available) return nullptr;

  auto img = makeImage(info.width, info.height, info.rgb ? 3 : 1, info.dpi);
  if (!img) return nullptr;
  if (!info.rgb) readPalette(f, info, *img);
  std::vector<uint8_t> line(lineBytes);
  RunDecoder runs(f, info.dataEnd);
  for (uint32_t y = 0; y < info.height; ++y) {
    if (!runs.line(line.data(), line.size())) return nullptr;
    if (info.rgb)
      storeRgb(line.data(), info, img->row(y));
    else
      storeIndexed(line.data(), info, img->row(y));
  }
  return img;
}

}  // namespace trelmo::picture
