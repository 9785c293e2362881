#include "files/import/tango_common.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "context.h"
#include "database/chains.h"
#include "database/geometry.h"
#include "database/options.h"
#include "database/rings.h"
#include "files/reader_items.h"

namespace trelmo::tango {

Fields::Fields(std::string_view line) {
  size_t i = 0;
  while (fields_.size() < kMaxFields) {
    while (i < line.size() && static_cast<unsigned char>(line[i]) <= ' ') ++i;
    if (i >= line.size()) break;
    std::string field;
    if (line[i] == '"') {
      ++i;
      while (i < line.size()) {
        if (line[i] == '"') {
          if (i + 1 < line.size() && line[i + 1] == '"') {
            field += '"';
            i += 2;
            continue;
          }
          ++i;  // the closing quote
          break;
        }
        field += line[i++];
      }
    } else {
      while (i < line.size() && static_cast<unsigned char>(line[i]) > ' ') field += line[i++];
    }
    fields_.push_back(std::move(field));
  }
}

int32_t Fields::integer(size_t i) const {
  NumberReader r{text(i)};
  return r.integer();
}

int32_t Fields::mils(size_t i) const {
  NumberReader r{text(i)};
  return r.oldDimension();
}

uint16_t Fields::milSize(size_t i) const { return clampSize(mils(i)); }

uint16_t Fields::degrees(size_t i) const {
  NumberReader r{text(i)};
  return r.angle();
}

int32_t Fields::inches(size_t i) const {
  NumberReader r{text(i)};
  return r.plainNumber();
}

void applyBoardSetup(Context& ctx) {
  parseOptionsV4(ctx, {"-y0",
                       "-y0:00AA00AA,00FFFF00,0,Pad Master",
                       "-y1:00FFFF00,000000FF,4,Symbols",
                       "-y2:0000AA00,00FF00FF,7,CAM Control",
                       "-y3:00000000,00FF00FF,0,Top Silk",
                       "-y4:01000000,01000000,8,Bottom Silk",
                       "-y5:01000000,01000000,1,Top Mask",
                       "-y6:01000000,01000000,9,Bottom Mask",
                       "-y7:00AA0000,01000000,2,Top Copper",
                       "-y8:000000AA,01000000,10,Bottom Copper",
                       "-y9:00FF5555,01000000,3,Vcc",
                       "-y10:005555FF,01000000,3,Gnd",
                       "-y11:005555FF,01000000,2,Mid Layer 1",
                       "-y12:0055FF55,01000000,2,Mid Layer 2",
                       "-y13:0055FFFF,01000000,2,Mid Layer 3",
                       "-y14:00FF5555,01000000,2,Mid Layer 4",
                       "-y15:0055FFFF,01000000,7,Keep Out",
                       "-y16:00FFFFFF,01000000,7,Top Assembly",
                       "-y17:00AAAAAA,01000000,7,Bottom Assembly",
                       "-y18:00FFFF55,01000000,7,Connections",
                       "-y19:00555555,01000000,7,Drill drawing",
                       "-y255:00FFFF00,01000000,7,Ratnest"});
  parseOptionsV3(ctx, {"-m-32000,-32000,32000,32000", "-gr3,25,1,5,25,100", "-gd100", "-gz0,0", "-gm3,2,3,1,0,1,0,1",
                       "-l10", "-p45v25", "-t48", "-hm3,2,3,1,0", "-nc9,13,8,12,24,11", "-dp10,5,0,25", "-dy", "-b",
                       "-bTHD.LIB", "-bSMD.LIB"});
}

Handle newComponent(Context& ctx, Handle ring, int32_t x, int32_t y, std::string_view params) {
  const Handle header = createItem(ctx.pool, ring, kComponent, 0, 0, x, y, x, y, kNull);
  if (header == kNull) return kNull;
  const Handle sentinel = newComponentRing(ctx, header, x, y, params.empty() ? std::string_view("*") : params);
  if (sentinel == kNull) deleteItem(ctx.pool, header);
  return sentinel;
}

namespace {

void setBounds(Context& ctx, Handle header) {
  const ItemBox box = ringBounds(ctx.pool, ctx.rec(header).ext);
  Record& hdr = ctx.rec(header);
  hdr.x1 = clamp32(box.x0);
  hdr.y1 = clamp32(box.y0);
  hdr.w3 = clamp32(box.x1);
  hdr.w4 = clamp32(box.y1);
}

}  // namespace

void finishComponents(Context& ctx, Handle ring) {
  std::vector<std::pair<std::string, Handle>> headers;  // each with its sort key, read once
  for (Handle h = ctx.rec(ring).next; h != ring;) {
    const Record& r = ctx.rec(h);
    if (r.type() != kComponent) {
      h = r.next;
    } else if (ringEmpty(ctx.pool, r.ext)) {
      h = freeItemDeeply(ctx, h);
    } else {
      setBounds(ctx, h);
      headers.emplace_back(componentSortKey(ctx, h), h);
      h = r.next;
    }
  }
  std::stable_sort(headers.begin(), headers.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  const Handle first = ctx.rec(ring).next;
  Handle position = first;
  for (const auto& [key, h] : headers) {
    if (h == position) {
      position = ctx.rec(h).next;
      continue;
    }
    moveItem(ctx.pool, h, position);
  }
}

}  // namespace trelmo::tango
