#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "screen/png_file.h"

namespace trelmo::test {
namespace {

int run(const std::string& args) {
  std::string cmd = std::string(TRELMO_CLI) + " " + args + " 2>/dev/null";
  int status = std::system(cmd.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Width and height from a PNG's header; false when it is not a PNG.
bool pngSize(const std::string& path, uint32_t& w, uint32_t& h) {
  std::vector<uint8_t> d;
  if (!readFile(path, d) || d.size() < 24 || d[1] != 'P' || d[2] != 'N' || d[3] != 'G') return false;
  auto be = [&](size_t i) {
    return (uint32_t(d[i]) << 24) | (uint32_t(d[i + 1]) << 16) | (uint32_t(d[i + 2]) << 8) | d[i + 3];
  };
  w = be(16), h = be(20);
  return true;
}

TEST(CliRender, WritesAPictureOfTheRequestedSizeAtEveryDepth) {
  std::string in = std::string(TRELMO_EXAMPLES_DIR) + "/demo.pcb";
  std::string out = ::testing::TempDir() + "/render_demo_" + std::to_string(::getpid()) + ".png";
  for (const char* bpp : {"8", "16", "24", "32"}) {
    std::remove(out.c_str());
    ASSERT_EQ(run("render " + in + " -o " + out + " --size 320x200 --bpp " + bpp), 0) << bpp;
    uint32_t w = 0, h = 0;
    ASSERT_TRUE(pngSize(out, w, h));
    EXPECT_EQ(w, 320u);
    EXPECT_EQ(h, 200u);
  }
  EXPECT_EQ(run("render " + in + " -o " + out + " --window 0,0,1.5,1 --layer 3"), 0);
  uint32_t w = 0, h = 0;
  ASSERT_TRUE(pngSize(out, w, h));
  EXPECT_EQ(w, 1024u);
  EXPECT_EQ(h, 768u);
}

TEST(CliRender, RefusesBadArgumentsAndMissingFiles) {
  std::string in = std::string(TRELMO_EXAMPLES_DIR) + "/demo.pcb";
  std::string out = ::testing::TempDir() + "/render_bad_" + std::to_string(::getpid()) + ".png";
  EXPECT_EQ(run("render " + in), 2);  // no output
  EXPECT_EQ(run("render " + in + " -o " + out + " --bpp 12"), 2);
  EXPECT_EQ(run("render " + in + " -o " + out + " --size 0x10"), 2);
  EXPECT_EQ(run("render " + in + " -o " + out + " --size 99999x99999"), 2);
  EXPECT_EQ(run("render " + in + " -o " + out + " --window 1,2,3"), 2);
  EXPECT_EQ(run("render " + in + " -o " + out + " --layer 300"), 2);
  EXPECT_EQ(run("render /nonexistent/board.pcb -o " + out), 1);
  EXPECT_EQ(run("render " + in + " -o /nonexistent/dir/out.png"), 1);
}

}  // namespace
}  // namespace trelmo::test
