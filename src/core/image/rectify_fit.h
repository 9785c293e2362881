// Fitting a mapping to point pairs picked on a picture: where each position
// of the rectified picture (a target point) takes its pixel from in the old
// picture (a source point). All positions are in inches.
#pragma once
#include <array>
#include <span>

namespace trelmo {

struct PointPair {
  double sx, sy;  // source: where the feature lies in the picture now
  double tx, ty;  // target: where it belongs on the drawing
};

enum class FitModel { Bilinear, Projective };

// A fitted mapping from target positions to source positions.
//  Bilinear:   X = c0·x + c2·y + c4 + c6·x·y + c8·x² + c10·y²
//              Y = c1·x + c3·y + c5 + c7·x·y + c9·x² + c11·y²
//  Projective: (X, Y) = (h0·x + h1·y + h2, h3·x + h4·y + h5) / (h6·x + h7·y + h8)
struct PictureMapping {
  FitModel model = FitModel::Bilinear;
  std::array<double, 12> c{};
  std::array<double, 9> h{};

  // Target to source; false where the mapping has no finite value (the
  // horizon of a projective mapping).
  bool map(double x, double y, double& X, double& Y) const;
  // Source to target (the inverse, by Newton steps for the bilinear model);
  // false when it does not converge or has no finite value.
  bool unmap(double X, double Y, double& x, double& y) const;
};

// Least squares over the basis 1, x, y, x·y, each axis on its own; false when
// the pairs do not fix the four coefficients (fewer than four pairs, or
// targets that are collinear or repeated).
bool fitBilinear(std::span<const PointPair> pairs, PictureMapping& out);

// A homography by the normalised direct linear transform: exact for four
// pairs, least squares for more. False when no four targets (or sources)
// span the plane or the fit is degenerate.
bool fitProjective(std::span<const PointPair> pairs, PictureMapping& out);

bool fitPairs(FitModel model, std::span<const PointPair> pairs, PictureMapping& out);

// How far each source point lands from its target once the picture is
// rectified, in inches: the largest and the mean distance.
struct FitResidual {
  double largest = 0, mean = 0;
};
FitResidual fitResidual(const PictureMapping& m, std::span<const PointPair> pairs);

// The rectangle of the rectified picture, in inches: the source rectangle's
// four corners taken to target positions (for the bilinear model through the
// inverse of its affine part alone). False when that inverse does not exist
// (a singular affine part) or a corner has no finite image.
struct InchBox {
  double x0, y0, x1, y1;
};
bool targetBounds(const PictureMapping& m, const InchBox& source, InchBox& out);

}  // namespace trelmo
