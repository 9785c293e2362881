// Item records: the one fixed-size record every design is built from.
#pragma once
#include <cstdint>
#include <cstring>

namespace trelmo {

// Records are named by 32-bit handles into the pool's blocks. 0 is null; real
// handles are never below 1024, so a pad's pin reference (a pin number below
// 1024 or a pin-name record) fits in one 32-bit word.
using Handle = uint32_t;
constexpr Handle kNull = 0;
constexpr uint32_t kFirstHandle = 1024;

// World units: 1/65536 inch, X right, Y up. Sizes are 16-bit fractions of an
// inch, angles 16-bit binary angles (65536 = 360 degrees).
constexpr int32_t kInch = 65536;

enum ItemType : uint8_t {
  kSentinel = 0,
  kLine = 1,  // width 0: filled solid
  kArc = 2,
  kPad = 3,
  kText = 4,
  kReserved = 5,
  kComponent = 6,
  kContainer = 7,
};

enum ItemFlags : uint8_t {
  kTypeMask = 7,
  kHidden = 8,
  kUndoBits = 0x30,
  kHilight = 128,
};

// Sentinel layers: a component's nested ring and a file's design list.
constexpr uint8_t kComponentRing = 6;
constexpr uint8_t kFileRing = 7;

// Status bits in a file sentinel's size field.
constexpr uint16_t kFileModified = 1u << 14;
constexpr uint16_t kFileBackedUp = 1u << 11;
// Changes written only to the Autosave folder, not yet to the file itself.
constexpr uint16_t kFileAutosaved = 1u << 12;

// Markers in the second word of side-chain records.
constexpr uint32_t kPinNameMarker = 2;
constexpr uint32_t kSignalMarker = 3;
constexpr int kChainBytes = 28;  // payload bytes of a text, pin or signal record

struct Record {
  Handle ext;   // extension: signal, text chain, vertex chain or nested ring
  Handle next;  // second word (side chains: 0 for text, marker for names)
  Handle prev;
  uint8_t flags;
  uint8_t layer;
  uint16_t size;
  int32_t x1, y1;
  int32_t w3;  // X2, or two 16-bit fields
  int32_t w4;  // Y2, or two 16-bit fields
  int32_t w5;  // two 16-bit fields, or a pin reference

  uint8_t type() const { return flags & kTypeMask; }
  bool hidden() const { return (flags & kHidden) != 0; }
  bool hilighted() const { return (flags & kHilight) != 0; }

  // The 28 payload bytes of a side-chain record (after the second word).
  uint8_t* payload() { return reinterpret_cast<uint8_t*>(&prev); }
  const uint8_t* payload() const { return reinterpret_cast<const uint8_t*>(&prev); }
};
static_assert(sizeof(Record) == 36, "records are 36 bytes: 29127 to a 1 MiB block");

// 16-bit halves of a 32-bit word: "A then B" puts A in the low half.
inline uint16_t lo16(int32_t w) { return static_cast<uint16_t>(static_cast<uint32_t>(w)); }
inline uint16_t hi16(int32_t w) { return static_cast<uint16_t>(static_cast<uint32_t>(w) >> 16); }
inline int32_t pack16(uint16_t lo, uint16_t hi) {
  return static_cast<int32_t>(static_cast<uint32_t>(lo) | (static_cast<uint32_t>(hi) << 16));
}
inline void setLo16(int32_t& w, uint16_t v) { w = pack16(v, hi16(w)); }
inline void setHi16(int32_t& w, uint16_t v) { w = pack16(lo16(w), v); }

// Typed access to the per-type fields.
namespace item {
// Lines and filled solids.
inline bool isSolid(const Record& r) { return r.type() == kLine && r.size == 0; }
// Arcs, circles and ellipses.
inline int32_t radius(const Record& r) { return r.w3; }
inline uint16_t sweep(const Record& r) { return lo16(r.w4); }
inline uint16_t start(const Record& r) { return hi16(r.w4); }
inline uint16_t eccentricity(const Record& r) { return lo16(r.w5); }
inline uint16_t axisAngle(const Record& r) { return hi16(r.w5); }
inline void setArc(Record& r, int32_t radius, uint16_t start, uint16_t sweep, uint16_t ecc, uint16_t axis) {
  r.w3 = radius;
  r.w4 = pack16(sweep, start);
  r.w5 = pack16(ecc, axis);
}
// Pads, vias and mounting holes.
enum PadType : uint8_t {
  kSchematicPin = 0,
  kOvalThru = 1,
  kRectThru = 2,
  kRoundVia = 3,
  kPadstack = 4,
  kOvalSmt = 5,
  kRectSmt = 6,
  kSchematicDot = 7,
};
constexpr uint8_t kSurfaceMount = 4;
inline uint8_t padType(const Record& r) { return static_cast<uint8_t>(r.size & 7); }
inline uint16_t padX(const Record& r) { return lo16(r.w3); }
inline uint16_t padY(const Record& r) { return hi16(r.w3); }
inline uint16_t padHole(const Record& r) { return lo16(r.w4); }
inline uint16_t padAngle(const Record& r) { return hi16(r.w4); }
inline uint32_t padPin(const Record& r) { return static_cast<uint32_t>(r.w5); }
inline void setPad(Record& r, uint16_t xs, uint16_t ys, uint16_t hole, uint16_t angle) {
  r.w3 = pack16(xs, ys);
  r.w4 = pack16(hole, angle);
}
// Text strings.
inline int32_t textLength(const Record& r) { return r.w3; }
inline uint16_t textAngle(const Record& r) { return lo16(r.w4); }
inline uint8_t textAnchorFont(const Record& r) { return static_cast<uint8_t>(hi16(r.w4)); }
inline uint8_t textAnchor(const Record& r) { return textAnchorFont(r) & 15; }
inline uint8_t textFont(const Record& r) { return textAnchorFont(r) >> 4; }
inline void setText(Record& r, int32_t length, uint16_t angle, uint8_t anchorFont) {
  r.w3 = length;
  r.w4 = pack16(angle, anchorFont);
}
// Sentinels: the owner (header) of a nested ring, and a file's third word.
inline Handle owner(const Record& r) { return static_cast<Handle>(r.w4); }
}  // namespace item

}  // namespace trelmo
