// The in-memory form of a raster picture: a 1408-byte header followed by the
// pixel rows, top row first.
#pragma once
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace trelmo {

struct Context;

constexpr size_t kImageHeaderSize = 1408;
constexpr const char* kImageMagic = "PIX98a";

struct PixelImage {
  std::vector<uint8_t> block;  // header + rows

  // Header fields (little-endian in the block).
  uint32_t u32(size_t off) const {
    uint32_t v;
    std::memcpy(&v, block.data() + off, 4);
    return v;
  }
  void setU32(size_t off, uint32_t v) { std::memcpy(block.data() + off, &v, 4); }
  int32_t i32(size_t off) const { return static_cast<int32_t>(u32(off)); }
  void setI32(size_t off, int32_t v) { setU32(off, static_cast<uint32_t>(v)); }

  uint32_t stride() const { return u32(8); }
  uint32_t width() const { return u32(12); }
  uint32_t height() const { return u32(16); }
  uint32_t resolution() const { return u32(20); }
  uint32_t bitsPerPixel() const { return u32(24); }
  uint32_t kind() const { return u32(28); }
  int32_t x0() const { return i32(32); }
  int32_t y0() const { return i32(36); }
  int32_t x1() const { return i32(40); }
  int32_t y1() const { return i32(44); }
  std::string name() const;
  void setName(const std::string& name);
  uint8_t* translation() { return block.data() + 128; }
  uint32_t paletteEntry(int i) const { return u32(384 + 4 * static_cast<size_t>(i)); }
  void setPaletteEntry(int i, uint32_t rgb) { setU32(384 + 4 * static_cast<size_t>(i), rgb); }
  uint8_t* row(uint32_t r) { return block.data() + kImageHeaderSize + size_t{r} * stride() * (bitsPerPixel() / 8); }
  const uint8_t* row(uint32_t r) const {
    return block.data() + kImageHeaderSize + size_t{r} * stride() * (bitsPerPixel() / 8);
  }
  size_t pixelBytes() const { return size_t{stride()} * height() * (bitsPerPixel() / 8); }
  bool linked() const { return block.size() > 64 && block[64] == '"'; }
};

// Largest picture accepted from any file: 2^28 pixel bytes.
constexpr size_t kMaxImageBytes = size_t{1} << 28;

// A new image with an identity translation table and zero pixels; null when
// the size is out of bounds. kind 3 is 24-bit colour, else 8 bits per pixel.
std::unique_ptr<PixelImage> makeImage(uint32_t width, uint32_t height, uint32_t kind, uint32_t dpi);

// Owns every picture of every open file; parameter blocks refer to them by id.
class ImageStore {
 public:
  uint32_t add(std::unique_ptr<PixelImage> img);
  PixelImage* get(uint32_t id) const;
  void remove(uint32_t id);
  size_t size() const { return images_.size(); }

 private:
  std::map<uint32_t, std::unique_ptr<PixelImage>> images_;
  uint32_t nextId_ = 1;
};

// Makes img the current picture of the current design file: an image already
// in the current slot moves to the alternate slot, whose previous image is
// freed. A null img changes nothing.
void setCurrentImage(Context& ctx, std::unique_ptr<PixelImage> img);
// Puts img into the alternate slot, freeing the image that was there.
void setAlternateImage(Context& ctx, std::unique_ptr<PixelImage> img);

}  // namespace trelmo
