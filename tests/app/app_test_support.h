// Helpers shared by the editor's tests.
#pragma once
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <string>

#include "app/canvas.h"
#include "app/main_window.h"
#include "app/qt_host.h"
#include "context.h"

namespace trelmo::app::testing {

// A whole editor (host with its own settings file, context, main window) for
// one test.
struct Editor {
  QTemporaryDir dir;
  QtHost host{dir.filePath("settings.ini")};
  Context ctx{host};
  MainWindow window{ctx, host};
};

inline std::string demoBoard() { return std::string(TRELMO_EXAMPLES_DIR) + "/demo.pcb"; }

// Processes events until `done` holds or `ms` pass; generous limits keep
// slow machines from failing.
inline bool waitFor(const std::function<bool()>& done, int ms = 20000) {
  QElapsedTimer t;
  t.start();
  while (!done()) {
    if (t.elapsed() > ms) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

// Runs `act` on the next modal widget that opens (a message box or dialog).
inline void whenModalOpens(const std::function<void(QWidget*)>& act) {
  auto* poll = new QTimer;
  QObject::connect(poll, &QTimer::timeout, [poll, act] {
    if (QWidget* w = QApplication::activeModalWidget()) {
      poll->stop();
      poll->deleteLater();
      act(w);
    }
  });
  poll->start(10);
}

// Redraws go to the canvas, as the editor's host sends them.
struct CanvasHost : Host {
  Canvas* canvas = nullptr;
  void redrawView() override {
    if (canvas) canvas->redrawDesign();
  }
  void showSurface() override {
    if (canvas) canvas->update();
  }
};

inline int32_t inch(double v) { return static_cast<int32_t>(v * 65536 + 0.5); }

}  // namespace trelmo::app::testing
