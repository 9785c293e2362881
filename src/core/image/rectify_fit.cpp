#include "image/rectify_fit.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace trelmo {

namespace {

// Solves the n × n system a·x = b in place by Gaussian elimination with
// partial pivoting; false when a pivot vanishes relative to the matrix.
template <size_t N>
bool solve(std::array<std::array<double, N>, N> a, std::array<double, N>& b) {
  double scale = 0;
  for (const auto& row : a)
    for (double v : row) scale = std::max(scale, std::abs(v));
  if (!(scale > 0) || !std::isfinite(scale)) return false;
  const double tiny = scale * 1e-12;
  for (size_t col = 0; col < N; ++col) {
    size_t pivot = col;
    for (size_t r = col + 1; r < N; ++r)
      if (std::abs(a[r][col]) > std::abs(a[pivot][col])) pivot = r;
    if (!(std::abs(a[pivot][col]) > tiny)) return false;
    std::swap(a[pivot], a[col]);
    std::swap(b[pivot], b[col]);
    for (size_t r = col + 1; r < N; ++r) {
      const double f = a[r][col] / a[col][col];
      for (size_t k = col; k < N; ++k) a[r][k] -= f * a[col][k];
      b[r] -= f * b[col];
    }
  }
  for (size_t col = N; col-- > 0;) {
    double s = b[col];
    for (size_t k = col + 1; k < N; ++k) s -= a[col][k] * b[k];
    b[col] = s / a[col][col];
  }
  return std::all_of(b.begin(), b.end(), [](double v) { return std::isfinite(v); });
}

template <size_t N>
using Square = std::array<std::array<double, N>, N>;

// One Jacobi rotation in the plane p, q: a becomes JᵀaJ with a[p][q] = 0,
// and the rotation is gathered into v.
template <size_t N>
void jacobiRotate(Square<N>& a, Square<N>& v, size_t p, size_t q) {
  const double theta = (a[q][q] - a[p][p]) / (2 * a[p][q]);
  const double t = (theta >= 0 ? 1.0 : -1.0) / (std::abs(theta) + std::sqrt(theta * theta + 1));
  const double c = 1 / std::sqrt(t * t + 1), s = t * c;
  for (size_t k = 0; k < N; ++k) {
    const double akp = a[k][p], akq = a[k][q];
    a[k][p] = c * akp - s * akq;
    a[k][q] = s * akp + c * akq;
  }
  for (size_t k = 0; k < N; ++k) {
    const double apk = a[p][k], aqk = a[q][k];
    a[p][k] = c * apk - s * aqk;
    a[q][k] = s * apk + c * aqk;
  }
  for (size_t k = 0; k < N; ++k) {
    const double vkp = v[k][p], vkq = v[k][q];
    v[k][p] = c * vkp - s * vkq;
    v[k][q] = s * vkp + c * vkq;
  }
}

// The share of the matrix's weight off its diagonal.
template <size_t N>
double offDiagonalShare(const Square<N>& a) {
  double off = 0, all = 0;
  for (size_t i = 0; i < N; ++i)
    for (size_t j = 0; j < N; ++j) {
      all += a[i][j] * a[i][j];
      if (i != j) off += a[i][j] * a[i][j];
    }
  return all > 0 ? off / all : 0;
}

// Eigenvalues and eigenvectors of a symmetric matrix by cyclic Jacobi
// rotations; the vectors are the columns of v.
template <size_t N>
void symmetricEigen(Square<N> a, std::array<double, N>& values, Square<N>& v) {
  for (size_t i = 0; i < N; ++i)
    for (size_t j = 0; j < N; ++j) v[i][j] = i == j ? 1.0 : 0.0;
  for (int sweep = 0; sweep < 100 && offDiagonalShare(a) > 1e-30; ++sweep)
    for (size_t p = 0; p < N; ++p)
      for (size_t q = p + 1; q < N; ++q)
        if (a[p][q] != 0) jacobiRotate(a, v, p, q);
  for (size_t i = 0; i < N; ++i) values[i] = a[i][i];
}

using Mat3 = std::array<double, 9>;

Mat3 multiply(const Mat3& a, const Mat3& b) {
  Mat3 r{};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      for (int k = 0; k < 3; ++k) r[i * 3 + j] += a[i * 3 + k] * b[k * 3 + j];
  return r;
}

double determinant(const Mat3& m) {
  return m[0] * (m[4] * m[8] - m[5] * m[7]) - m[1] * (m[3] * m[8] - m[5] * m[6]) + m[2] * (m[3] * m[7] - m[4] * m[6]);
}

bool invert(const Mat3& m, Mat3& out) {
  const double det = determinant(m);
  double scale = 0;
  for (double v : m) scale = std::max(scale, std::abs(v));
  if (!std::isfinite(det) || !(std::abs(det) > 1e-12 * scale * scale * scale)) return false;
  out = {m[4] * m[8] - m[5] * m[7], m[2] * m[7] - m[1] * m[8], m[1] * m[5] - m[2] * m[4],
         m[5] * m[6] - m[3] * m[8], m[0] * m[8] - m[2] * m[6], m[2] * m[3] - m[0] * m[5],
         m[3] * m[7] - m[4] * m[6], m[1] * m[6] - m[0] * m[7], m[0] * m[4] - m[1] * m[3]};
  for (double& v : out) v /= det;
  return true;
}

bool applyHomography(const Mat3& h, double x, double y, double& X, double& Y) {
  const double w = h[6] * x + h[7] * y + h[8];
  if (!(std::abs(w) > 1e-12)) return false;
  X = (h[0] * x + h[1] * y + h[2]) / w;
  Y = (h[3] * x + h[4] * y + h[5]) / w;
  return std::isfinite(X) && std::isfinite(Y);
}

// The similarity that moves the points' centroid to the origin and their mean
// distance from it to √2; false when the points all coincide.
bool normalising(std::span<const PointPair> pairs, bool source, Mat3& t) {
  double cx = 0, cy = 0;
  for (const PointPair& p : pairs) cx += source ? p.sx : p.tx, cy += source ? p.sy : p.ty;
  cx /= static_cast<double>(pairs.size()), cy /= static_cast<double>(pairs.size());
  double d = 0;
  for (const PointPair& p : pairs) d += std::hypot((source ? p.sx : p.tx) - cx, (source ? p.sy : p.ty) - cy);
  d /= static_cast<double>(pairs.size());
  if (!(d > 1e-12) || !std::isfinite(d)) return false;
  const double s = std::sqrt(2.0) / d;
  t = {s, 0, -s * cx, 0, s, -s * cy, 0, 0, 1};
  return true;
}

}  // namespace

