#include "image/pixel_image.h"

#include <algorithm>

#include "context.h"

namespace trelmo {

namespace {

constexpr size_t kNameOffset = 64;
constexpr size_t kNameField = 64;
constexpr size_t kTranslationOffset = 128;

}  // namespace

std::string PixelImage::name() const {
  if (block.size() < kNameOffset + kNameField) return {};
  const char* p = reinterpret_cast<const char*>(block.data() + kNameOffset);
  return std::string(p, strnlen(p, kNameField));
}

void PixelImage::setName(const std::string& name) {
  if (block.size() < kNameOffset + kNameField) return;
  uint8_t* field = block.data() + kNameOffset;
  std::fill(field, field + kNameField, 0);
  // The field keeps its terminating NUL: longer names are cut.
  std::copy_n(name.data(), std::min(name.size(), kNameField - 1), field);
}

std::unique_ptr<PixelImage> makeImage(uint32_t width, uint32_t height, uint32_t kind, uint32_t dpi) {
  const uint32_t bpp = kind == 3 ? 24 : 8;
  const uint64_t stride = (uint64_t{width} + 3) & ~uint64_t{3};
  const uint64_t bytes = stride * height * (bpp / 8);
  if (width == 0 || height == 0 || bytes == 0 || bytes > kMaxImageBytes) return nullptr;

  auto img = std::make_unique<PixelImage>();
  img->block.assign(kImageHeaderSize + bytes, 0);
  std::memcpy(img->block.data(), kImageMagic, 6);
  const uint16_t headerSize = kImageHeaderSize;
  std::memcpy(img->block.data() + 6, &headerSize, 2);
  img->setU32(8, static_cast<uint32_t>(stride));
  img->setU32(12, width);
  img->setU32(16, height);
  img->setU32(20, dpi);
  img->setU32(24, bpp);
  img->setU32(28, kind);
  for (int i = 0; i < 256; ++i) img->block[kTranslationOffset + i] = static_cast<uint8_t>(i);
  return img;
}

uint32_t ImageStore::add(std::unique_ptr<PixelImage> img) {
  if (!img) return 0;
  const uint32_t id = nextId_++;
  if (nextId_ == 0) nextId_ = 1;  // 0 names an empty slot
  images_[id] = std::move(img);
  return id;
}

PixelImage* ImageStore::get(uint32_t id) const {
  auto it = images_.find(id);
  return it == images_.end() ? nullptr : it->second.get();
}

void ImageStore::remove(uint32_t id) { images_.erase(id); }

void setCurrentImage(Context& ctx, std::unique_ptr<PixelImage> img) {
  if (!img) return;
  const uint32_t id = ctx.images.add(std::move(img));
  if (ctx.params.imageAlternate != 0 && ctx.params.imageAlternate != ctx.params.imageCurrent)
    ctx.images.remove(ctx.params.imageAlternate);
  ctx.params.imageAlternate = ctx.params.imageCurrent;
  ctx.params.imageCurrent = id;
}

void setAlternateImage(Context& ctx, std::unique_ptr<PixelImage> img) {
  if (!img) return;
  if (ctx.params.imageAlternate != 0 && ctx.params.imageAlternate != ctx.params.imageCurrent)
    ctx.images.remove(ctx.params.imageAlternate);
  ctx.params.imageAlternate = ctx.images.add(std::move(img));
}

}  // namespace trelmo
