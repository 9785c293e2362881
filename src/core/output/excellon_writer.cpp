// Excellon drill files: a header with the units and the tool table, then the
// holes tool by tool, coordinates in inches with decimal points.
#include <cstdio>
#include <map>
#include <vector>

#include "context.h"
#include "database/walk.h"
#include "output/gerber_writer.h"

namespace trelmo {

namespace {

std::string inches(double world, int decimals) {
  char b[32];
  std::snprintf(b, sizeof b, "%.*f", decimals, world / 65536.0);
  return b;
}

}  // namespace

bool writeExcellon(const Context& ctx, bool plated, ByteSink& out) {
  std::map<uint16_t, std::vector<std::pair<int32_t, int32_t>>> holes;  // by diameter
  Handle cur = ctx.current;
  while (ctx.current != kNull && anyItem(ctx.pool, cur) != 0) {
    const Record& r = ctx.rec(cur);
    const uint8_t t = item::padType(r);
    if (r.type() != kPad || (t & item::kSurfaceMount) || t == item::kSchematicPin || item::padHole(r) == 0) continue;
    const bool unplated = item::padHole(r) >= std::min(item::padX(r), item::padY(r));
    if (unplated != !plated) continue;
    holes[item::padHole(r)].emplace_back(r.x1, r.y1);
  }
  if (holes.empty()) return false;
  std::string s = "M48\r\n; DRILL file TRELMO\r\n; FORMAT={-:-/ absolute / inch / decimal}\r\n";
  s += plated ? "; #@! TF.FileFunction,Plated,1,2,PTH\r\n;TYPE=PLATED\r\n"
              : "; #@! TF.FileFunction,NonPlated,1,2,NPTH\r\n;TYPE=NON_PLATED\r\n";
  s += "INCH\r\n";
  int tool = 0;
  for (const auto& [d, list] : holes) s += "T" + std::to_string(++tool) + "C" + inches(d, 5) + "\r\n";
  s += "%\r\nG90\r\nG05\r\n";
  tool = 0;
  for (const auto& [d, list] : holes) {
    s += "T" + std::to_string(++tool) + "\r\n";
    for (const auto& [x, y] : list) s += "X" + inches(x, 5) + "Y" + inches(y, 5) + "\r\n";
  }
  s += "T0\r\nM30\r\n";
  return out.write(s);
}

}  // namespace trelmo