bool PictureMapping::map(double x, double y, double& X, double& Y) const {
  if (model == FitModel::Projective) return applyHomography(h, x, y, X, Y);
  X = c[0] * x + c[2] * y + c[4] + c[6] * x * y + c[8] * x * x + c[10] * y * y;
  Y = c[1] * x + c[3] * y + c[5] + c[7] * x * y + c[9] * x * x + c[11] * y * y;
  return std::isfinite(X) && std::isfinite(Y);
}

bool PictureMapping::unmap(double X, double Y, double& x, double& y) const {
  if (model == FitModel::Projective) {
    Mat3 inv;
    return invert(h, inv) && applyHomography(inv, X, Y, x, y);
  }
  // Start from the inverse of the affine part, then Newton steps.
  const double det = c[0] * c[3] - c[1] * c[2];
  if (!(std::abs(det) > 0) || !std::isfinite(det)) return false;
  x = (c[3] * (X - c[4]) - c[2] * (Y - c[5])) / det;
  y = (c[0] * (Y - c[5]) - c[1] * (X - c[4])) / det;
  for (int i = 0; i < 50; ++i) {
    double fx, fy;
    if (!map(x, y, fx, fy)) return false;
    const double ex = fx - X, ey = fy - Y;
    const double a = c[0] + c[6] * y + 2 * c[8] * x, b = c[2] + c[6] * x + 2 * c[10] * y;
    const double cc = c[1] + c[7] * y + 2 * c[9] * x, d = c[3] + c[7] * x + 2 * c[11] * y;
    const double j = a * d - b * cc;
    if (!(std::abs(j) > 0) || !std::isfinite(j)) return false;
    const double dx = (d * ex - b * ey) / j, dy = (a * ey - cc * ex) / j;
    x -= dx, y -= dy;
    if (std::abs(dx) + std::abs(dy) < 1e-13 * (1 + std::abs(x) + std::abs(y))) return std::isfinite(x + y);
  }
  double fx, fy;
  return map(x, y, fx, fy) && std::hypot(fx - X, fy - Y) < 1e-9;
}

bool fitBilinear(std::span<const PointPair> pairs, PictureMapping& out) {
  if (pairs.size() < 4) return false;
  // Normal equations over the basis 1, x, y, x·y; the two axes share the
  // matrix.
  std::array<std::array<double, 4>, 4> m{};
  std::array<double, 4> bx{}, by{};
  for (const PointPair& p : pairs) {
    const double basis[4] = {1, p.tx, p.ty, p.tx * p.ty};
    for (int i = 0; i < 4; ++i) {
      for (int j = 0; j < 4; ++j) m[i][j] += basis[i] * basis[j];
      bx[i] += basis[i] * p.sx;
      by[i] += basis[i] * p.sy;
    }
  }
  if (!solve(m, bx) || !solve(m, by)) return false;
  PictureMapping r;
  r.model = FitModel::Bilinear;
  r.c[4] = bx[0], r.c[0] = bx[1], r.c[2] = bx[2], r.c[6] = bx[3];
  r.c[5] = by[0], r.c[1] = by[1], r.c[3] = by[2], r.c[7] = by[3];
  out = r;
  return true;
}

