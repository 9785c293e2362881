#include "image/rectify.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace trelmo {

std::unique_ptr<PixelImage> rectifyPicture(const PixelImage& old, std::span<const PointPair> pairs, FitModel model,
                                           const ResampleProgress& progress, FitResidual& residual, std::string& why) {
  PictureMapping m;
  if (!fitPairs(model, pairs, m)) {
    why =
        "These reference points do not determine a rectification: at least four of the target points must "
        "mark out an area, not lie along one line.";
    return nullptr;
  }
  residual = fitResidual(m, pairs);
  InchBox box;
  if (!targetBounds(m, pictureBox(old), box)) {
    why = m.model == FitModel::Projective
              ? "The fitted mapping carries part of the image beyond the horizon: no rectified image can be made "
                "from these reference points."
              : "The fitted mapping folds the image flat (its affine part is singular): no rectified image can be "
                "made from these reference points.";
    return nullptr;
  }
  ResampleRequest request;
  request.box = box;
  request.colour = true;
  request.source = [&m](double x, double y, double& X, double& Y) { return m.map(x, y, X, Y); };
  return resamplePicture(old, request, progress, why);
}

AlignAxis alignAxis(int64_t fx, int64_t fy, int64_t sx, int64_t sy) {
  const int64_t dx = std::llabs(sx - fx), dy = std::llabs(sy - fy);
  if (dx == 0 && dy == 0) return AlignAxis::None;
  if (dx >= 8 * dy) return AlignAxis::X;
  if (dy >= 8 * dx) return AlignAxis::Y;
  return AlignAxis::None;
}

bool alignTargetAllowed(AlignAxis axis, int64_t fx, int64_t fy, int64_t sx, int64_t sy, int64_t tx, int64_t ty) {
  switch (axis) {
    case AlignAxis::X:
      return std::llabs(sx - fx) >= 2 * std::llabs(tx - sx);
    case AlignAxis::Y:
      return std::llabs(sy - fy) >= 2 * std::llabs(ty - sy);
    default:
      return false;
  }
}

std::unique_ptr<PixelImage> scaleAlignPicture(const PixelImage& old, AlignAxis axis, const int64_t f[2],
                                              const int64_t s[2], const int64_t t[2], const ResampleProgress& progress,
                                              std::string& why) {
  // Along the axis a (0 = x, 1 = y) and across it b.
  const int a = axis == AlignAxis::Y ? 1 : 0, b = 1 - a;
  const double span = static_cast<double>(s[a] - f[a]) / 65536;
  if (axis == AlignAxis::None || span == 0) {
    why = "The source point does not lie along an axis through the fixed point.";
    return nullptr;
  }
  const double fa = f[a] / 65536.0;
  const double k = static_cast<double>(t[a] - f[a]) / 65536 / span;
  const double shear = static_cast<double>(t[b] - s[b]) / 65536 / span;
  if (!(k > 0)) {
    why = "The target point would fold the image over the fixed point.";
    return nullptr;
  }
  // Old position p to new: along' = F + k (along - F), across' = across + shear (along - F).
  auto forward = [&](const double p[2], double q[2]) {
    q[a] = fa + k * (p[a] - fa);
    q[b] = p[b] + shear * (p[a] - fa);
  };
  const InchBox o = pictureBox(old);
  const double corners[4][2] = {{o.x0, o.y0}, {o.x1, o.y0}, {o.x0, o.y1}, {o.x1, o.y1}};
  double lo[2] = {HUGE_VAL, HUGE_VAL}, hi[2] = {-HUGE_VAL, -HUGE_VAL};
  for (const auto& c : corners) {
    double q[2];
    forward(c, q);
    for (int i = 0; i < 2; ++i) lo[i] = std::min(lo[i], q[i]), hi[i] = std::max(hi[i], q[i]);
  }
  ResampleRequest request;
  request.box = {lo[0], lo[1], hi[0], hi[1]};
  request.colour = true;
  request.source = [=](double x, double y, double& X, double& Y) {
    const double q[2] = {x, y};
    double p[2];
    p[a] = fa + (q[a] - fa) / k;
    p[b] = q[b] - shear * (p[a] - fa);
    X = p[0], Y = p[1];
    return true;
  };
  return resamplePicture(old, request, progress, why);
}

}  // namespace trelmo
