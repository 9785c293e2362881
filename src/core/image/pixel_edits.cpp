#include "image/pixel_edits.h"

#include <algorithm>
#include <cmath>

#include "image/display.h"

namespace trelmo {

namespace {

size_t bytesPerPixel(const PixelImage& img) { return img.bitsPerPixel() / 8; }

uint8_t* pixelAt(PixelImage& img, uint32_t col, uint32_t row) {
  return img.row(row) + size_t{col} * bytesPerPixel(img);
}

const uint8_t* pixelAt(const PixelImage& img, uint32_t col, uint32_t row) {
  return img.row(row) + size_t{col} * bytesPerPixel(img);
}

void storeValue(uint8_t* p, size_t bytes, uint32_t value) {
  if (bytes == 1) {
    p[0] = static_cast<uint8_t>(value);
    return;
  }
  // 24-bit pixels are stored blue, green, red.
  p[0] = static_cast<uint8_t>(value);
  p[1] = static_cast<uint8_t>(value >> 8);
  p[2] = static_cast<uint8_t>(value >> 16);
}

uint32_t loadValue(const uint8_t* p, size_t bytes) {
  if (bytes == 1) return p[0];
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16);
}

// Records a pixel's old bytes and stores the new value.
class Recorder {
 public:
  Recorder(PixelImage& img, PixelUndo* undo) : img_(img), undo_(undo), bytes_(bytesPerPixel(img)) {}

  void set(uint32_t col, uint32_t row, uint32_t value) {
    uint8_t* p = pixelAt(img_, col, row);
    if (undo_) note(col, row, p);
    storeValue(p, bytes_, value);
    ++changed_;
  }
  size_t changed() const { return changed_; }

 private:
  void note(uint32_t col, uint32_t row, const uint8_t* p) {
    PixelUndo& u = *undo_;
    u.col0 = std::min(u.col0, col);
    u.row0 = std::min(u.row0, row);
    u.col1 = std::max(u.col1, col);
    u.row1 = std::max(u.row1, row);
    ++u.count;
    if (!u.whole.empty()) return;  // the copy already holds the old pixels
    u.pixels.push_back(static_cast<uint32_t>(static_cast<size_t>(p - img_.row(0)) / bytes_));
    u.before.insert(u.before.end(), p, p + bytes_);
    if (u.pixels.size() * 4 + u.before.size() > img_.pixelBytes()) keepWholeCopy();
  }

  // The list has grown larger than the picture: a copy of the pixels as
  // they were is smaller (the pixel about to change is in the list).
  void keepWholeCopy() {
    PixelUndo& u = *undo_;
    const uint8_t* first = img_.row(0);
    u.whole.assign(first, first + img_.pixelBytes());
    for (size_t i = 0; i < u.pixels.size(); ++i)
      std::copy_n(u.before.data() + i * bytes_, bytes_, u.whole.data() + size_t{u.pixels[i]} * bytes_);
    u.pixels = {};
    u.before = {};
  }

  PixelImage& img_;
  PixelUndo* undo_;
  size_t bytes_;
  size_t changed_ = 0;
};

// One run of the scan-line flood: a row and the first column of a stretch
// of pixels still to be filled.
struct Seed {
  uint32_t col, row;
};

// Pushes one seed for every stretch of `from` pixels in columns left..right
// of the row.
void seedRow(const PixelImage& img, uint32_t row, uint32_t left, uint32_t right, uint32_t from,
             std::vector<Seed>& seeds) {
  const size_t bytes = bytesPerPixel(img);
  bool inRun = false;
  for (uint32_t c = left; c <= right; ++c) {
    const bool match = loadValue(pixelAt(img, c, row), bytes) == from;
    if (match && !inRun) seeds.push_back({c, row});
    inRun = match;
  }
}

}  // namespace

bool pictureEditable(const PixelImage& img) {
  if (img.block.size() < kImageHeaderSize) return false;
  const uint32_t w = img.width(), h = img.height(), bpp = img.bitsPerPixel();
  if (w == 0 || h == 0 || img.stride() < w) return false;
  if (img.kind() == 3 ? bpp != 24 : bpp != 8) return false;
  if (uint64_t{img.stride()} * h > UINT32_MAX) return false;  // pixel numbers fit 32 bits
  return img.pixelBytes() <= img.block.size() - kImageHeaderSize;
}

bool isRgbPicture(const PixelImage& img) { return img.bitsPerPixel() == 24; }

uint32_t pixelValue(const PixelImage& img, uint32_t col, uint32_t row) {
  return loadValue(pixelAt(img, col, row), bytesPerPixel(img));
}

uint32_t shownColour(const PixelImage& img, uint8_t index) {
  switch (img.kind()) {
    case 0: {
      const uint32_t g = img.block[128 + index];
      return (g << 16) | (g << 8) | g;
    }
    case 1:
      return colourCubeEntry(index);
    default:
      return img.paletteEntry(index) & 0xFFFFFF;
  }
}

