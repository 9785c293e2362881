// A photograph moved under the drawing in the real editor: typed function
// codes, Enter to click and cursor keys to move, on an X server of its own.
#include <gtest/gtest.h>

#include <string>

#include "image/png_file.h"
#include "real_editor.h"

namespace trelmo::app::testing {
namespace {

TEST(RealPicture, MoveTheImageWithKeysShiftsThePicture) {
  const std::string why = realEditorUnavailable();
  if (!why.empty()) GTEST_SKIP() << why;
  XServer x;
  ASSERT_TRUE(x.running()) << "Xvfb did not start";
  QTemporaryDir home;
  auto img = makeImage(40, 30, 0, 100);
  img->setI32(40, 39 * 65536 / 100), img->setI32(44, 29 * 65536 / 100);
  std::string failure;
  const QString photo = home.filePath("photo.png");
  ASSERT_TRUE(savePng(*img, photo.toStdString(), failure)) << failure;

  RealEditor e(x, home);
  ASSERT_TRUE(e.start({photo}));
  ASSERT_TRUE(e.waitFor([](const State& s) { return s.at("title").find("photo.png") != std::string::npos; }));
  const std::string before = e.state()["picture"];
  EXPECT_EQ(before, "0,0,25559,19005");
  e.keys({"Return"});
  ASSERT_TRUE(e.waitValue("mode", "TRELMO"));
  e.keys({"s", "4"});
  ASSERT_TRUE(e.waitFor(
      [](const State& s) { return s.at("status").find("Select source reference point.") != std::string::npos; }));
  e.keys({"Return"});
  ASSERT_TRUE(e.waitFor(
      [](const State& s) { return s.at("status").find("Select target reference point.") != std::string::npos; }));
  e.keys({"Right", "Right", "Up"});
  e.keys({"Return"});
  ASSERT_TRUE(e.waitFor([&](const State& s) { return s.at("picture") != before; })) << e.state()["status"];
  const std::string after = e.state()["picture"];
  const long x0 = std::stol(after), y0 = std::stol(after.substr(after.find(',') + 1));
  EXPECT_GT(x0, 0) << after;
  EXPECT_GT(y0, 0) << after;
  EXPECT_EQ(x0, 2 * y0) << "two steps right, one up";
  EXPECT_TRUE(e.waitFor([](const State& s) { return s.at("title").ends_with(" *"); })) << "the file has changed";
}

}  // namespace
}  // namespace trelmo::app::testing
