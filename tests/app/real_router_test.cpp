// The autorouter in the real editor: NA on a generated board with nothing
// routed yet, watched through the editor's state read-out while it runs.
#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>

#include "../../bench/route_board.h"
#include "real_editor.h"

namespace trelmo::app::testing {
namespace {

constexpr int kComponents = 1000;

long number(const State& s, const std::string& name) { return s.count(name) ? std::stol(s.at(name)) : -1; }
bool routing(const State& s) { return s.count("busy") && s.at("busy") == "router"; }

// The board with every router pass switched on.
QString routeBoard(const QTemporaryDir& home) {
  std::string text = bench::routeBoard(kComponents);
  text.replace(text.find("-ga0\r\n"), 6, "-ga255\r\n");
  const QString path = home.filePath("routed.pcb");
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly)) return {};
  f.write(text.data(), static_cast<qint64>(text.size()));
  return path;
}

// Tracks on the two copper layers (3 and 12) in a saved board.
int copperTracks(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return -1;
  int n = 0;
  for (const QByteArray& line : f.readAll().split('\n'))
    if (line.startsWith("1 3 ") || line.startsWith("1 12 ")) ++n;
  return n;
}

TEST(RealRouter, TheBoardRoutesVisiblyRefusesChangesZoomsStopsOnEscapeAndUndoesInOneEvent) {
  const std::string why = realEditorUnavailable();
  if (!why.empty()) GTEST_SKIP() << why;
  XServer x;
  ASSERT_TRUE(x.running()) << "Xvfb did not start";
  QTemporaryDir home;
  const QString board = routeBoard(home);
  ASSERT_FALSE(board.isEmpty());
  ASSERT_EQ(copperTracks(board), 0);
  RealEditor e(x, home, {{"Un-Do Beyond Save to Disk", "Yes"}});
  ASSERT_TRUE(e.start({board}));
  ASSERT_TRUE(e.waitFor([](const State& s) { return s.at("title").find("routed.pcb") != std::string::npos; }));
  e.keys({"Return"});
  ASSERT_TRUE(e.waitValue("mode", "TRELMO"));
  const long itemsBefore = number(e.state(), "items");

  e.keys({"n", "a"});
  ASSERT_TRUE(e.waitValue("modal", "Auto-Router Setup"));
  e.keys({"Return"});
  ASSERT_TRUE(e.waitFor(routing));
  e.focus();

  // The board changes on the screen while the router works, again and again.
  State seen = e.state();
  for (int change = 0; change < 3; ++change) {
    ASSERT_TRUE(e.waitFor([&](const State& s) { return !routing(s) || s.at("canvas") != seen.at("canvas"); }));
    seen = e.state();
    ASSERT_TRUE(routing(seen)) << "the run ended before it could be watched";
  }
  EXPECT_NE(number(seen, "items"), itemsBefore);

  // Changing the design is refused with the Beep; zooming goes on.
  const long sounds = number(e.state(), "sounds");
  e.keys({"d", "l"});  // Delete Line
  EXPECT_TRUE(e.waitFor([&](const State& s) { return number(s, "sounds") > sounds; }));
  const std::string zoom = e.state()["zoom"];
  e.keys({"i"});  // Zoom In
  EXPECT_TRUE(e.waitFor([&](const State& s) { return s.at("zoom") != zoom; }));
  ASSERT_TRUE(routing(e.state())) << "the run ended before Escape";

  // Escape ends the run between two routes, keeping what was routed.
  e.keys({"Escape"});
  ASSERT_TRUE(e.waitFor([](const State& s) { return !routing(s); }));
  const QRegularExpression totals("Routed (\\d+) of (\\d+) rat-lines \\(stopped\\)\\.");
  QRegularExpressionMatch m;
  ASSERT_TRUE(e.waitFor([&](const State& s) {
    m = totals.match(QString::fromStdString(s.at("status")));
    return m.hasMatch();
  })) << e.state()["status"];
  const int routed = m.captured(1).toInt();
  EXPECT_GT(routed, 0);
  EXPECT_LT(routed, m.captured(2).toInt());

  // Saved, the board has its tracks; one Un-Do takes the whole run back.
  e.keys({"f", "s"});
  // The save is atomic: the file holds the old board or the whole new one.
  EXPECT_TRUE(e.waitFor([&](const State&) { return copperTracks(board) >= routed; })) << copperTracks(board);
  e.keys({"u", "u"});
  EXPECT_TRUE(e.waitFor([&](const State& s) { return number(s, "items") == itemsBefore; }))
      << e.state()["items"] << " items, " << itemsBefore << " before the run";
}

}  // namespace
}  // namespace trelmo::app::testing
