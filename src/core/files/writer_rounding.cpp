// Whole-mil rounding of schematic files.
#include "context.h"
#include "files/writer_version4.h"

namespace trelmo {

namespace {

constexpr int64_t kTopMil = 32767999;  // the last whole mil below 32768 inches
constexpr uint16_t kOneMil = 66;       // 65536 / 1000, rounded
constexpr size_t kMaxVertices = size_t{RecordPool::kMaxBlocks} * RecordPool::kRecordsPerBlock;

int64_t floorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// Sizes keep their place in 16 bits: a size that is not zero stays at least
// one mil (a zero-width line would turn into a filled solid), and one that
// rounds up to a whole inch stays just below it.
uint16_t roundSize(uint16_t s) {
  if (s == 0) return 0;
  const int32_t v = roundToMil(s);
  if (v <= 0) return kOneMil;
  return v > 0xFFFF ? 0xFFFF : static_cast<uint16_t>(v);
}

void roundPoints(Record& r) {
  r.x1 = roundToMil(r.x1);
  r.y1 = roundToMil(r.y1);
  r.w3 = roundToMil(r.w3);
  r.w4 = roundToMil(r.w4);
}

}  // namespace

// Whole mils by rounding half up (floor of v * 1000 / 65536 + 1/2), then back
// to 1/65536 inch rounding half up. Floor rather than truncation so that
// negative coordinates round like positive ones.
int32_t roundToMil(int32_t v) {
  int64_t mils = floorDiv(int64_t{v} * 1000 + 32768, 65536);
  if (mils > kTopMil) mils = kTopMil;  // 32768 inches would not fit
  return static_cast<int32_t>(floorDiv(mils * 65536 + 500, 1000));
}

void roundItemToMils(Context& ctx, Handle h) {
  Record& r = ctx.rec(h);
  switch (r.type()) {
    case kSentinel:
      r.x1 = roundToMil(r.x1);
      r.y1 = roundToMil(r.y1);
      break;
    case kLine:
      roundPoints(r);
      if (item::isSolid(r)) {
        Handle v = r.ext;
        for (size_t n = 0; v != kNull && ctx.pool.valid(v) && n < kMaxVertices; ++n) {
          roundPoints(ctx.rec(v));
          v = ctx.rec(v).ext;
        }
      } else {
        r.size = roundSize(r.size);
      }
      break;
    case kArc:
    case kText:
      r.x1 = roundToMil(r.x1);
      r.y1 = roundToMil(r.y1);
      r.w3 = roundToMil(r.w3);  // radius or length
      r.size = roundSize(r.size);
      break;
    case kPad:
      r.x1 = roundToMil(r.x1);
      r.y1 = roundToMil(r.y1);
      break;
    default:  // components, reserved items and containers
      roundPoints(r);
      break;
  }
}

}  // namespace trelmo
