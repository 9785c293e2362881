#include <cstring>
#include <string>

#include "context.h"
#include "database/geometry.h"
#include "database/options.h"
#include "files/import/picture.h"
#include "files/reader_chain.h"
#include "files/reader_formats.h"
#include "files/reader_items.h"

namespace trelmo {

namespace {

constexpr std::string_view kMagic = "TRELMO Version 4.";
constexpr std::string_view kLinkedImage = "Pixel image (";
constexpr std::string_view kImagesFollow = "Pixel image follows EOF";
constexpr int kEndOfText = 26;
// "Pixel image (X0,Y0): name" declares a picture kept in its own file. The
// writer puts the current slot's line first, so the second line of a file
// fills the alternate slot and both pictures keep their places.
void linkedImageLine(Context& ctx, std::string_view line, int& linkedLines) {
  NumberReader r{line, kLinkedImage.size()};
  const int32_t x0 = r.dimension();
  r.skip(',');
  const int32_t y0 = r.dimension();
  r.skip(')');
  r.skip(':');
  while (r.peek() == ' ') ++r.pos;
  std::string name(line.substr(r.pos < line.size() ? r.pos : line.size()));
  if (name.empty()) return;
  if (name.front() != '"') name.insert(name.begin(), '"');
  if (name.size() < 2 || name.back() != '"') name.push_back('"');
  auto img = std::make_unique<PixelImage>();
  img->block.assign(kImageHeaderSize, 0);
  std::memcpy(img->block.data(), kImageMagic, 6);
  const uint16_t headerSize = kImageHeaderSize;
  std::memcpy(img->block.data() + 6, &headerSize, 2);
  img->setI32(32, x0);  // the offset the loaded picture is shifted by
  img->setI32(36, y0);
  img->setName(std::string(name));
  if (linkedLines++ == 0)
    setCurrentImage(ctx, std::move(img));
  else
    setAlternateImage(ctx, std::move(img));
}

// One embedded picture: the 1408-byte header (its first byte may already have
// been taken) and its rows. Every field is checked against the bytes left in
// the file before anything is allocated.
std::unique_ptr<PixelImage> embeddedImage(InputFile& in, int firstByte) {
  std::vector<uint8_t> header(kImageHeaderSize);
  size_t have = 0;
  if (firstByte >= 0) header[have++] = static_cast<uint8_t>(firstByte);
  if (in.read(header.data() + have, kImageHeaderSize - have) != kImageHeaderSize - have) return nullptr;
  if (std::memcmp(header.data(), kImageMagic, 6) != 0) return nullptr;
  auto img = std::make_unique<PixelImage>();
  img->block = std::move(header);
  const uint64_t width = img->width(), height = img->height(), stride = img->stride(), bpp = img->bitsPerPixel();
  if (width == 0 || height == 0 || stride < width || stride >= width + 4) return nullptr;
  if (!((bpp == 8 && img->kind() != 3) || (bpp == 24 && img->kind() == 3))) return nullptr;
  const uint64_t bytes = stride * height * (bpp / 8);
  const uint64_t left = in.size() > in.position() ? in.size() - in.position() : 0;
  if (bytes > kMaxImageBytes || bytes > left) return nullptr;
  img->block.resize(kImageHeaderSize + bytes);
  if (in.read(img->block.data() + kImageHeaderSize, bytes) != bytes) return nullptr;
  const uint16_t headerSize = kImageHeaderSize;
  std::memcpy(img->block.data() + 6, &headerSize, 2);
  uint32_t dpi = img->resolution();
  if (dpi == 0) {  // no resolution would put the picture nowhere
    dpi = 100;
    img->setU32(20, dpi);
  }
  img->setI32(40, clamp32(int64_t{img->x0()} + static_cast<int64_t>((width - 1) * 65536 / dpi)));
  img->setI32(36, clamp32(int64_t{img->y1()} - static_cast<int64_t>((height - 1) * 65536 / dpi)));
  return img;
}

void embeddedImages(Context& ctx, InputFile& in) {
  auto first = embeddedImage(in, -1);
  if (!first) {
    ctx.host->sound(Sound::Beop);
    return;
  }
  setCurrentImage(ctx, std::move(first));
  const int next = in.getByte();
  if (next != 'P') return;
  auto second = embeddedImage(in, next);
  if (!second) {
    ctx.host->sound(Sound::Beop);
    return;
  }
  setAlternateImage(ctx, std::move(second));
}

std::string directoryOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Replaces a header-only linked image by the picture read from its file, or
// empties the slot.
void loadLinked(Context& ctx, uint32_t& slot, const std::string& dataPath) {
  PixelImage* stub = ctx.images.get(slot);
  if (!stub || stub->block.size() != kImageHeaderSize || !stub->linked()) return;
  const std::string quoted = stub->name();
  std::string file =
      quoted.substr(1, quoted.size() >= 2 && quoted.back() == '"' ? quoted.size() - 2 : std::string::npos);
  const int32_t dx = stub->x0(), dy = stub->y0();
  std::unique_ptr<PixelImage> img = file.empty() ? nullptr : loadPictureFile(file);
  if (!img && !file.empty() && file.front() != '/' && !directoryOf(dataPath).empty())
    img = loadPictureFile(directoryOf(dataPath) + file);
  ctx.images.remove(slot);
  slot = 0;
  if (!img || img->block.size() < kImageHeaderSize) return;
  img->setI32(32, clamp32(int64_t{img->x0()} + dx));
  img->setI32(36, clamp32(int64_t{img->y0()} + dy));
  img->setI32(40, clamp32(int64_t{img->x1()} + dx));
  img->setI32(44, clamp32(int64_t{img->y1()} + dy));
  img->setName(quoted);
  slot = ctx.images.add(std::move(img));
}

// "$n " before an item line numbers it; the rest is the item line.
std::string_view afterNumberPrefix(std::string_view line) {
  size_t i = 1;
  while (i < line.size() && line[i] >= '0' && line[i] <= '9') ++i;
  return i < line.size() ? line.substr(i + 1) : std::string_view{};
}

bool isItemLine(std::string_view line) {
  return line.size() >= 2 && line[0] >= '0' && line[0] <= '7' && line[1] == ' ';
}

}  // namespace

char readVersion4(Context& ctx, InputFile& in, char hint) {
  if (hint != kHintNone || !in.firstBlock().starts_with(kMagic) || ctx.current == kNull) return 0;
  ctx.params.format = kFormatV4;
  ItemBuilder items(ctx, ctx.current, ItemSyntax::kFile);
  ReadProgress progress(ctx, in);
  std::string line;
  int linkedLines = 0;
  while (!items.failed() && in.nextLine(line)) {
    progress.update();
    const std::string_view v(line);
    if (v.starts_with(kLinkedImage)) {
      linkedImageLine(ctx, v, linkedLines);
    } else if (v.starts_with(kImagesFollow)) {
      if (in.getByte() == kEndOfText) {
        embeddedImages(ctx, in);
        break;  // the pictures end the file
      }
    } else if (!v.empty() && v[0] == '-') {
      parseOptionV4(ctx, v);
    } else if (v.size() >= 2 && v[0] == '$' && v[1] >= '1' && v[1] <= '9') {
      const std::string_view rest = afterNumberPrefix(v);
      if (isItemLine(rest)) items.parseLine(rest);
    } else if (isItemLine(v)) {
      items.parseLine(v);
    }
  }
  items.finish();
  loadLinked(ctx, ctx.params.imageCurrent, in.path());
  loadLinked(ctx, ctx.params.imageAlternate, in.path());
  progress.done();
  // A "-gf" line naming no format must not make the chain go on reading.
  return ctx.params.format ? ctx.params.format : kFormatV4;
}

}  // namespace trelmo
