// Shared set-up of the reader tests: a context with one empty design file,
// input from memory, and small accessors for what was read.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "context.h"
#include "database/chains.h"
#include "database/design_files.h"
#include "database/signals.h"
#include "files/reader_chain.h"

namespace trelmo::test {

struct RecordingHost : Host {
  std::vector<Sound> sounds;
  std::vector<std::string> boxes;  // "title: text"
  void sound(Sound s) override { sounds.push_back(s); }
  void messageBox(const std::string& title, const std::string& text) override { boxes.push_back(title + ": " + text); }
};

class ReaderTest : public ::testing::Test {
 protected:
  ReaderTest() : ctx(host) { file = newDesignFile(ctx, "test.pcb"); }

  char read(std::string_view data, char hint = kHintNone) {
    InputFile in;
    in.openMemory(data);
    return readerChain(ctx, in, hint);
  }
  // Items of a ring in order.
  std::vector<Handle> items(Handle ring) const {
    std::vector<Handle> out;
    for (Handle h = ctx.rec(ring).next; h != ring && out.size() < 100000; h = ctx.rec(h).next) out.push_back(h);
    return out;
  }
  std::vector<Handle> items() const { return items(ctx.current); }
  // Vertices of a filled solid as (x, y) pairs.
  std::vector<std::pair<int32_t, int32_t>> vertices(Handle solid) const {
    std::vector<std::pair<int32_t, int32_t>> out;
    for (Handle v = ctx.rec(solid).ext; v != kNull && ctx.pool.valid(v) && out.size() < 1000; v = ctx.rec(v).ext)
      out.emplace_back(ctx.rec(v).x1, ctx.rec(v).y1);
    return out;
  }
  const Record& rec(Handle h) const { return ctx.rec(h); }

  RecordingHost host;
  Context ctx;
  Handle file = kNull;
};

// 16.16 inches from thousandths.
constexpr int32_t mils(int64_t m) { return static_cast<int32_t>((m * 65536 + (m < 0 ? -500 : 500)) / 1000); }

}  // namespace trelmo::test
