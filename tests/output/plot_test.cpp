// The plot writers: plot order, window, HPGL, PCL and bitmap streams, the
// vector documents and what a cancelled plot leaves behind.
#include <gtest/gtest.h>

#include <cstdlib>

#include "golden.h"
#include "output/bmp_writer.h"
#include "output/pcl_writer.h"
#include "output/plot_scene.h"
#include "output_fixture.h"

namespace trelmo::testing {
namespace {

PlotSettings kind(PlotKind k, int dpi = 100) {
  PlotSettings s;
  s.kind = k;
  s.flags = kPrintScaleToPage | kPrintCentre;
  s.scaleFactor = k == PlotKind::Bmp ? bmpScaleFactor(dpi) : 65536;
  return s;
}

TEST_F(OutputTest, PlotOrderGivesASharedStackupNumberTheNextFreeOne) {
  Params& p = ctx.params;
  for (int l : {3, 6, 7}) std::snprintf(p.layers[l].name, sizeof p.layers[l].name, "L%d", l);
  p.layers[3].sequence = 5, p.layers[6].sequence = 6, p.layers[7].sequence = 5;
  p.layers[9].plotColor = kColorDisabled;
  std::snprintf(p.layers[9].name, sizeof p.layers[9].name, "Off");
  const std::vector<PlotSlot> order = plotOrderTable(p);
  ASSERT_EQ(order.size(), 3u);
  EXPECT_EQ(order[0].layer, 7);  // 5 and 6 taken: 7
  EXPECT_EQ(order[0].slot, 7);
  EXPECT_EQ(order[1].layer, 6);
  EXPECT_EQ(order[2].layer, 3);
}

TEST_F(OutputTest, AnEmptyPrintRectangleOrExtentsFlagPlotsTheWholeDesign) {
  open(dataPath("output/small.pcb"));
  int32_t w[4];
  ctx.params.printFlags = 0;
  ctx.params.printRect[0] = ctx.params.printRect[2] = kInch;  // Xmin equal to Xmax
  ctx.params.printRect[1] = 0, ctx.params.printRect[3] = kInch;
  ASSERT_TRUE(plotWindow(ctx, w));
  EXPECT_EQ(w[0], 0);
  EXPECT_NEAR(w[2], 1.8 * kInch, 2);
  ctx.params.printRect[2] = 2 * kInch;
  ASSERT_TRUE(plotWindow(ctx, w));
  EXPECT_EQ(w[0], kInch);
  ctx.params.printFlags = kPrintExtents;
  ASSERT_TRUE(plotWindow(ctx, w));
  EXPECT_EQ(w[0], 0);
}

TEST_F(OutputTest, HpglStreamOfTheSmallBoardMatchesItsGoldenFile) {
  open(dataPath("output/small.pcb"));
  PlotResult r;
  const std::string hpgl = plotToMemory(kind(PlotKind::Hpgl), &r);
  ASSERT_EQ(r, PlotResult::Done);
  expectGolden("small.hpg", hpgl);
  // The notes layer's plot colour is disabled: its text is in no output.
  EXPECT_EQ(hpgl.find("1500;"), std::string::npos);
  EXPECT_EQ(hpgl.substr(hpgl.size() - 8), "PU0,0;\r\n");
}

TEST_F(OutputTest, ADisabledLayerIsLeftOutOfTheBitmapToo) {
  open(dataPath("output/small.pcb"));
  const PlotScene scene = buildPlotScene(ctx, 0);
  for (const PlotLayer& l : scene.layers) EXPECT_NE(l.layer, 5);
  std::string bmp = plotToMemory(kind(PlotKind::Bmp, 50));
  ASSERT_GT(bmp.size(), 54u);
  // 24-bit rows, bottom up, 3 dots of margin: the NOTE text at y 1.5 to 1.55
  // inch would darken rows 75 to 78 from the bottom.
  const int width = static_cast<int>(static_cast<uint8_t>(bmp[18]) | static_cast<uint8_t>(bmp[19]) << 8);
  const size_t pitch = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
  for (int row = 3 + 75; row <= 3 + 77; ++row)
    for (int x = 3 + 10; x < 3 + 30; ++x) EXPECT_EQ(static_cast<uint8_t>(bmp[54 + row * pitch + 3 * x]), 255);
}

TEST(Pcl, APackedRowOf300BytesIsAnnouncedWithTheCount0300) {
  // 297 bytes that never repeat their neighbour pack into 300.
  const int width = 297 * 8;
  std::vector<uint8_t> row(static_cast<size_t>(bandPitch(width)), 255);
  for (int x = 0; x < width; ++x)
    if ((x / 8) % 2 == x % 2) row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = 0;
  MemorySink out;
  PclWriter pcl(out, 1, 300);
  ASSERT_TRUE(pcl.band(row.data(), bandPitch(width), width, {}, 1));
  EXPECT_EQ(out.bytes.substr(0, 8), "\x1B*b0300W");
  EXPECT_EQ(out.bytes.size(), 8u + 300u);
}

TEST(Pcl, ASmallJobMatchesItsGoldenFile) {
  // Two rows of 20 dots: a run of black, white, then a lone grey dot.
  const int width = 20, pitch = bandPitch(width);
  std::vector<uint8_t> band(static_cast<size_t>(pitch) * 2, 255);
  for (int x = 0; x < 12; ++x) band[3 * x] = band[3 * x + 1] = band[3 * x + 2] = 0;
  band[pitch + 3 * 17] = 0x80;
  MemorySink out;
  PclWriter mono(out, 1, 300);
  ASSERT_TRUE(mono.begin(150, 300) && mono.band(band.data(), pitch, width, {}, 2) && mono.end());
  MemorySink colour;
  PclWriter cmy(colour, 24, 150);
  ASSERT_TRUE(cmy.begin(150, 300) && cmy.band(band.data(), pitch, width, {}, 2) && cmy.end());
  expectGolden("small_job.pcl", out.bytes + colour.bytes);
  EXPECT_EQ(out.bytes.substr(0, 26), "\033E\033&l0O\033&l0E\033*p150X\033*p300Y");
  EXPECT_NE(colour.bytes.find("\x1B*r-3U\x1B*t150R\x1B*r1A\x1B*b2M"), std::string::npos);
  EXPECT_NE(colour.bytes.find("\x1B*v8S\x1B*b"), std::string::npos);
  EXPECT_EQ(out.bytes.substr(out.bytes.size() - 6), "\033*rB\033E");
}

TEST(Bmp, HeadersAtEveryDepthMatchTheirGoldenFile) {
  std::string all;
  for (int depth : {1, 2, 3, 4, 6, 8, 24, 5}) {
    const std::vector<uint8_t> h = bmpHeader(10, 7, depth, 300);
    char line[16];
    std::snprintf(line, sizeof line, "%d:", depth);
    all += line;
    for (uint8_t b : h) {
      std::snprintf(line, sizeof line, " %02X", b);
      all += line;
    }
    all += "\n";
    const uint32_t offset = h[10] | h[11] << 8;
    EXPECT_EQ(offset, h.size());
    EXPECT_EQ(h[28], bmpBitsPerPixel(depth));
  }
  expectGolden("bmp_headers.txt", all);
}

TEST_F(OutputTest, BitmapFilesHoldTheirRowsAtEveryDepth) {
  open(dataPath("output/small.pcb"));
  for (int depth : {1, 2, 3, 4, 6, 8, 24}) {
    PlotSettings s = kind(PlotKind::Bmp, 40);
    s.depth = depth;
    const std::string bmp = plotToMemory(s);
    ASSERT_GT(bmp.size(), 54u);
    auto u32 = [&](size_t at) {
      return static_cast<uint32_t>(static_cast<uint8_t>(bmp[at]) | static_cast<uint8_t>(bmp[at + 1]) << 8 |
                                   static_cast<uint8_t>(bmp[at + 2]) << 16 | static_cast<uint8_t>(bmp[at + 3]) << 24);
    };
    const uint32_t width = u32(18), height = u32(22), bits = bmp[28];
    EXPECT_EQ(u32(2), bmp.size()) << depth;
    EXPECT_EQ(u32(10) + ((width * bits + 31) / 32) * 4 * height, bmp.size()) << depth;
    EXPECT_NEAR(width, 1 + 6 + 72, 1) << depth;  // 1.8 inch at 40 dpi and the margins
  }
}

TEST_F(OutputTest, VectorDocumentsOpenInARealViewer) {
  open(dataPath("output/small.pcb"));
  const auto dir = scratchFolder("viewer");
  for (PlotKind k : {PlotKind::Pdf, PlotKind::Ps}) {
    const bool pdf = k == PlotKind::Pdf;
    const std::string doc = (dir / (pdf ? "small.pdf" : "small.ps")).string();
    std::ofstream(doc, std::ios::binary) << plotToMemory(kind(k));
    const std::string png = (dir / (pdf ? "pdf" : "ps")).string();
    const std::string cmd = pdf ? "pdftoppm -r 30 -png -singlefile '" + doc + "' '" + png + "' 2>/dev/null"
                                : "gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=png16m -r30 -sOutputFile='" + png +
                                      ".png' '" + doc + "' 2>/dev/null";
    if (std::system(pdf ? "command -v pdftoppm >/dev/null" : "command -v gs >/dev/null") != 0)
      GTEST_SKIP() << "pdftoppm (poppler-utils) or gs (ghostscript) is not installed";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    EXPECT_GT(std::filesystem::file_size(png + ".png"), 500u);
  }
  std::filesystem::remove_all(dir);
}

TEST_F(OutputTest, ACancelledPlotToAFileLeavesNoFile) {
  open(dataPath("output/small.pcb"));
  const auto dir = scratchFolder("cancel");
  for (PlotKind k : {PlotKind::Bmp, PlotKind::Hpgl, PlotKind::Pdf}) {
    PlotJob job;
    ASSERT_TRUE(preparePlot(ctx, kind(k, 600), job));
    auto sink = std::make_unique<FileSink>((dir / "out").string());
    ASSERT_TRUE(sink->open());
    job.sink = std::move(sink);
    PlotControl control;
    control.cancel = true;
    EXPECT_EQ(runPlotJob(job, control), PlotResult::Cancelled);
    job.sink.reset();
    EXPECT_TRUE(std::filesystem::is_empty(dir)) << static_cast<int>(k);
  }
  std::filesystem::remove_all(dir);
}

TEST(PlotFiles, AFileThatCannotBeMadeSaysWhy) {
  FileSink sink("/nonexistent-folder-of-trelmo/out.bmp");
  EXPECT_FALSE(sink.open());
  EXPECT_EQ(sink.error, "No such file or directory");
}

}  // namespace
}  // namespace trelmo::testing
