// Plane geometry for the DXF reader: object coordinate systems, arcs through
// two polyline vertices, and exact quarter-turn rotation.
#pragma once
#include <cstdint>

namespace trelmo::dxf {

// An entity's object coordinate system, given by its extrusion direction
// (groups 210/220/230). The drawing keeps the X and Y of the world point.
class Ocs {
 public:
  Ocs() = default;  // the world system
  Ocs(double nx, double ny, double nz);
  bool identity() const { return identity_; }
  // True when the plane is seen from below: arcs turn the other way.
  bool flipped() const { return flipped_; }
  void toWorld(double x, double y, double z, double& wx, double& wy) const;
  // A direction angle in the plane (degrees) as seen in the world XY plane.
  double worldAngle(double degrees) const;

 private:
  bool identity_ = true;
  bool flipped_ = false;
  double ax_[3] = {1, 0, 0}, ay_[3] = {0, 1, 0}, n_[3] = {0, 0, 1};
};

// A circular arc in world units, counter-clockwise from start over sweep.
struct ArcFit {
  bool ok = false;
  int32_t cx = 0, cy = 0, radius = 0;
  uint16_t start = 0, sweep = 0;
};
// The arc from (x1, y1) to (x2, y2) whose included angle is 4 atan(bulge);
// a positive bulge turns counter-clockwise. Not ok for a zero bulge or
// coincident points.
ArcFit arcFromBulge(int32_t x1, int32_t y1, int32_t x2, int32_t y2, double bulge);

// Radians into a binary angle, and the direction of a vector.
uint16_t binaryAngle(double radians);
uint16_t directionOf(double dx, double dy);
// Rotation by a binary angle, exact for the four right angles.
void rotate(double& x, double& y, uint16_t angle);
// World units held inside the 32-bit coordinate range.
int32_t clampUnits(double u);

}  // namespace trelmo::dxf
