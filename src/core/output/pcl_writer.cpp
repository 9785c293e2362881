#include "output/pcl_writer.h"

#include <cstdio>

#include "output/bmp_writer.h"

namespace trelmo {

namespace {
const std::string kEsc = "\x1B";
}

std::vector<uint8_t> packBits(const uint8_t* d, size_t n) {
  std::vector<uint8_t> out;
  size_t i = 0;
  while (i < n) {
    size_t run = 1;
    while (i + run < n && run < 128 && d[i + run] == d[i]) ++run;
    if (run >= 2) {
      out.push_back(static_cast<uint8_t>(257 - run));  // 1 - run as a signed byte
      out.push_back(d[i]);
      i += run;
      continue;
    }
    size_t lit = 1;
    while (i + lit < n && lit < 128 && !(i + lit + 1 < n && d[i + lit] == d[i + lit + 1])) ++lit;
    out.push_back(static_cast<uint8_t>(lit - 1));
    out.insert(out.end(), d + i, d + i + lit);
    i += lit;
  }
  return out;
}

bool PclWriter::begin(int offsetX, int offsetY) {
  char buf[160];
  const int x = offsetX * 300 / dpi_, y = offsetY * 300 / dpi_;
  std::snprintf(buf, sizeof buf,
                "\x1B"
                "E\x1B&l0O\x1B&l0E\x1B*p%dX\x1B*p%dY",
                x, y);
  std::string h = buf;
  if (colour_) h += kEsc + "*r-3U";
  std::snprintf(buf, sizeof buf, "\x1B*t%dR\x1B*r1A\x1B*b2M", dpi_);
  h += buf;
  return out_.write(h);
}

bool PclWriter::sendPlane(const std::vector<uint8_t>& bits, const char* select, char terminator) {
  const std::vector<uint8_t> packed = packBits(bits.data(), bits.size());
  char buf[32];
  std::snprintf(buf, sizeof buf, "%s\x1B*b%04zu%c", select, packed.size(), terminator);
  return out_.write(buf, std::char_traits<char>::length(buf)) && out_.write(packed.data(), packed.size());
}

bool PclWriter::band(const uint8_t* pixels, int pitch, int width, BandPlace at, int rows) {
  const size_t bytes = (static_cast<size_t>(width) + 7) / 8;
  std::vector<uint8_t> planes[3];
  for (int r = 0; r < rows; ++r) {
    const uint8_t* row = pixels + static_cast<size_t>(r) * pitch;
    const int y = at.top + r;
    for (auto& p : planes) p.assign(bytes, 0);
    for (int x = 0; x < width; ++x) {
      const uint8_t* bgr = row + 3 * static_cast<size_t>(x);
      const uint8_t mask = static_cast<uint8_t>(0x80 >> (x & 7));
      if (!colour_) {
        const bool ink =
            depth_ == 2 ? greyLevel(bgr) < ditherThreshold(x, y) : !(bgr[0] == 255 && bgr[1] == 255 && bgr[2] == 255);
        if (ink) planes[0][x / 8] |= mask;
        continue;
      }
      for (int k = 0; k < 3; ++k)  // cyan from red, magenta from green, yellow from blue
        if (bgr[2 - k] < ditherThreshold(x, y)) planes[k][x / 8] |= mask;
    }
    const bool sent = colour_ ? sendPlane(planes[0], "\x1B*v2S", 'V') && sendPlane(planes[1], "\x1B*v4S", 'V') &&
                                    sendPlane(planes[2], "\x1B*v8S", 'W')
                              : sendPlane(planes[0], "", 'W');
    if (!sent) return false;
  }
  return true;
}

bool PclWriter::end() { return out_.write(kEsc + "*rB" + kEsc + "E"); }

}  // namespace trelmo
