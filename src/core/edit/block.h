// The block: a containment region (a rectangle or a polygon) defined in one
// design file with a source reference point, and the layers, turn, scale and
// mirrors that block moves and copies apply. Flooding and isolation use the
// same region through blockRegion, blockLayerSelected and the containment
// tests below.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "database/record.h"

namespace trelmo {

struct Context;
struct Params;

// The armed mode (high nibble of the mode byte) and the mirror bits.
enum BlockMode : uint8_t {
  kBlockMoveArmed = 16,
  kBlockCopyArmed = 32,
  kBlockCompareArmed = 48,
  kBlockArmedMask = 48,
  kBlockDefineThenMove = 128,
  kBlockMirrorX = 1,
  kBlockMirrorY = 2,
};

// The region alone: its bounding rectangle and, for a polygon block, the
// vertices (x, y pairs; empty for a rectangle).
struct BlockRegion {
  int32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  std::vector<int32_t> polygon;
};

struct BlockDefinition {
  Handle file = kNull;  // the design file the block is defined in; kNull: no block
  std::string path;     // its path then (a closed file's record may serve another)
  BlockRegion region;
  int32_t sourceX = 0, sourceY = 0;
  int32_t targetX = 0, targetY = 0;
  std::array<bool, 256> layers{};
  uint8_t mode = 0;
  uint16_t angle = 0;
  int32_t scale = 65536;  // 16.16
  // Definition in progress: 0 none, 1 first corner, 2 second corner,
  // 3 polygon points, 4 source reference point.
  int stage = 0;
  int32_t cornerX = 0, cornerY = 0;
  bool outlineShown = false;  // the outline is on the surface (exclusive-or)
  uint8_t outlinePhase = 0;   // the dash phase it was drawn with
};

// The block of this context (kNull file: none), or nullptr before the block
// functions are installed. A block whose file has been closed is forgotten
// (the const form gives nullptr for it).
BlockDefinition* blockOf(Context& ctx);
const BlockDefinition* blockOf(const Context& ctx);
// Whether `file` is a design file of the open-file ring.
bool fileIsOpen(const Context& ctx, Handle file);
// The block defined in `file`, or nullptr.
const BlockDefinition* blockIn(const Context& ctx, Handle file);

// Point containment: inside the bounding rectangle (edges included) and, for
// a polygon, inside the polygon by the even-odd rule; a point on a polygon
// edge or vertex counts as inside.
bool pointInPolygon(const std::vector<int32_t>& polygon, int32_t x, int32_t y);
bool pointInRegion(const BlockRegion& region, int32_t x, int32_t y);

// The default layer selection: every layer that is shown, whose name does not
// begin with a character below 33 and is not "-".
std::array<bool, 256> defaultBlockLayers(const Params& p);
// Whether an item counts on the selected layers (a through-hole pad on
// layer 0).
bool blockLayerSelected(const Context& ctx, const BlockDefinition& b, const Record& r);

// The containment code of an item against the block: a line 1 (first point
// only), 2 (second only), 7 (both), a filled solid or a component 7 (both
// corners of its box), a short arc 5 (both ends), anything else 5 (its
// origin); 0 when not contained or on an unselected layer. `outside` builds
// the code with "outside" for "inside". An item counts when bit 4 is set.
int containmentCode(const Context& ctx, const BlockDefinition& b, Handle item, bool outside = false);
inline bool contained(int code) { return (code & 4) != 0; }

// The top-level items of `file` (hidden ones left out) that count as inside
// (outside) the block, with their codes; `partial` adds lines with one point
// in (codes 1 and 2).
struct BlockMember {
  Handle item;
  int code;
};
std::vector<BlockMember> blockMembers(const Context& ctx, const BlockDefinition& b, Handle file, bool outside = false,
                                      bool partial = false);

// The point transform of move, copy and compare: from the source reference
// point, mirrored, scaled and turned, to the target reference point.
void blockTransformPoint(const BlockDefinition& b, int32_t& x, int32_t& y);
// The region carried by that transform (a rectangle turned by other than
// quarter turns becomes a four-point polygon).
BlockRegion transformedRegion(const BlockDefinition& b);

// Registers the B family (BG BI BP BE BM BC BD BU BH BB BN BL BR BX BY) and
// the block facts of the shell (menu state, the R key, the outline).
void installBlockFunctions(Context& ctx);

}  // namespace trelmo
