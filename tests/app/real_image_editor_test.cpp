// The image editor in the real editor: QI opens its window over a board with
// a picture, a click on a mode and a click on the cursor's pixel in the
// magnified grid change the picture, and the drawing keeps the keyboard.
#include <gtest/gtest.h>

#include <QStringList>
#include <string>

#include "context.h"
#include "files/writer.h"
#include "image/pixel_image.h"
#include "real_editor.h"
#include "shell/file_functions.h"
#include "shell/messages.h"

namespace trelmo::app::testing {
namespace {

std::string windows(const State& s) { return s.count("windows") ? s.at("windows") : std::string(); }

// "NAME=x,y,w,h;" from the window's list of places, as the centre point.
bool placeOf(const std::string& text, const std::string& name, int& x, int& y) {
  const size_t at = text.find(" " + name + "=");
  if (at == std::string::npos) return false;
  int l = 0, t = 0, w = 0, h = 0;
  if (std::sscanf(text.c_str() + at + name.size() + 2, "%d,%d,%d,%d", &l, &t, &w, &h) != 4) return false;
  x = l + w / 2;
  y = t + h / 2;
  return true;
}

std::string windowId(const std::string& text) {
  const size_t at = text.find("window=");
  return at == std::string::npos ? std::string() : text.substr(at + 7, text.find(';', at) - at - 7);
}

// The example board with a 40 x 40 grey picture of value 50 at 100 dpi from (0, 0).
QString boardWithPicture(const QTemporaryDir& home) {
  const QString path = copyOfDemoBoard(home);
  Context ctx;
  loadMessageTable(ctx);
  if (!openFileByName(ctx, path.toStdString(), 0)) return {};
  auto img = makeImage(40, 40, 0, 100);
  img->setI32(40, 39 * 65536 / 100), img->setI32(44, 39 * 65536 / 100);
  for (uint32_t r = 0; r < 40; ++r) std::fill(img->row(r), img->row(r) + 40, 50);
  setCurrentImage(ctx, std::move(img));
  return writeDesignFile(ctx, path.toStdString(), 'C') ? path : QString();
}

TEST(RealImageEditor, ClickInTheGridSetsTheCursorPixel) {
  const std::string why = realEditorUnavailable();
  if (!why.empty()) GTEST_SKIP() << why;
  XServer x;
  ASSERT_TRUE(x.running()) << "Xvfb did not start";
  QTemporaryDir home;
  const QString board = boardWithPicture(home);
  ASSERT_FALSE(board.isEmpty());
  RealEditor e(x, home);
  ASSERT_TRUE(e.start({board}));
  e.keys({"Return"});
  ASSERT_TRUE(e.waitValue("mode", "TRELMO"));
  e.keys({"0", "period", "0", "5", "comma", "0", "period", "0", "5", "Return"});
  e.keys({"q", "i"});
  ASSERT_TRUE(e.waitFor([](const State& s) {
    return windows(s).find("pixel=5, 34;") != std::string::npos && windows(s).find("mode1=") != std::string::npos;
  })) << windows(e.state())
      << " cursor " << e.state()["cursor"];
  // Back to WINDOWS mode (the cursor stays): the pointer is free to go to
  // the window.
  e.keys({"space"});
  ASSERT_TRUE(e.waitValue("mode", "WINDOWS"));
  const std::string text = windows(e.state());
  const QString id = QString::fromStdString(windowId(text));
  int mx = 0, my = 0, gx = 0, gy = 0;
  ASSERT_TRUE(placeOf(text, "mode1", mx, my)) << text;
  ASSERT_TRUE(placeOf(text, "pixelGrid", gx, gy)) << text;

  x.xdotool({"mousemove", "--window", id, QString::number(mx), QString::number(my)});
  e.click(1);
  ASSERT_TRUE(e.waitFor([](const State& s) { return windows(s).find("mode=1;") != std::string::npos; }))
      << windows(e.state());
  EXPECT_NE(windows(e.state()).find("value=50 (#323232);"), std::string::npos) << windows(e.state());
  // The grid's centre cell is the cursor's pixel; the left colour is white.
  x.xdotool({"mousemove", "--window", id, QString::number(gx), QString::number(gy)});
  e.click(1);
  EXPECT_TRUE(e.waitFor([](const State& s) { return windows(s).find("value=255 (#FFFFFF);") != std::string::npos; }))
      << windows(e.state());
  EXPECT_EQ(e.state()["active"], "1") << "the editor keeps the keyboard";
  e.keys({"q", "i"});
  EXPECT_TRUE(e.waitFor([](const State& s) { return windows(s).find("QueryImageBox") == std::string::npos; }))
      << windows(e.state());
}

}  // namespace
}  // namespace trelmo::app::testing
