// Cutting a straight piece at keep-out shapes: exact ends for the simple
// shapes, and for random shapes every free part clear and every cut part
// blocked.
#include <gtest/gtest.h>

#include <random>

#include "flood/flood_keepout.h"

namespace trelmo::flood {
namespace {

std::vector<Span> cutBy(const std::vector<Keepout>& shapes, Pt a, Pt b) {
  std::vector<Span> blocked;
  for (const Keepout& k : shapes) blockedSpans(k, a, b, blocked);
  return freeSpans(blocked, std::hypot(b.x - a.x, b.y - a.y), 0);
}

TEST(Keepout, ExactEndsAtDiscCapsuleAndPolygon) {
  std::vector<Keepout> disc;
  addCapsule(disc, {50, 0}, {50, 0}, 10);
  auto free = cutBy(disc, {0, 0}, {100, 0});
  ASSERT_EQ(free.size(), 2u);
  EXPECT_NEAR(free[0].t1 * 100, 40, 1e-9);
  EXPECT_NEAR(free[1].t0 * 100, 60, 1e-9);

  // A piece parallel to an enlarged segment: free exactly at its radius,
  // blocked a hair inside it.
  std::vector<Keepout> capsule;
  addCapsule(capsule, {20, 0}, {80, 0}, 10);
  EXPECT_EQ(cutBy(capsule, {0, 10}, {100, 10}).size(), 1u);
  free = cutBy(capsule, {0, 9.999}, {100, 9.999});
  ASSERT_EQ(free.size(), 2u);
  EXPECT_NEAR(free[0].t1 * 100, 20 - std::sqrt(100 - 9.999 * 9.999), 1e-6);

  // An L-shaped solid: the notch stays free.
  std::vector<Keepout> ell;
  addRoundedPolygon(ell, {{0, 0}, {40, 0}, {40, 10}, {10, 10}, {10, 40}, {0, 40}}, 0, false);
  free = cutBy(ell, {-10, 20}, {50, 20});
  ASSERT_EQ(free.size(), 2u);
  EXPECT_NEAR(free[0].t1 * 60, 10, 1e-9);
  EXPECT_NEAR(free[1].t0 * 60, 20, 1e-9);
}

TEST(Keepout, RingSectorAndOutside) {
  Keepout ring;
  ring.kind = Keepout::Ring;
  ring.c = {0, 0};
  ring.r0 = 40, ring.r = 60;
  ring.a0 = 0, ring.sweep = std::numbers::pi;  // the upper half
  auto free = cutBy({ring}, {-100, 10}, {100, 10});
  ASSERT_EQ(free.size(), 3u);  // blocked on both sides of the hole
  EXPECT_EQ(cutBy({ring}, {-100, -10}, {100, -10}).size(), 1u);

  Keepout rim;
  rim.kind = Keepout::Outside;
  rim.pts = {{0, 0}, {100, 0}, {100, 100}, {0, 100}};
  free = cutBy({rim}, {-50, 50}, {150, 50});
  ASSERT_EQ(free.size(), 1u);
  EXPECT_NEAR(free[0].t0 * 200, 50, 1e-9);
  EXPECT_NEAR(free[0].t1 * 200, 150, 1e-9);
}

TEST(Keepout, RandomShapesCutExactly) {
  std::mt19937 rng(20);
  std::uniform_real_distribution<double> u(-100, 100), rad(1, 30);
  for (int round = 0; round < 300; ++round) {
    std::vector<Keepout> shapes;
    addCapsule(shapes, {u(rng), u(rng)}, {u(rng), u(rng)}, rad(rng));
    addRoundedPolygon(shapes, {{u(rng), u(rng)}, {u(rng), u(rng)}, {u(rng), u(rng)}, {u(rng), u(rng)}}, rad(rng) / 4,
                      false);
    Keepout ring;
    ring.kind = Keepout::Ring;
    ring.c = {u(rng), u(rng)};
    ring.r0 = rad(rng), ring.r = ring.r0 + rad(rng), ring.a0 = u(rng), ring.sweep = std::fabs(u(rng)) / 20;
    shapes.push_back(ring);
    const Pt a{u(rng), u(rng)}, b{u(rng), u(rng)};
    const auto free = cutBy(shapes, a, b);
    auto inside = [&](double t) {
      for (const Keepout& k : shapes)
        if (k.contains(along(a, b, t))) return true;
      return false;
    };
    double from = 0;
    for (const Span& s : free) {
      for (int i = 1; i < 8; ++i) EXPECT_FALSE(inside(s.t0 + (s.t1 - s.t0) * i / 8)) << round;
      if (s.t0 - from > 1e-6) {
        EXPECT_TRUE(inside((from + s.t0) / 2)) << round;
      }
      from = s.t1;
    }
    if (1 - from > 1e-6) {
      EXPECT_TRUE(inside((from + 1) / 2)) << round;
    }
  }
}

TEST(Keepout, ChordsKeepToTheirSide) {
  for (const bool outside : {true, false}) {
    const auto pts = arcChords({0, 0}, 100, 0.3, 2.5, outside);
    ASSERT_GE(pts.size(), 3u);
    for (size_t i = 0; i + 1 < pts.size(); ++i)
      for (int k = 0; k <= 10; ++k) {
        const Pt p = along(pts[i], pts[i + 1], k / 10.0);
        const double d = std::hypot(p.x, p.y);
        if (outside)
          EXPECT_GE(d, 100 - 1e-9);
        else
          EXPECT_LE(d, 100 + 1e-9);
      }
    EXPECT_NEAR(pts.front().x, 100 * std::cos(0.3), 1e-9);
    EXPECT_NEAR(pts.back().y, 100 * std::sin(2.8), 1e-9);
  }
}

}  // namespace
}  // namespace trelmo::flood
