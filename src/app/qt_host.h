// The host of the desktop editor: message boxes, questions, the form dialog,
// file boxes, the status bar and its progress bar, sounds, the help window and
// the settings, all with real widgets.
#pragma once
#include <QPoint>
#include <QString>
#include <functional>
#include <memory>

#include "shell/host.h"

namespace trelmo {
struct Context;
}

class QMainWindow;
class QProgressBar;
class QDialog;
class QSettings;

namespace trelmo::app {

class Canvas;
class MainWindow;
class PendingKeys;
class SoundPlayer;

class QtHost : public Host {
 public:
  // Settings live in the user's INI file of organisation "TRELMO" and
  // application "TRELMO'98", or in `settingsFile` when one is given (tests).
  explicit QtHost(const QString& settingsFile = {});
  ~QtHost() override;

  Context* ctx = nullptr;  // input is suspended while a box is up
  QMainWindow* window = nullptr;
  Canvas* canvas = nullptr;
  MainWindow* mainWindow = nullptr;  // menus and popups
  // Called by quit(): closes the main window for good.
  std::function<void()> onQuit;

  void messageBox(const std::string& title, const std::string& text) override;
  Answer question(const std::string& title, const std::string& text, Buttons buttons) override;
  bool runDialog(DialogBox& box) override;
  void statusText(const std::string& text) override;
  void sound(Sound s) override;
  void eventSound(const std::string& event) override;
  bool progress(int percent) override;
  void setTitle(const std::string& title) override;
  void openWaitBox(const DialogBox& box, WorkerProgress& progress) override;
  void closeWaitBox() override;
  // " *" after the title while the current file has unsaved changes.
  void setModifiedMark(bool on);
  std::string readSetting(const std::string& name) override;
  void writeSetting(const std::string& name, const std::string& value) override;
  void deleteSetting(const std::string& name) override;
  bool chooseFile(FileDialog& dialog) override;
  void showHelp(const std::string& path, const std::string& topic) override;
  void redrawView() override;
  void showSurface() override;
  WindowPlacement windowPlacement() override;
  void setAlwaysOnTop(bool on) override;
  void setPointerShape(PointerShape shape) override;
  void capturePointer(bool on) override;
  void confinePointer(bool on, int left, int top, int right, int bottom) override;
  void warpPointer(int x, int y) override;
  void attachMenuBar(bool on) override;
  void showCrossHair(bool on) override;
  void openMenuBarMenu(char family, char item) override;
  void trackPopupMenu(int popup, int x, int y) override;
  bool discardPendingKeys() override;
  void quit() override;

  // The confinement rectangle of TRELMO mode (canvas pixels); the pointer
  // is put back inside whenever it leaves it.
  bool confined() const { return confined_; }
  QPoint confine(const QPoint& p) const;

  QSettings& settings() { return *settings_; }
  QProgressBar* progressBar() const { return progress_; }
  int soundsPlayed() const { return soundsPlayed_; }
  // Whether the title carries the modified mark (" *").
  bool modifiedMark() const { return modifiedMark_; }
  SoundPlayer& soundPlayer() { return *player_; }
  QDialog* waitBox() const { return waitBox_; }

 private:
  std::unique_ptr<QSettings> settings_;
  QDialog* waitBox_ = nullptr;
  std::unique_ptr<SoundPlayer> player_;
  std::unique_ptr<PendingKeys> pendingKeys_;
  QProgressBar* progress_ = nullptr;
  int soundsPlayed_ = 0;
  bool confined_ = false;
  QString title_;
  bool modifiedMark_ = false;
  int confineLeft_ = 0, confineTop_ = 0, confineRight_ = 0, confineBottom_ = 0;
};

}  // namespace trelmo::app
