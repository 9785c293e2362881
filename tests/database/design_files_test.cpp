#include "database/design_files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include "context.h"
#include "database/chains.h"
#include "database/rings.h"
#include "database/signals.h"
#include "database/walk.h"
#include "files/switch_file.h"

namespace trelmo {
namespace {

class DesignFiles : public ::testing::Test {
 protected:
  uint32_t addPicture() { return ctx.images.add(std::make_unique<PixelImage>()); }
  Handle component(Handle ring) {
    const Handle header = createItem(ctx.pool, ring, kComponent, 1, 0, 0, 0, 0, 0, kNull);
    const Handle s = newRing(ctx.pool, kComponentRing);
    ctx.pool[header].ext = s;
    ctx.pool[s].w4 = static_cast<int32_t>(header);
    return header;
  }
  // One item of each kind that owns something, a component with a nested one.
  void fill(Handle file) {
    const Handle line = createItem(ctx.pool, file, kLine, 1, 10, 0, 0, 5, 5, kNull);
    ASSERT_TRUE(attachSignal(ctx, line, "GND"));
    const Handle solid = createItem(ctx.pool, file, kLine, 1, 0, 0, 0, 0, 0, kNull);
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(appendVertex(ctx, solid, i, i * i));
    const Handle text = createItem(ctx.pool, file, kText, 1, 10, 0, 0, 0, 0, kNull);
    ASSERT_TRUE(storeText(ctx, text, std::string(90, 't')));
    const Handle c = component(file);
    ASSERT_TRUE(storeText(ctx, ctx.pool[c].ext, "U1\17774HC00\177DIP14"));
    const Handle pad = createItem(ctx.pool, ctx.pool[c].ext, kPad, 1, 1, 0, 0, 0, 0, kNull);
    ASSERT_TRUE(storePin(ctx, pad, "VCC"));
    ASSERT_TRUE(attachSignal(ctx, pad, "gnd"));
    const Handle inner = component(ctx.pool[c].ext);
    createItem(ctx.pool, ctx.pool[inner].ext, kArc, 1, 10, 0, 0, -5, 0, kNull);
  }
  Context ctx;
};

TEST_F(DesignFiles, NewFileJoinsTheRingAndBecomesCurrent) {
  const Handle a = newDesignFile(ctx, "/home/u/Board.pcb");
  ASSERT_NE(a, kNull);
  EXPECT_EQ(ctx.current, a);
  EXPECT_EQ(ctx.pool[a].layer, kFileRing);
  const Handle header = fileHeader(ctx, a);
  ASSERT_NE(header, kNull);
  EXPECT_EQ(ctx.pool[ctx.rings[kOpenFiles]].next, header);
  EXPECT_EQ(filePath(ctx, a), "/home/u/Board.pcb");
  EXPECT_EQ(findOpenFile(ctx, "/HOME/U/board.PCB"), a);

  // The same path in another case is refused and nothing is added.
  const size_t freeBefore = ctx.pool.freeCount();
  EXPECT_EQ(newDesignFile(ctx, "/HOME/U/BOARD.pcb"), kNull);
  EXPECT_EQ(ctx.pool.freeCount(), freeBefore);
  EXPECT_EQ(openFileCount(ctx), 1);
  EXPECT_EQ(ctx.current, a);

  const Handle b = newDesignFile(ctx, "");
  ASSERT_NE(b, kNull);
  EXPECT_EQ(filePath(ctx, b), kDefaultFileName);
  EXPECT_EQ(openFileCount(ctx), 2);
  EXPECT_EQ(ctx.pool[header].next, fileHeader(ctx, b));
}

TEST_F(DesignFiles, NewFileStartsWithoutPicturesOrFormat) {
  ctx.params.imageCurrent = addPicture();
  ctx.params.format = 'G';
  const Handle a = newDesignFile(ctx, "a.pcb");
  // Pictures in the block with no file open belong to nobody.
  EXPECT_EQ(ctx.images.size(), 0u);
  EXPECT_EQ(ctx.params.imageCurrent, 0u);
  EXPECT_EQ(ctx.params.format, 0);

  const uint32_t picA = addPicture();
  ctx.params.imageCurrent = picA;
  ctx.params.format = 'C';
  const Handle b = newDesignFile(ctx, "b.pcb");
  EXPECT_EQ(ctx.params.imageCurrent, 0u);
  EXPECT_EQ(ctx.params.format, 0);
  // The first file keeps its picture.
  ASSERT_NE(ctx.images.get(picA), nullptr);
  ASSERT_TRUE(switchToFile(ctx, a));
  EXPECT_EQ(ctx.params.imageCurrent, picA);
  EXPECT_EQ(ctx.params.format, 'C');
  ASSERT_TRUE(switchToFile(ctx, b));
  EXPECT_EQ(ctx.params.imageCurrent, 0u);
}

TEST_F(DesignFiles, SwitchingWalksTheRingAndKeepsEachFilesParameters) {
  EXPECT_FALSE(switchFile(ctx, 1));
  Handle files[3];
  files[0] = newDesignFile(ctx, "0.pcb");
  EXPECT_FALSE(switchFile(ctx, 1));  // no other file
  ctx.params.lineWidth = 100;
  files[1] = newDesignFile(ctx, "1.pcb");
  ctx.params.lineWidth = 101;
  files[2] = newDesignFile(ctx, "2.pcb");
  ctx.params.lineWidth = 102;

  ASSERT_TRUE(switchFile(ctx, 1));  // past the ring's sentinel to the first
  EXPECT_EQ(ctx.current, files[0]);
  EXPECT_EQ(ctx.params.lineWidth, 100);
  ASSERT_TRUE(switchFile(ctx, -1));
  EXPECT_EQ(ctx.current, files[2]);
  EXPECT_EQ(ctx.params.lineWidth, 102);
  ASSERT_TRUE(switchFile(ctx, -2));
  EXPECT_EQ(ctx.current, files[0]);
  ASSERT_TRUE(switchFile(ctx, 4));
  EXPECT_EQ(ctx.current, files[1]);
  EXPECT_EQ(ctx.params.lineWidth, 101);
  EXPECT_FALSE(switchToFile(ctx, ctx.rings[kGrabList]));
  // Closing the current file makes the next one current, wrapping round.
  closeDesignFile(ctx, files[1]);
  EXPECT_EQ(ctx.current, files[2]);
  EXPECT_EQ(ctx.params.lineWidth, 102);
  closeDesignFile(ctx, files[2]);
  EXPECT_EQ(ctx.current, files[0]);
  EXPECT_EQ(ctx.params.lineWidth, 100);
}

TEST_F(DesignFiles, SwitchingAutosavesAModifiedFile) {
  const auto dir = std::filesystem::temp_directory_path() / ("trelmo_db_autosave_" + std::to_string(::getpid()));
  std::filesystem::remove_all(dir);
  ctx.paths.data = dir.string();
  ctx.autosaveEnabled = true;
  const Handle a = newDesignFile(ctx, "/nowhere/first.pcb");
  newDesignFile(ctx, "/nowhere/second.pcb");
  ASSERT_TRUE(switchToFile(ctx, a));
  ctx.pool[a].size |= kFileModified;
  ASSERT_TRUE(switchFile(ctx, 1));
  EXPECT_FALSE(fileModified(ctx.pool[a]));
  EXPECT_TRUE(std::filesystem::exists(dir / "Autosave" / "first.pcb"));
  std::filesystem::remove_all(dir);
}

TEST_F(DesignFiles, ClosingFreesEverythingTheFileOwned) {
  // Signal records stay in the table: create them before counting.
  const Handle scratch = createItem(ctx.pool, ctx.rings[kWorkRing1]);
  ASSERT_TRUE(attachSignal(ctx, scratch, "GND"));
  const Handle gnd = ctx.pool[scratch].ext;
  const size_t baseline = ctx.pool.freeCount();

  const Handle a = newDesignFile(ctx, "a.pcb");
  fill(a);
  ctx.params.lineWidth = 11;
  ctx.params.imageCurrent = addPicture();
  const Handle b = newDesignFile(ctx, "b.pcb");
  fill(b);
  ctx.params.lineWidth = 22;
  ctx.params.imageAlternate = addPicture();
  EXPECT_EQ(signalRefs(ctx, gnd), 5u);

  // Closing the file that is not current keeps the current one as it was.
  closeDesignFile(ctx, a);
  EXPECT_EQ(ctx.current, b);
  EXPECT_EQ(ctx.params.lineWidth, 22);
  EXPECT_EQ(openFileCount(ctx), 1);
  EXPECT_EQ(ctx.images.size(), 1u);
  EXPECT_EQ(signalRefs(ctx, gnd), 3u);

  closeDesignFile(ctx, b);
  EXPECT_EQ(ctx.current, kNull);
  EXPECT_EQ(openFileCount(ctx), 0);
  EXPECT_EQ(ctx.images.size(), 0u);
  EXPECT_EQ(signalRefs(ctx, gnd), 1u);
  EXPECT_EQ(ctx.pool.freeCount(), baseline);
  EXPECT_TRUE(ringEmpty(ctx.pool, ctx.rings[kOpenFiles]));
}

TEST_F(DesignFiles, FreeingDeeply) {
  const Handle scratch = createItem(ctx.pool, ctx.rings[kWorkRing1]);
  ASSERT_TRUE(attachSignal(ctx, scratch, "GND"));
  const size_t baseline = ctx.pool.freeCount();
  const Handle ring = newRing(ctx.pool, kFileRing);
  fill(ring);
  // One component: its header, sentinel, parameter text and nested items go.
  const Handle c = ctx.pool[ring].prev, before = ctx.pool[c].prev;
  const Handle after = createItem(ctx.pool, ring, kText, 1, 10, 0, 0, 0, 0, kNull);
  const size_t freeBefore = ctx.pool.freeCount();
  EXPECT_EQ(freeItemDeeply(ctx, c), after);
  EXPECT_EQ(ctx.pool.freeCount(), freeBefore + 10);
  EXPECT_EQ(ctx.pool[after].prev, before);
  EXPECT_EQ(ctx.pool[before].next, after);
  // A sentinel keeps itself and loses its ring.
  EXPECT_EQ(freeItemDeeply(ctx, ring), ring);
  EXPECT_TRUE(ringEmpty(ctx.pool, ring));
  ctx.pool.release(ring);
  EXPECT_EQ(ctx.pool.freeCount(), baseline);
  EXPECT_EQ(signalRefs(ctx, ctx.pool[scratch].ext), 1u);
}

TEST_F(DesignFiles, VeryDeepNestingIsWalkedAndFreedWithoutRecursion) {
  const size_t baseline = ctx.pool.freeCount();
  const int blocksBefore = ctx.pool.blockCount();
  const Handle ring = newRing(ctx.pool, kFileRing);
  Handle where = ring;
  for (int i = 0; i < 200000; ++i) where = ctx.pool[component(where)].ext;
  const Handle deepest = createItem(ctx.pool, where, kLine, 1, 10, 0, 0, 0, 0, kNull);
  Handle cursor = ring;
  EXPECT_EQ(anyItem(ctx.pool, cursor), 1);
  EXPECT_EQ(cursor, deepest);
  EXPECT_EQ(anyItem(ctx.pool, cursor), 0);
  EXPECT_EQ(cursor, ring);
  freeItemDeeply(ctx, ring);
  ctx.pool.release(ring);
  const size_t carved = size_t(ctx.pool.blockCount() - blocksBefore) * RecordPool::kRecordsPerBlock;
  EXPECT_EQ(ctx.pool.freeCount(), baseline + carved);
}

}  // namespace
}  // namespace trelmo
