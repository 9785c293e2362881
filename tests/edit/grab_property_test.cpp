// Random sequences of grabs, moves, transforms and drops on the example board
// and on a generated one: Un-Do All must give back the design saved before a
// sequence byte for byte, and Re-Do All the design saved after it.
//
// The short run is part of `make check`. For the long run set
//   TRELMO_GRAB_SEQUENCES=10000 (sequences per board)
// and, to repeat a failure, TRELMO_GRAB_SEED to the seed it reported.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <vector>

#include "edit_fixture.h"

namespace trelmo::testing {
namespace {

uint64_t envNumber(const char* name, uint64_t fallback) {
  const char* v = std::getenv(name);
  return v && *v ? std::strtoull(v, nullptr, 10) : fallback;
}

// A board of random lines (some joined end to end), pads, arcs, text, filled
// solids and components, written beside the example's header.
std::string generatedBoard(const TempDir& dir, uint64_t seed) {
  std::ifstream in(std::string(TRELMO_EXAMPLES_DIR) + "/demo.pcb", std::ios::binary);
  std::stringstream all;
  all << in.rdbuf();
  std::string text = all.str();
  text = text.substr(0, text.find("6 1 0 2.75"));
  std::mt19937_64 rng(seed);
  auto coord = [&] {
    std::ostringstream s;
    s << static_cast<double>(rng() % 4000) / 1000;
    return s.str();
  };
  std::ostringstream out;
  for (int c = 0; c < 3; ++c) {
    const std::string x = coord(), y = coord();
    out << "6 1 0 " << x << " " << y << " " << x << " " << y << " DIP2U" << c << "X\r\n";
    out << "4 1 .04 " << x << " " << y << " .1 0 " << c * 5 << " 0 U" << c << "\r\n";
    out << "3 0 1 " << x << " " << y << " .06 .06 .032 0 1 N" << c << "\r\n";
    out << "3 3 6 " << coord() << " " << coord() << " .05 .08 0 90 2\r\n";
    out << "1 1 .01 " << coord() << " " << coord() << " " << coord() << " " << coord() << "\r\n";
    out << "2 1 .01 " << coord() << " " << coord() << " .05 45 90 0 0\r\n";
    out << "0 6 0 " << x << " " << y << "\r\n";
  }
  std::string lastX = coord(), lastY = coord();
  for (int i = 0; i < 40; ++i) {
    const std::string x = coord(), y = coord();
    const bool joined = rng() % 2;
    out << "1 " << (rng() % 2 ? 3 : 12) << " .012 " << (joined ? lastX : coord()) << " " << (joined ? lastY : coord())
        << " " << x << " " << y << "\r\n";
    lastX = x, lastY = y;
  }
  for (int i = 0; i < 12; ++i)
    out << "3 " << (rng() % 2 ? 0 : 3) << " " << rng() % 8 << " " << coord() << " " << coord() << " .06 .04 .02 "
        << (rng() % 4) * 45 << " 0\r\n";
  for (int i = 0; i < 8; ++i)
    out << "2 " << (rng() % 2 ? 3 : 1) << " .01 " << coord() << " " << coord() << " .1 " << (rng() % 8) * 45 << " "
        << (rng() % 4) * 90 << " 0 0\r\n";
  for (int i = 0; i < 8; ++i)
    out << "4 1 .05 " << coord() << " " << coord() << " .3 " << (rng() % 4) * 90 << " " << rng() % 16 << " 0 T" << i
        << "\r\n";
  for (int i = 0; i < 2; ++i) {
    out << "1 12 0 0 0 1 1\r\n";
    for (int v = 0; v < 4; ++v) out << "1 12 0 " << coord() << " " << coord() << "\r\n";
  }
  text += out.str() + "\r\nEND OF FILE\r\n";
  const std::string path = dir.file("generated.pcb");
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

struct Target {
  uint16_t code;
  int32_t x, y;
};

// Somewhere to grab: a point of a random item and the function that takes it.
Target randomTarget(EditBoard& b, std::mt19937_64& rng) {
  std::vector<Target> all;
  const Handle file = b.ctx.current;
  for (Handle h = b.ctx.rec(file).next; h != file; h = b.ctx.rec(h).next) {
    const Record& r = b.ctx.rec(h);
    switch (r.type()) {
      case kLine:
        if (item::isSolid(r)) {
          all.push_back({fc('G', 'F'), r.x1 + (r.w3 - r.x1) / 2, r.y1 + (r.w4 - r.y1) / 2});
        } else {
          const uint16_t codes[] = {fc('G', 'L'), fc('G', 'E'), fc('G', 'I')};
          all.push_back({codes[rng() % 3], r.x1 + (r.w3 - r.x1) / 3, r.y1 + (r.w4 - r.y1) / 3});
          all.push_back({fc('G', 'E'), r.w3, r.w4});
        }
        break;
      case kArc: {
        const uint16_t codes[] = {fc('G', 'A'), fc('G', 'G'), fc('G', 'D')};
        const int32_t rad = std::abs(item::radius(r));
        all.push_back({codes[rng() % 3], r.x1 + rad, r.y1});
        all.push_back({codes[rng() % 3], r.x1, r.y1 + rad});
        break;
      }
      case kPad:
        all.push_back({rng() % 4 ? fc('G', 'P') : fc('G', 'I'), r.x1, r.y1});
        break;
      case kText:
        all.push_back({fc('G', 'T'), r.x1, r.y1});
        break;
      case kComponent:
        all.push_back({rng() % 2 ? fc('G', 'C') : fc('G', 'O'), r.x1 + (r.w3 - r.x1) / 2, r.y1 + (r.w4 - r.y1) / 2});
        break;
      default:
        break;
    }
  }
  if (all.empty()) return {fc('G', 'L'), 0, 0};
  return all[rng() % all.size()];
}

// One sequence of actions ending with the grab list dropped.
void randomSequence(EditBoard& b, std::mt19937_64& rng) {
  const int steps = 1 + static_cast<int>(rng() % 8);
  for (int s = 0; s < steps; ++s) {
    switch (rng() % 10) {
      case 0:
      case 1:
      case 2: {
        const Target t = randomTarget(b, rng);
        b.ctx.params.currentLayer = rng() % 3 ? 0 : (rng() % 2 ? 3 : 12);
        b.ctx.view.cursorX = t.x, b.ctx.view.cursorY = t.y;
        b.ctx.shell.hooks.cursorMoved(b.ctx);
        executeFunction(b.ctx, t.code, static_cast<int>(rng() % 3));
        break;
      }
      case 3:
      case 4:
        b.ctx.view.cursorX += static_cast<int32_t>(rng() % 131072) - 65536;
        b.ctx.view.cursorY += static_cast<int32_t>(rng() % 131072) - 65536;
        b.ctx.shell.hooks.cursorMoved(b.ctx);
        break;
      case 5: {
        const char members[] = {'R', 'X', 'Y', 'M', 'N', 'S'};
        const char m = members[rng() % 6];
        const uint64_t pick = rng();
        b.host.dialog = [pick](DialogBox& box) {
          if (DialogField* f = box.field("angle")) f->value = std::to_string(static_cast<int>(pick % 360));
          if (DialogField* f = box.field("factor")) f->value = pick % 2 ? "2.0" : "0.5";
          return true;
        };
        b.run('G', m);
        break;
      }
      case 6:
        if (rng() % 4 == 0) releaseGrabList(b.ctx);
        break;
      default:
        dropGrabList(b.ctx);
        break;
    }
  }
  dropGrabList(b.ctx);
}

bool anyHidden(const Context& ctx, Handle ring) {
  for (Handle h = ctx.rec(ring).next; h != ring; h = ctx.rec(h).next) {
    const Record& r = ctx.rec(h);
    if (r.type() != kSentinel && r.hidden()) return true;
    if (r.type() == kComponent && anyHidden(ctx, r.ext)) return true;
  }
  return false;
}

// Returns how many sequences changed the design.
uint64_t runSequences(EditBoard& b, uint64_t seed, uint64_t count) {
  std::mt19937_64 rng(seed);
  uint64_t changed = 0;
  b.host.answers.clear();
  for (uint64_t i = 0; i < count; ++i) {
    purgeUndoStack(b.ctx, b.ctx.current);
    purgeRedoStack(b.ctx, b.ctx.current);
    // The active layer and line width are settings, not design changes.
    const Params keep = b.ctx.params;
    const std::string before = b.text();
    randomSequence(b, rng);
    const uint16_t layer = b.ctx.params.currentLayer, width = b.ctx.params.lineWidth;
    b.ctx.params.currentLayer = keep.currentLayer, b.ctx.params.lineWidth = keep.lineWidth;
    const std::string after = b.text();
    undoAll(b.ctx);
    const std::string undone = b.text();
    redoAll(b.ctx);
    const std::string redone = b.text();
    b.ctx.params.currentLayer = layer, b.ctx.params.lineWidth = width;
    changed += after != before;
    const bool ok = undone == before && redone == after && !anyHidden(b.ctx, b.ctx.current);
    EXPECT_EQ(undone, before);
    EXPECT_EQ(redone, after);
    if (!ok) {
      ADD_FAILURE() << "seed " << seed << ", sequence " << i << " (TRELMO_GRAB_SEED=" << seed << ")";
      return changed;
    }
  }
  return changed;
}

TEST(GrabProperty, UndoAllAndRedoAllGiveTheSavesBeforeAndAfterEverySequence) {
  const uint64_t seed = envNumber("TRELMO_GRAB_SEED", 20261207);
  const uint64_t count = envNumber("TRELMO_GRAB_SEQUENCES", 150);
  std::cerr << "grab property: seed " << seed << ", " << count << " sequences per board\n";
  {
    EditBoard b;
    const uint64_t changed = runSequences(b, seed, count);
    std::cerr << "example board: " << changed << " sequences changed the design\n";
    EXPECT_GT(changed, count / 5);
  }
  {
    EditBoard b("");
    ASSERT_TRUE(openFileByName(b.ctx, generatedBoard(b.dir, seed), 0));
    const uint64_t changed = runSequences(b, seed + 1, count);
    std::cerr << "generated board: " << changed << " sequences changed the design\n";
    EXPECT_GT(changed, count / 5);
  }
}

}  // namespace
}  // namespace trelmo::testing
