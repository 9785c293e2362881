// The main window: menu bar, the canvas with its status bar, the 55 ms
// heartbeat and the popup menus.
#pragma once
#include <QIcon>
#include <QImage>
#include <QMainWindow>
#include <QTimer>
#include <array>
#include <functional>
#include <string>

namespace trelmo {
struct Context;
}

namespace trelmo::app {

class Canvas;
class QtHost;
class StateDump;
class QueryWindows;

constexpr int kHeartbeatMs = 55;

class MainWindow : public QMainWindow {
 public:
  MainWindow(Context& ctx, QtHost& host, QImage::Format format = QImage::Format_RGB32);
  ~MainWindow() override;

  Canvas* canvas() const { return canvas_; }
  void startHeartbeat() { heartbeat_.start(); }
  bool heartbeatRunning() const { return heartbeat_.isActive(); }

  // Placement from the stored "Window Position" and the display from "-s" or
  // the stored "Window Screen", then shown.
  void placeAndShow();
  // A menu command: remembered source, then the dispatcher.
  void command(uint16_t code, int source);
  // Files handed over by a later start: queued while starting, else opened.
  void openHandedOver(const std::string& commandLine);
  // The menu of the menu bar whose mnemonic is `family`, then its item
  // `item` highlighted (0 = none), as Alt and the letters would.
  void openMenu(char family, char item);
  // Popup 0 (schematics) or 1 (others) at a screen position.
  void showPopup(int which, const QPoint& globalPos);
  // After a menu bar menu or a popup closes: back to TRELMO mode if it was left for the menu.
  void resumeAfterMenu();
  // Screen n of the Screen submenu: the window moves to that display.
  void selectScreen(int n);
  // The last menu command and its source ("FI 2"), for the state read-out.
  const std::string& lastCommand() const { return lastCommand_; }
  // The icon frame shown, 0 for the still icon.
  int iconFrame() const { return iconFrame_; }
  QueryWindows* queryWindows() const { return queryWindows_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void tick();
  void installHooks();
  // Runs `work` on this thread soon, never inside a redraw's look at input.
  void postWork(std::function<void()> work);
  void afterInput();
  void showModifiedMark();
  // 0: the still icon; 1..32 the animated icon's frames.
  void showIconFrame(int frame);

  Context& ctx_;
  QtHost& host_;
  Canvas* canvas_;
  QTimer heartbeat_;
  bool inTick_ = false;
  std::string lastCommand_;
  StateDump* dump_ = nullptr;
  QueryWindows* queryWindows_ = nullptr;
  int iconFrame_ = 0;
  std::array<QIcon, 33> frames_;
};

// Setup Options' file-type registration: the MIME package through xdg-mime.
void registerFileTypes(Context& ctx);

// The local time for the status bar: 12-hour, the colon shown every other second.
std::string clockText();

}  // namespace trelmo::app
