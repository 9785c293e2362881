// trelmo-cli picture: rectify, turn, mirror and move a picture in batch.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "cli/cli_runner.h"
#include "files/import/picture.h"
#include "image/png_file.h"

namespace fs = std::filesystem;

namespace trelmo::testing {
namespace {

class PictureCli : public CliFolder {
 protected:
  void SetUp() override {
    CliFolder::SetUp();
    original = makeImage(30, 20, 0, 100);
    original->setI32(40, 29 * 65536 / 100), original->setI32(44, 19 * 65536 / 100);
    for (uint32_t r = 0; r < 20; ++r)
      for (uint32_t k = 0; k < 30; ++k) original->row(r)[k] = static_cast<uint8_t>(7 * k + 3 * r);
    std::string why;
    ASSERT_TRUE(savePng(*original, (dir / "in.png").string(), why)) << why;
  }
  void write(const std::string& name, const std::string& text) { std::ofstream(dir / name) << text; }
  CliResult run(std::vector<std::string> args) {
    args.insert(args.begin(), "picture");
    return runCli(args, dir);
  }
  bool samePixels(const std::string& png) {
    auto img = loadPictureFile((dir / png).string());
    if (!img || img->width() != 30 || img->height() != 20) return false;
    for (uint32_t r = 0; r < 20; ++r)
      for (uint32_t k = 0; k < 30; ++k)
        if (img->row(r)[k] != original->row(r)[k]) return false;
    return true;
  }

  std::unique_ptr<PixelImage> original;
};

TEST_F(PictureCli, RectifiesFromAPairsFileAndTurnsAndMirrorsInOrder) {
  write("pairs.txt", "# a pure shift\n0 0 .5 .25\n.29 0 .79 .25\n\n0 .19 .5 .44\n.29 .19 .79 .44\n");
  CliResult r = run({"in.png", "-o", "out.png", "--rectify", "pairs.txt", "--model", "projective"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("residual: largest 0.00000 in, mean 0.00000 in (projective fit of 4 pairs)"), std::string::npos)
      << r.err;
  EXPECT_TRUE(samePixels("out.png"));

  r = run({"in.png", "-o", "turned.png", "--rotate", "90", "--rotate", "90", "--mirror", "x", "--mirror", "y"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(samePixels("turned.png")) << "a half turn undone by both mirrors";
  r = run({"in.png", "-o", "turned.png", "--rotate", "270"});
  auto img = loadPictureFile((dir / "turned.png").string());
  ASSERT_NE(img, nullptr);
  EXPECT_EQ(img->width(), 20u);

  // A design keeps the moved picture; the picture comes out of it again.
  r = run({"in.png", "-o", "board.pcb", "--move", "1,2"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(readWhole(dir / "board.pcb").find("Pixel image follows EOF"), std::string::npos);
  r = run({"board.pcb", "-o", "back.png"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(samePixels("back.png"));
}

TEST_F(PictureCli, BadPairsAndArgumentsAreRefusedWithTheReason) {
  write("bad.txt", "0 0 1 1\n0 0 1\n");
  CliResult r = run({"in.png", "-o", "out.png", "--rectify", "bad.txt"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("line 2: expected four numbers"), std::string::npos) << r.err;
  write("three.txt", "0 0 1 1\n1 0 2 1\n0 1 1 2\n");
  r = run({"in.png", "-o", "out.png", "--rectify", "three.txt"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("at least four point pairs"), std::string::npos) << r.err;
  write("huge.txt", "0 0 0 0\n.29 0 2900 0\n0 .19 0 1900\n.29 .19 2900 1900\n");
  r = run({"in.png", "-o", "out.png", "--rectify", "huge.txt"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("more than the 32768 x 32768 pixels"), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(dir / "out.png"));

  EXPECT_EQ(run({"in.png", "-o", "out.png", "--model", "affine"}).status, 2);
  EXPECT_EQ(run({"in.png", "-o", "out.png", "--rotate", "45"}).status, 2);
  EXPECT_EQ(run({"in.png", "--rotate", "90"}).status, 2);
  EXPECT_EQ(run({"in.png", "-o", "out.png", "--move", "1;2"}).status, 1);
  write("notes.txt", "just text\n");
  r = run({"notes.txt", "-o", "out.png"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("holds no picture"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace trelmo::testing
