// Pieces shared by the Tango and Protel AutoTrax readers: record fields,
// mil units, text lengths, the board setup and component bookkeeping.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "database/pool.h"

namespace trelmo {

struct Context;

namespace tango {

// One record line split into fields at blanks. A field in double quotes may
// hold blanks; "" inside it stands for one quote. At most kMaxFields fields
// are kept; a missing field reads as empty (numbers as 0).
class Fields {
 public:
  static constexpr size_t kMaxFields = 64;
  explicit Fields(std::string_view line);

  size_t size() const { return fields_.size(); }
  std::string_view text(size_t i) const {
    return i < fields_.size() ? std::string_view(fields_[i]) : std::string_view();
  }
  int32_t integer(size_t i) const;   // saturating
  int32_t mils(size_t i) const;      // integer mils to world units
  uint16_t milSize(size_t i) const;  // mils to a 16-bit size, held at its limits
  uint16_t degrees(size_t i) const;  // degrees to a binary angle
  int32_t inches(size_t i) const;    // decimal inches to world units

 private:
  std::vector<std::string> fields_;
};

// The layer table and setup shared by Tango boards and Protel AutoTrax files.
void applyBoardSetup(Context& ctx);

// A component header (layer 0) in ring with a nested ring whose sentinel
// holds the origin and the parameter fields. Returns the sentinel, or kNull
// when the pool ran out (nothing is then left behind).
Handle newComponent(Context& ctx, Handle ring, int32_t x, int32_t y, std::string_view params);

// After reading: components whose ring stayed empty are dropped, the others
// take the bounding box of their items and are moved to the front of the
// ring in ascending order of the component sort key.
void finishComponents(Context& ctx, Handle ring);

}  // namespace tango
}  // namespace trelmo
