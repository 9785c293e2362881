// The editor as a person uses it: the real program on an X server of its own
// (Xvfb, a free display chosen per test), driven by real key and mouse events
// (xdotool, through the XTEST extension) and read back through its state
// read-out (TRELMO_STATE_DUMP), its window title and the files it writes.
// Every editor gets its own settings, data and runtime folders.
#pragma once
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace trelmo::app::testing {

using State = std::map<std::string, std::string>;

// The reason the real-window tests cannot run here, empty when they can.
std::string realEditorUnavailable();

class XServer {
 public:
  XServer();
  ~XServer();
  bool running() const { return !display_.isEmpty(); }
  const QString& display() const { return display_; }
  // Runs xdotool with these arguments; its standard output, trimmed.
  QString xdotool(const QStringList& args) const;

 private:
  QProcess xvfb_;
  QString display_;
};

class RealEditor {
 public:
  // `settings` are written to the editor's settings file before it starts.
  RealEditor(XServer& x, const QTemporaryDir& home, const std::map<QString, QString>& settings = {});
  ~RealEditor();

  // Starts the editor with these arguments and waits until its window has
  // the keyboard focus and the start-up second has passed.
  bool start(const QStringList& args = {});
  // Starts the editor and waits only until its window exists (a box may be
  // asking something before the start-up has finished).
  bool launch(const QStringList& args = {});
  // Starts the editor and waits for it to end (a start that hands its files
  // to a running editor); its exit code, -1 when it did not end in `ms`.
  int runToEnd(const QStringList& args, int ms = 20000);
  // The last state written; empty before the first.
  State state() const;
  // Polls the state until `done` holds; false after `ms`.
  bool waitFor(const std::function<bool(const State&)>& done, int ms = 20000) const;
  bool waitValue(const std::string& name, const std::string& value, int ms = 20000) const;
  // Waits for `ticks` more heartbeat ticks.
  bool waitTicks(int ticks) const;

  // Real key presses (xdotool key names: "space", "alt+e", "F1", "KP_Multiply").
  void keys(const QStringList& names) const;
  void keyDown(const QString& name) const;
  void keyUp(const QString& name) const;
  // Mouse: move the pointer to a window position; press and release buttons.
  void moveTo(int x, int y) const;
  void click(int button) const;
  void buttonDown(int button) const;
  void buttonUp(int button) const;
  // Focus on the editor's window.
  void focus() const;

  QString windowName() const;
  // The window's icon property as xprop prints it.
  QString windowIcon() const;
  bool finished(int ms) { return process_.state() == QProcess::NotRunning || process_.waitForFinished(ms); }
  QProcess& process() { return process_; }
  QString dataPath(const QString& relative) const { return home_.filePath("data/trelmo/" + relative); }

 private:
  QProcessEnvironment environment() const;

  XServer& x_;
  const QTemporaryDir& home_;
  QString dump_;
  QProcess process_;
};

// A copy of the example board in `dir`, to be modified and saved freely.
QString copyOfDemoBoard(const QTemporaryDir& dir, const QString& name = "board.pcb");

}  // namespace trelmo::app::testing
