// A read-out of what the editor shows, for tests that drive the real window
// from outside: with TRELMO_STATE_DUMP set to a file name, the mode, menu bar,
// cursor, status bar, title, open boxes and menus, the current design's item
// count, the worker holding it, the zoom and a hash of the drawing area are
// written there (one "name=value" line each) whenever they change.
#pragma once
#include <QObject>
#include <QString>
#include <QTimer>
#include <string>

namespace trelmo {
struct Context;
}

namespace trelmo::app {

class MainWindow;
class QtHost;

class StateDump : public QObject {
 public:
  StateDump(Context& ctx, QtHost& host, MainWindow& window, QString path);
  // The dump asked for by the environment, or null when none.
  static StateDump* fromEnvironment(Context& ctx, QtHost& host, MainWindow& window);

  // Writes the state now if it changed.
  void write();
  std::string text() const;

 private:
  Context& ctx_;
  QtHost& host_;
  MainWindow& window_;
  QString path_;
  std::string last_;
  QTimer timer_;
};

}  // namespace trelmo::app
