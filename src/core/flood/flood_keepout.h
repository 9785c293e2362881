// Where the centre line of a new piece of copper (or of a milling path) may
// not go: each obstacle is turned into keep-out shapes grown by the clearance
// and half the new line's width, and a straight piece is cut exactly where it
// enters them. Coordinates are world units in doubles; the pieces left over
// are rounded to whole units by the caller.
#pragma once
#include <vector>

namespace trelmo::flood {

struct Pt {
  double x = 0, y = 0;
};

// The parameter range [t0, t1] of a segment, 0 at its start and 1 at its end.
struct Span {
  double t0 = 0, t1 = 0;
};

// One keep-out shape. Its inside is open: a point exactly on the boundary is
// free.
struct Keepout {
  enum Kind {
    Disc,     // centre c, radius r
    Convex,   // convex polygon pts (either orientation)
    Polygon,  // any closed polygon pts, inside by the even-odd rule
    Outside,  // everything outside the closed polygon pts (the region's rim)
    Ring,     // between radii r0 and r over the sweep from angle a0 (radians), whole when sweep <= 0
  };
  Kind kind = Disc;
  Pt c;
  double r = 0, r0 = 0, a0 = 0, sweep = 0;
  std::vector<Pt> pts;

  bool contains(Pt p) const;
};

// The shapes a few items are grown into, appended to `out`.
void addCapsule(std::vector<Keepout>& out, Pt a, Pt b, double r);
void addRoundedPolygon(std::vector<Keepout>& out, const std::vector<Pt>& corners, double r, bool convex);

// The parts of the segment a-b inside the shape, appended to `out` (unsorted,
// possibly overlapping).
void blockedSpans(const Keepout& k, Pt a, Pt b, std::vector<Span>& out);

// [0, 1] less the union of the blocked spans, keeping pieces at least
// `minLength` long (in the segment's own units, `length` being its length).
std::vector<Span> freeSpans(std::vector<Span>& blocked, double length, double minLength);

// A point of the segment.
inline Pt along(Pt a, Pt b, double t) { return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t}; }

// An arc of radius r about c from angle a0 through sweep (radians, either
// sign) as straight chords that keep to the chosen side of the circle: outside
// it (`outside`, every chord touching the circle at its middle) or inside it
// (every corner on it). At least one chord per eighth of a turn.
std::vector<Pt> arcChords(Pt c, double r, double a0, double sweep, bool outside);

}  // namespace trelmo::flood
