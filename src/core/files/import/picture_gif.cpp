// GIF pictures through giflib: the first image of the file, placed on the
// logical screen filled with the background colour.
#include <gif_lib.h>

#include <algorithm>
#include <vector>

#include "files/import/picture_decoders.h"

namespace trelmo::picture {

namespace {

constexpr uint64_t kMaxPixelsPerByte = 8 * 4096 / 3 + 1;

struct MemorySource {
  Bytes data;
  size_t pos = 0;
};

int readFromMemory(GifFileType* gif, GifByteType* dest, int n) {
  auto* src = static_cast<MemorySource*>(gif->UserData);
  if (n <= 0) return 0;
  const size_t take = std::min<size_t>(static_cast<size_t>(n), src->data.size() - src->pos);
  std::memcpy(dest, src->data.data() + src->pos, take);
  src->pos += take;
  return static_cast<int>(take);
}

struct GifCloser {
  void operator()(GifFileType* gif) const {
    int err = 0;
    DGifCloseFile(gif, &err);
  }
};
using GifHandle = std::unique_ptr<GifFileType, GifCloser>;

void setColors(PixelImage& img, const ColorMapObject* map) {
  if (!map || !map->Colors || map->ColorCount <= 0) {
    setGreyPalette(img);
    return;
  }
  uint32_t palette[256] = {};
  const int count = std::min(map->ColorCount, 256);
  for (int i = 0; i < count; ++i) palette[i] = rgb(map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue);
  setPalette(img, palette, count);
}

// The rows of an interlaced image come in four passes.
std::vector<uint32_t> rowOrder(uint32_t height, bool interlaced) {
  std::vector<uint32_t> order;
  order.reserve(height);
  if (!interlaced) {
    for (uint32_t r = 0; r < height; ++r) order.push_back(r);
    return order;
  }
  constexpr uint32_t start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass)
    for (uint32_t r = start[pass]; r < height; r += step[pass]) order.push_back(r);
  return order;
}

// Decodes the frame's rows into the picture, clipped to its edges.
bool readFrame(GifFileType* gif, PixelImage& img) {
  const GifImageDesc& d = gif->Image;
  if (d.Width <= 0 || d.Height <= 0 || d.Left < 0 || d.Top < 0) return false;
  std::vector<GifPixelType> line(static_cast<size_t>(d.Width));
  for (uint32_t r : rowOrder(static_cast<uint32_t>(d.Height), d.Interlace)) {
    if (DGifGetLine(gif, line.data(), d.Width) != GIF_OK) return false;
    const uint64_t y = uint64_t{r} + static_cast<uint32_t>(d.Top);
    if (y >= img.height()) continue;
    const uint32_t left = static_cast<uint32_t>(d.Left);
    if (left >= img.width()) continue;
    const size_t n = std::min<size_t>(line.size(), img.width() - left);
    std::memcpy(img.row(static_cast<uint32_t>(y)) + left, line.data(), n);
  }
  return true;
}

bool skipExtension(GifFileType* gif) {
  int code = 0;
  GifByteType* block = nullptr;
  if (DGifGetExtension(gif, &code, &block) != GIF_OK) return false;
  while (block) {
    if (DGifGetExtensionNext(gif, &block) != GIF_OK) return false;
  }
  return true;
}

}  // namespace

std::unique_ptr<PixelImage> decodeGif(Bytes f) {
  MemorySource src{f};
  int err = 0;
  GifHandle gif(DGifOpen(&src, readFromMemory, &err));
  if (!gif) return nullptr;

  for (;;) {
    GifRecordType type = UNDEFINED_RECORD_TYPE;
    if (DGifGetRecordType(gif.get(), &type) != GIF_OK) return nullptr;
    if (type == TERMINATE_RECORD_TYPE) return nullptr;  // no image at all
    if (type == EXTENSION_RECORD_TYPE) {
      if (!skipExtension(gif.get())) return nullptr;
      continue;
    }
    if (type != IMAGE_DESC_RECORD_TYPE) return nullptr;
    if (DGifGetImageDesc(gif.get()) != GIF_OK) return nullptr;
    break;
  }

  // A logical screen of zero size takes the size of the image.
  const GifImageDesc& d = gif->Image;
  const int w = gif->SWidth > 0 ? gif->SWidth : d.Left + d.Width;
  const int h = gif->SHeight > 0 ? gif->SHeight : d.Top + d.Height;
  if (w <= 0 || h <= 0) return nullptr;
  // A code of at least 3 bits gives at most 4096 pixels, so a short file
  // cannot describe a big picture: refuse before allocating.
  if (uint64_t(w) * uint64_t(h) > (f.size() + 1) * kMaxPixelsPerByte) return nullptr;
  auto img = makeImage(static_cast<uint32_t>(w), static_cast<uint32_t>(h), 1, kDefaultDpi);
  if (!img) return nullptr;
  setColors(*img, d.ColorMap ? d.ColorMap : gif->SColorMap);
  if (gif->SBackGroundColor != 0)
    std::fill(img->block.begin() + kImageHeaderSize, img->block.end(), static_cast<uint8_t>(gif->SBackGroundColor));
  if (!readFrame(gif.get(), *img)) return nullptr;
  return img;
}

}  // namespace trelmo::picture
