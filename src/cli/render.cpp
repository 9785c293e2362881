// trelmo-cli render: a design drawn as the editor shows it, written as PNG.
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "screen/draw_items.h"
#include "screen/png_file.h"
#include "screen/redraw.h"

namespace trelmo::cli {

namespace {

const char* kRenderUsage =
    "Usage: trelmo-cli render IN -o OUT.png [--size WxH] [--bpp 8|16|24|32] [--window X1,Y1,X2,Y2] [--layer N]\n"
    "         [--threads 1|2] [--hint C] ";

struct RenderOptions {
  std::string in, out;
  int width = 1024, height = 768, bpp = 32, layer = -1;
  int threads = 0;  // 0: two when the machine has them and the picture is tall enough
  bool window = false;
  double win[4] = {0, 0, 0, 0};
  char hint = 0;
};

bool parseRender(std::vector<std::string> args, RenderOptions& o, ReportingHost& host) {
  if (!takeHint(args, o.hint) || !host.takeScript(args)) return false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    bool hasValue = i + 1 < args.size();
    if ((a == "-o" || a == "--output") && hasValue) {
      o.out = args[++i];
    } else if (a == "--size" && hasValue) {
      if (std::sscanf(args[++i].c_str(), "%dx%d", &o.width, &o.height) != 2) return false;
      if (o.width < 16 || o.height < 16 || o.width > 8192 || o.height > 8192) return false;
    } else if (a == "--bpp" && hasValue) {
      o.bpp = std::atoi(args[++i].c_str());
      if (o.bpp != 8 && o.bpp != 16 && o.bpp != 24 && o.bpp != 32) return false;
    } else if (a == "--window" && hasValue) {
      if (std::sscanf(args[++i].c_str(), "%lf,%lf,%lf,%lf", &o.win[0], &o.win[1], &o.win[2], &o.win[3]) != 4)
        return false;
      for (double v : o.win)
        if (!(v > -32000 && v < 32000)) return false;
      o.window = true;
    } else if (a == "--layer" && hasValue) {
      o.layer = std::atoi(args[++i].c_str());
      if (o.layer < 0 || o.layer > 255) return false;
    } else if (a == "--threads" && hasValue) {
      o.threads = std::atoi(args[++i].c_str());
      if (o.threads != 1 && o.threads != 2) return false;
    } else if (o.in.empty() && !a.empty() && a[0] != '-') {
      o.in = a;
    } else {
      return false;
    }
  }
  return !o.in.empty() && !o.out.empty();
}

bool writePng(const std::string& path, const std::vector<uint32_t>& rgb, int w, int h) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    return false;
  }
  png_init_io(png, f);
  png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  std::vector<png_byte> row(static_cast<size_t>(w) * 3);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      uint32_t c = rgb[static_cast<size_t>(y) * w + x];
      row[3 * x] = static_cast<png_byte>(c >> 16), row[3 * x + 1] = static_cast<png_byte>(c >> 8);
      row[3 * x + 2] = static_cast<png_byte>(c);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return std::fclose(f) == 0;
}

}  // namespace

int render(const std::vector<std::string>& args) {
  RenderOptions o;
  ReportingHost host;
  if (!parseRender(args, o, host)) {
    std::fprintf(stderr, "%s%s\n", kRenderUsage, kScriptUsage);
    return kUsageError;
  }
  Context ctx(host);
  char format = 0;
  if (!openScripted(ctx, host, o.in, o.hint, format)) return kFileError;
  PixelFormat pf = o.bpp == 16 ? PixelFormat::rgb565() : PixelFormat::depth(o.bpp);
  int pitch = (o.width * pf.bytesPerPixel() + 3) & ~3;
  std::vector<uint8_t> pixels(static_cast<size_t>(pitch) * o.height);
  attachSurface(ctx, pixels.data(), pitch, o.width, o.height, pf, false);
  if (o.layer >= 0) ctx.params.currentLayer = static_cast<uint16_t>(o.layer);
  if (o.window) {
    auto w = [](double inches) { return static_cast<int32_t>(inches * 65536.0); };
    zoomToRectangle(ctx.view, ctx.params, w(o.win[0]), w(o.win[1]), w(o.win[2]), w(o.win[3]), false);
  } else {
    // Text lengths in a file may be stale: a first drawing measures them.
    zoomExtents(ctx);
    drawDesign(ctx, true, o.threads);
    zoomExtents(ctx);
  }
  refreshScreenPixels(ctx);
  drawDesign(ctx, true, o.threads);
  if (!writePng(o.out, surfaceColours(ctx.screen.surface), o.width, o.height)) {
    std::fprintf(stderr, "trelmo-cli: cannot write %s\n", o.out.c_str());
    return kFileError;
  }
  return kDone;
}

}  // namespace trelmo::cli
