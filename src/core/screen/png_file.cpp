#include "screen/png_file.h"

#include <array>
#include <cstdio>
#include <cstring>

namespace trelmo {

namespace {

const std::array<uint32_t, 256>& crcTable() {
  static const std::array<uint32_t, 256> t = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  return t;
}

uint32_t crc(const uint8_t* p, size_t n, uint32_t c = 0xFFFFFFFFu) {
  for (size_t i = 0; i < n; ++i) c = crcTable()[(c ^ p[i]) & 255] ^ (c >> 8);
  return c;
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<uint8_t>(v >> s));
}
uint32_t get32(const uint8_t* p) {
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

void chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
  put32(out, static_cast<uint32_t>(data.size()));
  size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  put32(out, crc(out.data() + start, out.size() - start) ^ 0xFFFFFFFFu);
}

}  // namespace

std::vector<uint32_t> surfaceColours(const Surface& s) {
  std::vector<uint32_t> out;
  out.reserve(static_cast<size_t>(s.width()) * s.height());
  for (int y = 0; y < s.height(); ++y)
    for (int x = 0; x < s.width(); ++x) out.push_back(pixelToColour(s.format(), s.pixelAt(x, y)));
  return out;
}

std::vector<uint8_t> encodePng(const std::vector<uint32_t>& rgb, int width, int height) {
  std::vector<uint8_t> raw;
  raw.reserve(static_cast<size_t>(height) * (1 + 3 * static_cast<size_t>(width)));
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);
    for (int x = 0; x < width; ++x) {
      uint32_t c = rgb[static_cast<size_t>(y) * width + x];
      raw.push_back(static_cast<uint8_t>(c >> 16)), raw.push_back(static_cast<uint8_t>(c >> 8)),
          raw.push_back(static_cast<uint8_t>(c));
    }
  }
  std::vector<uint8_t> z = {0x78, 0x01};
  size_t pos = 0;
  do {
    size_t n = std::min<size_t>(raw.size() - pos, 65535);
    z.push_back(pos + n == raw.size() ? 1 : 0);
    z.push_back(n & 255), z.push_back(n >> 8), z.push_back(~n & 255), z.push_back((~n >> 8) & 255);
    z.insert(z.end(), raw.begin() + static_cast<long>(pos), raw.begin() + static_cast<long>(pos + n));
    pos += n;
  } while (pos < raw.size());
  uint32_t a = 1, b = 0;
  for (uint8_t v : raw) a = (a + v) % 65521, b = (b + a) % 65521;
  put32(z, (b << 16) | a);
  std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  std::vector<uint8_t> ihdr;
  put32(ihdr, static_cast<uint32_t>(width));
  put32(ihdr, static_cast<uint32_t>(height));
  ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});
  chunk(out, "IHDR", ihdr);
  chunk(out, "IDAT", z);
  chunk(out, "IEND", {});
  return out;
}

bool decodePng(const std::vector<uint8_t>& d, std::vector<uint32_t>& rgb, int& width, int& height) {
  static const uint8_t sig[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  if (d.size() < 8 || std::memcmp(d.data(), sig, 8) != 0) return false;
  std::vector<uint8_t> z;
  uint32_t w = 0, h = 0;
  size_t pos = 8;
  while (pos + 12 <= d.size()) {
    uint32_t len = get32(&d[pos]);
    if (len > d.size() - pos - 12) return false;
    const uint8_t* type = &d[pos + 4];
    const uint8_t* data = &d[pos + 8];
    if (!std::memcmp(type, "IHDR", 4)) {
      if (len < 13 || data[8] != 8 || data[9] != 2 || data[12] != 0) return false;
      w = get32(data), h = get32(data + 4);
    } else if (!std::memcmp(type, "IDAT", 4)) {
      z.insert(z.end(), data, data + len);
    } else if (!std::memcmp(type, "IEND", 4)) {
      break;
    }
    pos += 12 + len;
  }
  if (w == 0 || h == 0 || w > 16384 || h > 16384 || z.size() < 2) return false;
  std::vector<uint8_t> raw;
  size_t i = 2;
  for (bool last = false; !last;) {
    if (i + 5 > z.size() || (z[i] & 6) != 0) return false;  // stored blocks only
    last = z[i] & 1;
    size_t n = z[i + 1] | (z[i + 2] << 8);
    i += 5;
    if (n > z.size() - i) return false;
    raw.insert(raw.end(), z.begin() + static_cast<long>(i), z.begin() + static_cast<long>(i + n));
    i += n;
  }
  size_t rowBytes = 1 + 3 * size_t{w};
  if (raw.size() < rowBytes * h) return false;
  rgb.assign(size_t{w} * h, 0);
  for (uint32_t y = 0; y < h; ++y) {
    const uint8_t* r = &raw[y * rowBytes];
    if (r[0] != 0) return false;
    for (uint32_t x = 0; x < w; ++x)
      rgb[size_t{y} * w + x] = (uint32_t(r[1 + 3 * x]) << 16) | (uint32_t(r[2 + 3 * x]) << 8) | r[3 + 3 * x];
  }
  width = static_cast<int>(w), height = static_cast<int>(h);
  return true;
}

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

bool readFile(const std::string& path, std::vector<uint8_t>& bytes, size_t limit) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  bytes.clear();
  uint8_t buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0 && bytes.size() + n <= limit)
    bytes.insert(bytes.end(), buf, buf + n);
  std::fclose(f);
  return true;
}

}  // namespace trelmo
