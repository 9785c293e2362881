// The markers of the picture functions, kept as ghosts on the grab list so
// that they follow the cursor and are drawn by exclusive-or like any ghost.
// A marker stands for no item: dropping or releasing the grab list only
// takes it away.
#pragma once
#include <cstdint>

#include "database/record.h"

namespace trelmo {

struct Context;

// Sizes in world units.
constexpr int32_t kMarkerArm = 6554;  // 0.1 inch
constexpr int32_t kReticleRadii[4] = {1311, 2621, 3932, 5243};

// Brackets changes to the markers: the ghosts are brought to the cursor and
// taken off the screen, and drawn again (with the cursor as their reference)
// when the edit ends.
class MarkerEdit {
 public:
  explicit MarkerEdit(Context& ctx);
  ~MarkerEdit();
  MarkerEdit(const MarkerEdit&) = delete;
  MarkerEdit& operator=(const MarkerEdit&) = delete;

  // Four circles centred on the cursor, travelling with it.
  void reticle();
  // Two lines through the cursor, travelling with it.
  void cross();
  // Two fixed diagonal lines through (x, y).
  void pointMark(int32_t x, int32_t y);
  // A line from the cursor to (x, y) whose cursor end follows.
  Handle rubberBand(int32_t x, int32_t y);
  // The band stops following: its moving end is put at (x, y).
  void fix(Handle band, int32_t x, int32_t y);
  // The marker leaves the grab list.
  void remove(Handle band);

 private:
  Handle add(uint8_t type, int32_t x1, int32_t y1, int32_t w3, int32_t w4, uint8_t follow);
  Context& ctx_;
};

// Takes every marker (and whatever else is on the cursor) off the grab list.
void clearMarkers(Context& ctx);

}  // namespace trelmo
