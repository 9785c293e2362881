#include "generate_design.h"

#include <random>
#include <string>

#include "database/chains.h"
#include "database/options.h"
#include "database/rings.h"
#include "database/signals.h"

namespace trelmo::bench {

namespace {

void boardLayers(Context& ctx) {
  parseOptionsV4(ctx, {"-y1", "-y0:00AAAAAA,00FFFFFF,2,0,Pad Master", "-y1:00FFFFFF,00FFFFFF,0,1,Top Silk",
                       "-y2:00AA00AA,00FFFFFF,1,2,Top Mask", "-y3:00AA0000,00FF0000,2,3,Top Copper",
                       "-y4:0000AA00,0000FF00,3,4,Power Plane", "-y12:000000AA,000000FF,10,12,Bottom Copper",
                       "-y13:00AA00AA,00FFFFFF,9,13,Bottom Mask", "-y14:00FFFFFF,00FFFFFF,8,14,Bottom Silk"});
}

struct Gen {
  Context& ctx;
  std::mt19937 rng;
  int32_t coord() { return static_cast<int32_t>(rng() % (10 * kInch)); }
  std::string signal() { return "N" + std::to_string(rng() % 2000); }

  void track(Handle ring) {
    const int32_t x = coord(), y = coord();
    Handle h = createItem(ctx.pool, ring, kLine, (rng() & 1) ? 3 : 12, 655, x, y,
                          x + static_cast<int32_t>(rng() % kInch), y, 0);
    if (h) attachSignal(ctx, h, signal());
  }
  void pad(Handle ring, int32_t x, int32_t y, uint32_t pin) {
    Handle h = createItem(ctx.pool, ring, kPad, 0, item::kOvalThru, x, y, 0, 0, 0);
    if (!h) return;
    item::setPad(ctx.rec(h), 4000, 4000, 2300, 0);
    ctx.rec(h).w5 = static_cast<int32_t>(pin);
    attachSignal(ctx, h, signal());
  }
  void via(Handle ring) {
    Handle h = createItem(ctx.pool, ring, kPad, 0, item::kRoundVia, coord(), coord(), 0, 0, 0);
    if (h) item::setPad(ctx.rec(h), 2900, 2900, 1300, 0);
  }
  void text(Handle ring, const char* s) {
    Handle h = createItem(ctx.pool, ring, kText, 1, 3900, coord(), coord(), 0, 0, 0);
    if (!h) return;
    item::setText(ctx.rec(h), 3900 * static_cast<int32_t>(std::char_traits<char>::length(s)), 0, 0);
    storeText(ctx, h, s);
  }
  void component(Handle ring, long n) {
    const int32_t x = coord(), y = coord();
    Handle hdr = createItem(ctx.pool, ring, kComponent, 1, 0, x, y, x + kInch / 2, y + kInch / 4, 0);
    if (!hdr) return;
    Handle s = newRing(ctx.pool, kComponentRing);
    if (!s) return;
    ctx.rec(hdr).ext = s;
    ctx.rec(s).w4 = static_cast<int32_t>(hdr);
    ctx.rec(s).x1 = x;
    ctx.rec(s).y1 = y;
    const std::string params = "U" + std::to_string(n) +
                               "\x7f"
                               "74HC00"
                               "\x7f"
                               "DIP14";
    storeText(ctx, s, params);
    for (uint32_t pin = 1; pin <= 4; ++pin) pad(s, x + static_cast<int32_t>(pin) * 6554, y, pin);
    createItem(ctx.pool, s, kLine, 1, 655, x, y + kInch / 4, x + kInch / 2, y + kInch / 4, 0);
  }
  void solid(Handle ring) {
    const int32_t x = coord(), y = coord();
    Handle h = createItem(ctx.pool, ring, kLine, 3, 0, x, y, x, y, 0);
    if (!h) return;
    for (int i = 0; i < 6; ++i) appendVertex(ctx, h, x + (i % 3) * 20000, y + (i / 3) * 30000 + i * 1000);
  }
};

}  // namespace

void generateBoard(Context& ctx, long items, uint32_t seed) {
  boardLayers(ctx);
  Gen g{ctx, std::mt19937(seed)};
  const Handle ring = ctx.current;
  long made = 0;
  for (long i = 0; made < items; ++i) {
    if (i % 1000 == 999) {
      g.solid(ring);
      made += 1;
    } else if (i % 50 == 49) {
      g.component(ring, i);
      made += 6;
    } else {
      switch (i % 5) {
        case 0:
        case 1:
          g.track(ring);
          break;
        case 2:
          g.pad(ring, g.coord(), g.coord(), 1);
          break;
        case 3:
          g.via(ring);
          break;
        default:
          g.text(ring, "R12 10K");
          break;
      }
      made += 1;
    }
  }
}

}  // namespace trelmo::bench