uint8_t nearestIndex(const PixelImage& img, uint32_t rgb) {
  auto channel = [](uint32_t c, int shift) { return static_cast<int>((c >> shift) & 255); };
  int best = 0;
  int64_t bestDistance = INT64_MAX;
  for (int i = 0; i < 256; ++i) {
    const uint32_t c = shownColour(img, static_cast<uint8_t>(i));
    int64_t d = 0;
    for (int shift : {16, 8, 0}) {
      const int64_t e = channel(c, shift) - channel(rgb, shift);
      d += e * e;
    }
    if (d < bestDistance) {
      bestDistance = d;
      best = i;
    }
  }
  return static_cast<uint8_t>(best);
}

bool pictureGridCell(const PixelImage& img, int32_t x, int32_t y, int64_t& col, int64_t& row) {
  const int64_t dpi = img.resolution();
  if (dpi == 0) return false;
  // Pixel k is centred on x0 + k / dpi inches: the nearest centre wins.
  auto nearest = [dpi](int64_t d) {
    const int64_t n = d * dpi * 2 + 65536;
    return n >= 0 ? n / 131072 : -((-n + 131071) / 131072);
  };
  col = nearest(int64_t{x} - img.x0());
  row = nearest(int64_t{img.y1()} - y);
  return true;
}

bool pictureCell(const PixelImage& img, int32_t x, int32_t y, uint32_t& col, uint32_t& row) {
  int64_t c = 0, r = 0;
  if (!pictureGridCell(img, x, y, c, r)) return false;
  if (c < 0 || r < 0 || c >= img.width() || r >= img.height()) return false;
  col = static_cast<uint32_t>(c);
  row = static_cast<uint32_t>(r);
  return true;
}

void pixelWorldBox(const PixelImage& img, uint32_t col0, uint32_t row0, uint32_t col1, uint32_t row1, int64_t box[4]) {
  const int64_t dpi = std::max<int64_t>(1, img.resolution());
  const int64_t half = 32768 / dpi + 1;
  box[0] = img.x0() + int64_t{col0} * 65536 / dpi - half;
  box[2] = img.x0() + int64_t{col1} * 65536 / dpi + half;
  box[3] = img.y1() - int64_t{row0} * 65536 / dpi + half;
  box[1] = img.y1() - int64_t{row1} * 65536 / dpi - half;
}

size_t setPixel(PixelImage& img, uint32_t col, uint32_t row, uint32_t value, PixelUndo* undo) {
  if (col >= img.width() || row >= img.height() || pixelValue(img, col, row) == value) return 0;
  Recorder rec(img, undo);
  rec.set(col, row, value);
  return 1;
}

// Scan-line flood: each seed fills its whole stretch of the row, then seeds
// the stretches above and below it. A filled pixel no longer matches, so no
// pixel is seeded twice from the same stretch and the list stays within the
// picture's size; nothing recurses.
size_t floodPixels(PixelImage& img, uint32_t col, uint32_t row, uint32_t value, PixelUndo* undo) {
  if (col >= img.width() || row >= img.height()) return 0;
  const uint32_t from = pixelValue(img, col, row);
  if (from == value) return 0;
  const size_t bytes = bytesPerPixel(img);
  const uint32_t w = img.width(), h = img.height();
  Recorder rec(img, undo);
  std::vector<Seed> seeds{{col, row}};
  while (!seeds.empty()) {
    const Seed s = seeds.back();
    seeds.pop_back();
    if (loadValue(pixelAt(img, s.col, s.row), bytes) != from) continue;
    uint32_t left = s.col, right = s.col;
    while (left > 0 && loadValue(pixelAt(img, left - 1, s.row), bytes) == from) --left;
    while (right + 1 < w && loadValue(pixelAt(img, right + 1, s.row), bytes) == from) ++right;
    for (uint32_t c = left; c <= right; ++c) rec.set(c, s.row, value);
    if (s.row > 0) seedRow(img, s.row - 1, left, right, from, seeds);
    if (s.row + 1 < h) seedRow(img, s.row + 1, left, right, from, seeds);
  }
  return rec.changed();
}

size_t changeAllPixels(PixelImage& img, uint32_t from, uint32_t to, PixelUndo* undo) {
  if (from == to) return 0;
  const size_t bytes = bytesPerPixel(img);
  Recorder rec(img, undo);
  for (uint32_t r = 0; r < img.height(); ++r) {
    const uint8_t* p = img.row(r);
    for (uint32_t c = 0; c < img.width(); ++c, p += bytes)
      if (loadValue(p, bytes) == from) rec.set(c, r, to);
  }
  return rec.changed();
}

void undoPixels(PixelImage& img, const PixelUndo& undo) {
  uint8_t* first = img.row(0);
  if (!undo.whole.empty()) {
    if (undo.whole.size() == img.pixelBytes()) std::copy(undo.whole.begin(), undo.whole.end(), first);
    return;
  }
  const size_t bytes = bytesPerPixel(img);
  const size_t limit = img.pixelBytes();
  // Newest first, so a pixel changed twice ends with its oldest value.
  for (size_t i = undo.pixels.size(); i-- > 0;) {
    const size_t at = size_t{undo.pixels[i]} * bytes;
    if (at + bytes <= limit) std::copy_n(undo.before.data() + i * bytes, bytes, first + at);
  }
}

}  // namespace trelmo