bool fitProjective(std::span<const PointPair> pairs, PictureMapping& out) {
  if (pairs.size() < 4) return false;
  Mat3 nt, ns;
  if (!normalising(pairs, false, nt) || !normalising(pairs, true, ns)) return false;
  // Each pair gives two rows of the design matrix A (target x, y normalised
  // to u, v; source to U, V); the homography is the right singular vector of
  // A with the least singular value: the eigenvector of AᵀA with the least
  // eigenvalue.
  std::array<std::array<double, 9>, 9> ata{};
  for (const PointPair& p : pairs) {
    const double u = nt[0] * p.tx + nt[2], v = nt[4] * p.ty + nt[5];
    const double U = ns[0] * p.sx + ns[2], V = ns[4] * p.sy + ns[5];
    const double rows[2][9] = {{-u, -v, -1, 0, 0, 0, U * u, U * v, U}, {0, 0, 0, -u, -v, -1, V * u, V * v, V}};
    for (const auto& row : rows)
      for (int i = 0; i < 9; ++i)
        for (int j = 0; j < 9; ++j) ata[i][j] += row[i] * row[j];
  }
  std::array<double, 9> values{};
  std::array<std::array<double, 9>, 9> vectors{};
  symmetricEigen(ata, values, vectors);
  std::array<size_t, 9> order{0, 1, 2, 3, 4, 5, 6, 7, 8};
  std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return values[a] < values[b]; });
  // A second vanishing eigenvalue: the pairs leave the homography open
  // (three collinear points among four, say).
  const double largest = values[order[8]];
  if (!(largest > 0) || !(values[order[1]] > 1e-10 * largest)) return false;
  Mat3 hn;
  for (int i = 0; i < 9; ++i) hn[i] = vectors[i][order[0]];
  Mat3 nsInverse;
  if (!invert(ns, nsInverse)) return false;
  Mat3 hm = multiply(multiply(nsInverse, hn), nt);
  // Scaled to h8 = 1 where it can be, else to unit length.
  double norm = 0;
  for (double v : hm) norm += v * v;
  norm = std::sqrt(norm);
  const double divisor = std::abs(hm[8]) > 1e-9 * norm ? hm[8] : norm;
  for (double& v : hm) v /= divisor;
  Mat3 check;
  if (!invert(hm, check)) return false;
  PictureMapping r;
  r.model = FitModel::Projective;
  r.h = hm;
  out = r;
  return true;
}

bool fitPairs(FitModel model, std::span<const PointPair> pairs, PictureMapping& out) {
  return model == FitModel::Projective ? fitProjective(pairs, out) : fitBilinear(pairs, out);
}

FitResidual fitResidual(const PictureMapping& m, std::span<const PointPair> pairs) {
  FitResidual r;
  if (pairs.empty()) return r;
  double sum = 0;
  for (const PointPair& p : pairs) {
    double x, y, d;
    if (m.unmap(p.sx, p.sy, x, y)) {
      d = std::hypot(x - p.tx, y - p.ty);
    } else {
      // No inverse here: the miss measured on the picture instead.
      double X, Y;
      d = m.map(p.tx, p.ty, X, Y) ? std::hypot(X - p.sx, Y - p.sy) : HUGE_VAL;
    }
    r.largest = std::max(r.largest, d);
    sum += d;
  }
  r.mean = sum / static_cast<double>(pairs.size());
  return r;
}

bool targetBounds(const PictureMapping& m, const InchBox& source, InchBox& out) {
  const double corners[4][2] = {
      {source.x0, source.y0}, {source.x1, source.y1}, {source.x0, source.y1}, {source.x1, source.y0}};
  double xs[4], ys[4];
  if (m.model == FitModel::Projective) {
    Mat3 inv;
    if (!invert(m.h, inv)) return false;
    // Every corner must lie on the near side of the horizon, or the picture
    // would wrap through infinity.
    double firstW = 0;
    for (int i = 0; i < 4; ++i) {
      const double w = inv[6] * corners[i][0] + inv[7] * corners[i][1] + inv[8];
      if (i == 0) firstW = w;
      if (!(w * firstW > 0)) return false;
      if (!applyHomography(inv, corners[i][0], corners[i][1], xs[i], ys[i])) return false;
    }
  } else {
    const auto& c = m.c;
    const double det = c[0] * c[3] - c[1] * c[2];
    const double scale = std::abs(c[0] * c[3]) + std::abs(c[1] * c[2]);
    if (!std::isfinite(det) || !(std::abs(det) > 1e-12 * scale)) return false;
    for (int i = 0; i < 4; ++i) {
      const double X = corners[i][0] - c[4], Y = corners[i][1] - c[5];
      xs[i] = (c[3] * X - c[2] * Y) / det;
      ys[i] = (c[0] * Y - c[1] * X) / det;
      if (!std::isfinite(xs[i]) || !std::isfinite(ys[i])) return false;
    }
  }
  out = {*std::min_element(xs, xs + 4), *std::min_element(ys, ys + 4), *std::max_element(xs, xs + 4),
         *std::max_element(ys, ys + 4)};
  return true;
}

}  // namespace trelmo
