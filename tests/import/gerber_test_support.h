// A design file to import into, a host with scripted dialog answers, and
// helpers to look at what a reader produced.
#pragma once
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "context.h"
#include "database/design_files.h"
#include "database/options.h"
#include "files/import/import_readers.h"
#include "files/input_file.h"

namespace trelmo::testing {

class ScriptedHost : public Host {
 public:
  std::function<bool(DialogBox&)> answer = [](DialogBox&) { return true; };
  std::vector<std::string> boxes;     // names of the boxes shown, in order
  std::vector<std::string> messages;  // message boxes as "title: text"
  void messageBox(const std::string& title, const std::string& text) override {
    messages.push_back(title + ": " + text);
  }
  bool runDialog(DialogBox& box) override {
    boxes.push_back(box.name);
    return answer(box);
  }
};

struct ImportBench {
  ScriptedHost host;
  Context ctx{host};
  ImportBench() {
    newDesignFile(ctx, "bench.pcb");
    parseOptionsV4(ctx, {"-y1", "-gz0,0"});
  }
  char gerber(std::string_view text, char hint = 0) { return run(readGerber, text, hint); }
  char excellon(std::string_view text, char hint = 0) { return run(readExcellon, text, hint); }
  std::vector<Record> items(int type = -1) const {
    std::vector<Record> out;
    for (Handle h = ctx.rec(ctx.current).next; h != ctx.current; h = ctx.rec(h).next)
      if (type < 0 || ctx.rec(h).type() == type) out.push_back(ctx.rec(h));
    return out;
  }
  // The same inside components too (in ring order, each component's items
  // where its header is).
  std::vector<Record> allItems(int type = -1) const {
    std::vector<Record> out;
    collect(ctx.current, type, out, 0);
    return out;
  }

 private:
  void collect(Handle ring, int type, std::vector<Record>& out, int depth) const {
    for (Handle h = ctx.rec(ring).next; h != ring; h = ctx.rec(h).next) {
      const Record& r = ctx.rec(h);
      if (r.type() == kComponent && depth < 8)
        collect(r.ext, type, out, depth + 1);
      else if (type < 0 || r.type() == type)
        out.push_back(r);
    }
  }
  char run(char (*reader)(Context&, InputFile&, char), std::string_view text, char hint) {
    InputFile in;
    in.openMemory(text);
    return reader(ctx, in, hint);
  }
};

// Extent of the items in inches.
struct Extent {
  double minX = 1e9, minY = 1e9, maxX = -1e9, maxY = -1e9;
  double width() const { return maxX - minX; }
  double height() const { return maxY - minY; }
};
inline Extent extentOf(const std::vector<Record>& items) {
  Extent e;
  auto add = [&](int32_t x, int32_t y) {
    double dx = x / 65536.0, dy = y / 65536.0;
    e.minX = std::min(e.minX, dx), e.maxX = std::max(e.maxX, dx);
    e.minY = std::min(e.minY, dy), e.maxY = std::max(e.maxY, dy);
  };
  for (const Record& r : items) {
    add(r.x1, r.y1);
    if (r.type() == kLine) add(r.w3, r.w4);
  }
  return e;
}

inline std::string corpusPath(const std::string& name) { return std::string(TRELMO_SHARED_DIR) + "/corpus/" + name; }

}  // namespace trelmo::testing
