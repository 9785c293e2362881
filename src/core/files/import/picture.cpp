#include "files/import/picture.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <string_view>
#include <vector>

#include "context.h"
#include "database/options.h"
#include "files/import/import_readers.h"
#include "files/import/picture_decoders.h"
#include "files/reader_chain.h"

namespace trelmo {

namespace {

bool startsWith(std::span<const uint8_t> b, std::string_view magic) {
  return b.size() >= magic.size() && std::memcmp(b.data(), magic.data(), magic.size()) == 0;
}

bool looksLikePcx(std::span<const uint8_t> b) {
  if (b.size() < 128 || b[0] != 0x0A || b[2] != 1) return false;
  const uint8_t version = b[1], bpp = b[3], planes = b[65];
  const bool knownVersion = version == 0 || version == 2 || version == 3 || version == 4 || version == 5;
  const bool knownDepth = bpp == 1 || bpp == 2 || bpp == 4 || bpp == 8;
  return knownVersion && knownDepth && planes >= 1 && planes <= 4;
}

// The file name without its directory (either kind of separator).
std::string baseName(const std::string& path) {
  const size_t cut = path.find_last_of("/\\");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

// The picture's edges in world units: 0,0 to (width-1)/dpi, (height-1)/dpi
// inches, kept within the coordinate range.
void setEdges(PixelImage& img) {
  const uint32_t dpi = std::max<uint32_t>(img.resolution(), 1);
  auto edge = [dpi](uint32_t pixels) {
    const int64_t v = (int64_t{pixels} - 1) * 65536 / dpi;
    return static_cast<int32_t>(std::min<int64_t>(v, std::numeric_limits<int32_t>::max()));
  };
  img.setI32(32, 0);
  img.setI32(36, 0);
  img.setI32(40, edge(img.width()));
  img.setI32(44, edge(img.height()));
}

// Display colours of the picture layers: the 16 EGA colours, then greys.
struct PictureLayer {
  int number;
  uint32_t color;
  const char* name;
};

constexpr PictureLayer kEgaColors[16] = {
    {0, 0x000000, "EGA Black"},   {1, 0x0000AA, "EGA Blue"},        {2, 0x00AA00, "EGA Green"},
    {3, 0x00AAAA, "EGA Cyan"},    {4, 0xAA0000, "EGA Red"},         {5, 0xAA00AA, "EGA Magenta"},
    {6, 0xAA5500, "EGA Brown"},   {7, 0xAAAAAA, "EGA Gray"},        {8, 0x555555, "EGA Dark Gray"},
    {9, 0x5555FF, "EGA Lt Blue"}, {10, 0x55FF55, "EGA Lt Green"},   {11, 0x55FFFF, "EGA Lt Cyan"},
    {12, 0xFF5555, "EGA Lt Red"}, {13, 0xFF55FF, "EGA Lt Magenta"}, {14, 0xFFFF55, "EGA Yellow"},
    {15, 0xFFFFFF, "EGA White"},
};

std::string layerLine(int n, uint32_t color, const std::string& name) {
  // Each layer plots in the complement of its display colour, except that
  // white plots as mid grey so that it stays visible on paper.
  const uint32_t plot = color == 0xFFFFFF ? 0x777777 : (~color & 0xFFFFFF);
  const int type = n == 0 ? 0 : 7;
  char buf[80];
  std::snprintf(buf, sizeof buf, "-y%d:%08X,%08X,%d,%d,%s", n, color, plot, type, n, name.c_str());
  return buf;
}

}  // namespace

// The picture layers: 0-15 the EGA colours, 16-19 "Gray 4" to "Gray 7"
// (44, 55, 66, 77 hex), 236-239 "Gray 8" to "Gray 11" (88 to BB hex) and
// 240-255 the EGA colours again, so that both ends of the palette are named.
void applyImageSetup(Context& ctx) {
  parseOptionV4(ctx, "-y0");
  for (const auto& c : kEgaColors) parseOptionV4(ctx, layerLine(c.number, c.color, c.name));
  for (int g = 4; g <= 11; ++g) {
    const int n = g <= 7 ? 12 + g : 228 + g;
    parseOptionV4(ctx, layerLine(n, 0x111111u * g, "Gray " + std::to_string(g)));
  }
  for (const auto& c : kEgaColors) parseOptionV4(ctx, layerLine(240 + c.number, c.color, c.name));
  parseOptionsV3(
      ctx, {"-m-32000,-32000,32000,32000", "-gd0", "-gm3,2,3,1", "-hs1.0,0,0,0,0,0,0,0,0", "-l10", "-p45v25", "-t48"});
}

PictureType recognisePicture(std::span<const uint8_t> head) {
  if (startsWith(head, "BM")) return PictureType::Bmp;
  if (startsWith(head, "GIF87a") || startsWith(head, "GIF89a")) return PictureType::Gif;
  if (startsWith(head, std::string_view("II*\0", 4)) || startsWith(head, std::string_view("MM\0*", 4)))
    return PictureType::Tiff;
  if (startsWith(head, "SIMPLE  =")) return PictureType::Fits;
  if (startsWith(head, "\x89PNG\r\n\x1a\n")) return PictureType::Png;
  if (startsWith(head, "\xFF\xD8\xFF")) return PictureType::Jpeg;
  if (looksLikePcx(head)) return PictureType::Pcx;
  return PictureType::None;
}

std::unique_ptr<PixelImage> decodePicture(std::span<const uint8_t> file) {
  std::unique_ptr<PixelImage> img;
  switch (recognisePicture(file)) {
    case PictureType::Bmp:
      img = picture::decodeBmp(file);
      break;
    case PictureType::Pcx:
      img = picture::decodePcx(file);
      break;
    case PictureType::Gif:
      img = picture::decodeGif(file);
      break;
    case PictureType::Tiff:
      img = picture::decodeTiff(file);
      break;
    case PictureType::Fits:
      img = picture::decodeFits(file);
      break;
    case PictureType::Png:
      img = picture::decodePng(file);
      break;
    case PictureType::Jpeg:
      img = picture::decodeJpeg(file);
      break;
    case PictureType::None:
      break;
  }
  if (img) setEdges(*img);
  return img;
}

std::unique_ptr<PixelImage> loadPictureFile(const std::string& path) {
  FILE* fp = std::fopen(path.c_str(), "rb");
  if (!fp) return nullptr;
  std::vector<uint8_t> data;
  uint8_t chunk[65536];
  size_t n;
  bool tooBig = false;
  while ((n = std::fread(chunk, 1, sizeof chunk, fp)) > 0) {
    if (data.size() + n > kMaxPictureFileBytes) {
      tooBig = true;
      break;
    }
    data.insert(data.end(), chunk, chunk + n);
  }
  std::fclose(fp);
  if (tooBig) return nullptr;
  auto img = decodePicture(data);
  if (img) img->setName(baseName(path));
  return img;
}

char readPicture(Context& ctx, InputFile& in, char hint) {
  if (hint != kHintNone) return 0;
  const std::string_view head = in.firstBlock();
  if (recognisePicture({reinterpret_cast<const uint8_t*>(head.data()), head.size()}) == PictureType::None) return 0;
  if (in.size() > kMaxPictureFileBytes) return 0;

  // Read to the end rather than trusting the size, within the same bound.
  std::vector<uint8_t> data;
  data.reserve(static_cast<size_t>(in.size()));
  in.rewind();
  std::vector<uint8_t> chunk(InputFile::kBlock);
  while (size_t n = in.read(chunk.data(), chunk.size())) {
    if (data.size() + n > kMaxPictureFileBytes) break;
    data.insert(data.end(), chunk.begin(), chunk.begin() + static_cast<long>(n));
  }
  in.rewind();
  if (data.size() + 1 > kMaxPictureFileBytes) return 0;
  auto img = decodePicture(data);
  if (!img) return 0;  // recognised but damaged: the later readers may still show it
  img->setName(baseName(in.path()));

  if (ctx.params.layers[0].name[0] == 0) applyImageSetup(ctx);
  setCurrentImage(ctx, std::move(img));
  return kFormatPicture;
}

}  // namespace trelmo
