#include "files/import/dxf_geometry.h"

#include <cmath>
#include <numbers>

namespace trelmo::dxf {

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
constexpr double kArbitraryAxisLimit = 1.0 / 64;  // the arbitrary axis rule of DXF
constexpr double kUnitsLimit = 2147418112.0;

void cross(const double a[3], const double b[3], double out[3]) {
  out[0] = a[1] * b[2] - a[2] * b[1];
  out[1] = a[2] * b[0] - a[0] * b[2];
  out[2] = a[0] * b[1] - a[1] * b[0];
}

bool normalize(double v[3]) {
  const double len = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
  if (!(len > 1e-12) || !std::isfinite(len)) return false;
  for (int i = 0; i < 3; ++i) v[i] /= len;
  return true;
}

}  // namespace

Ocs::Ocs(double nx, double ny, double nz) {
  double n[3] = {nx, ny, nz};
  if (!normalize(n)) return;  // a zero vector keeps the world system
  if (std::fabs(n[0]) < 1e-9 && std::fabs(n[1]) < 1e-9 && n[2] > 0) return;
  static constexpr double kWorldY[3] = {0, 1, 0}, kWorldZ[3] = {0, 0, 1};
  if (std::fabs(n[0]) < kArbitraryAxisLimit && std::fabs(n[1]) < kArbitraryAxisLimit)
    cross(kWorldY, n, ax_);
  else
    cross(kWorldZ, n, ax_);
  normalize(ax_);
  cross(n, ax_, ay_);
  normalize(ay_);
  for (int i = 0; i < 3; ++i) n_[i] = n[i];
  identity_ = false;
  flipped_ = n[2] < 0;
}

void Ocs::toWorld(double x, double y, double z, double& wx, double& wy) const {
  if (identity_) {
    wx = x;
    wy = y;
    return;
  }
  wx = x * ax_[0] + y * ay_[0] + z * n_[0];
  wy = x * ax_[1] + y * ay_[1] + z * n_[1];
}

double Ocs::worldAngle(double degrees) const {
  if (identity_) return degrees;
  const double r = degrees * std::numbers::pi / 180;
  double x0, y0, x1, y1;
  toWorld(0, 0, 0, x0, y0);
  toWorld(std::cos(r), std::sin(r), 0, x1, y1);
  return std::atan2(y1 - y0, x1 - x0) * 180 / std::numbers::pi;
}

uint16_t binaryAngle(double radians) {
  if (!std::isfinite(radians)) return 0;
  double turns = std::fmod(radians / kTwoPi, 1.0);
  if (turns < 0) turns += 1.0;
  return static_cast<uint16_t>(static_cast<uint32_t>(std::llround(turns * 65536.0)) & 0xFFFF);
}

uint16_t directionOf(double dx, double dy) { return binaryAngle(std::atan2(dy, dx)); }

void rotate(double& x, double& y, uint16_t angle) {
  const double ox = x, oy = y;
  switch (angle) {
    case 0:
      return;
    case 16384:
      x = -oy;
      y = ox;
      return;
    case 32768:
      x = -ox;
      y = -oy;
      return;
    case 49152:
      x = oy;
      y = -ox;
      return;
    default:
      break;
  }
  const double a = angle * kTwoPi / 65536.0;
  const double c = std::cos(a), s = std::sin(a);
  x = ox * c - oy * s;
  y = ox * s + oy * c;
}

int32_t clampUnits(double u) {
  if (!(u > -kUnitsLimit)) return static_cast<int32_t>(-kUnitsLimit);
  if (u > kUnitsLimit) return static_cast<int32_t>(kUnitsLimit);
  return static_cast<int32_t>(std::llround(u));
}

ArcFit arcFromBulge(int32_t x1, int32_t y1, int32_t x2, int32_t y2, double bulge) {
  ArcFit fit;
  const double dx = double(x2) - x1, dy = double(y2) - y1;
  const double chord = std::hypot(dx, dy);
  if (bulge == 0 || !std::isfinite(bulge) || chord < 1) return fit;
  // The centre lies on the chord's perpendicular bisector, chord (1 - b^2) / 4b
  // to the left of the chord for a counter-clockwise arc.
  const double offset = (1 - bulge * bulge) / (4 * bulge);
  const double mx = (double(x1) + x2) / 2, my = (double(y1) + y2) / 2;
  const double cx = mx - dy * offset, cy = my + dx * offset;
  const double radius = chord * (1 + bulge * bulge) / (4 * std::fabs(bulge));
  if (!(radius < kUnitsLimit)) return fit;
  const double a1 = std::atan2(y1 - cy, x1 - cx), a2 = std::atan2(y2 - cy, x2 - cx);
  const uint16_t s1 = binaryAngle(a1), s2 = binaryAngle(a2);
  fit.cx = clampUnits(cx);
  fit.cy = clampUnits(cy);
  fit.radius = clampUnits(radius);
  fit.start = bulge > 0 ? s1 : s2;
  fit.sweep = static_cast<uint16_t>(bulge > 0 ? s2 - s1 : s1 - s2);
  fit.ok = fit.radius > 0;
  return fit;
}

}  // namespace trelmo::dxf
