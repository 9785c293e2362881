#include "real_editor.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QThread>

namespace trelmo::app::testing {

namespace {

constexpr int kStartMs = 30000;

QString program(const char* name) { return QStandardPaths::findExecutable(name); }

// A short pause between two looks at the state: the editor runs in its own process.
void pause() { QThread::msleep(10); }

}  // namespace

std::string realEditorUnavailable() {
  if (program("Xvfb").isEmpty()) return "Xvfb is not installed";
  if (program("xdotool").isEmpty()) return "xdotool is not installed";
  return {};
}

XServer::XServer() {
  // -displayfd 1: the server picks a free display and names it on its output.
  xvfb_.start(program("Xvfb"), {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
  if (!xvfb_.waitForStarted(kStartMs)) return;
  QByteArray out;
  QElapsedTimer t;
  t.start();
  while (!out.contains('\n') && t.elapsed() < kStartMs && xvfb_.state() == QProcess::Running) {
    xvfb_.waitForReadyRead(100);
    out += xvfb_.readAllStandardOutput();
  }
  const QByteArray number = out.trimmed();
  if (!number.isEmpty()) display_ = ":" + QString::fromLatin1(number);
}

XServer::~XServer() {
  xvfb_.terminate();
  if (!xvfb_.waitForFinished(5000)) xvfb_.kill();
  xvfb_.waitForFinished(5000);
}

QString XServer::xdotool(const QStringList& args) const {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("DISPLAY", display_);
  p.setProcessEnvironment(env);
  p.start(program("xdotool"), args);
  p.waitForFinished(kStartMs);
  return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

RealEditor::RealEditor(XServer& x, const QTemporaryDir& home, const std::map<QString, QString>& settings)
    : x_(x), home_(home) {
  static int count = 0;
  dump_ = home_.filePath(QString("state-%1.txt").arg(++count));
  for (const char* folder : {"config/TRELMO", "data", "runtime"}) QDir().mkpath(home_.filePath(folder));
  QFile::setPermissions(home_.filePath("runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  if (settings.empty()) return;
  QSettings ini(home_.filePath("config/TRELMO/TRELMO'98.ini"), QSettings::IniFormat);
  for (const auto& [name, value] : settings) ini.setValue(name, value);
}

RealEditor::~RealEditor() {
  if (process_.state() == QProcess::NotRunning) return;
  process_.kill();
  process_.waitForFinished(5000);
}

QProcessEnvironment RealEditor::environment() const {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("DISPLAY", x_.display());
  env.insert("QT_QPA_PLATFORM", "xcb");
  env.insert("XDG_CONFIG_HOME", home_.filePath("config"));
  env.insert("XDG_DATA_HOME", home_.filePath("data"));
  env.insert("XDG_RUNTIME_DIR", home_.filePath("runtime"));
  env.insert("TRELMO_STATE_DUMP", dump_);
  env.remove("TRELMO_INSTANCE_NAME");
  env.remove("WAYLAND_DISPLAY");
  return env;
}

int RealEditor::runToEnd(const QStringList& args, int ms) {
  process_.setProcessEnvironment(environment());
  process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  process_.start(TRELMO_APP, args);
  if (!process_.waitForFinished(ms)) return -1;
  return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
}

bool RealEditor::start(const QStringList& args) {
  process_.setProcessEnvironment(environment());
  process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  process_.start(TRELMO_APP, args);
  if (!process_.waitForStarted(kStartMs)) return false;
  if (!waitFor([](const State& s) { return s.count("window") && s.at("phase") >= "2"; }, kStartMs)) return false;
  focus();
  return waitValue("active", "1", kStartMs);
}

bool RealEditor::launch(const QStringList& args) {
  process_.setProcessEnvironment(environment());
  process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  process_.start(TRELMO_APP, args);
  if (!process_.waitForStarted(kStartMs)) return false;
  return waitFor([](const State& s) { return s.count("window") != 0; }, kStartMs);
}

State RealEditor::state() const {
  State s;
  QFile f(dump_);
  if (!f.open(QIODevice::ReadOnly)) return s;
  for (const QByteArray& line : f.readAll().split('\n')) {
    const qsizetype eq = line.indexOf('=');
    if (eq > 0) s[line.left(eq).toStdString()] = line.mid(eq + 1).toStdString();
  }
  return s;
}

bool RealEditor::waitFor(const std::function<bool(const State&)>& done, int ms) const {
  QElapsedTimer t;
  t.start();
  for (;;) {
    const State s = state();
    if (!s.empty() && done(s)) return true;
    if (t.elapsed() > ms) return false;
    pause();
  }
}

bool RealEditor::waitValue(const std::string& name, const std::string& value, int ms) const {
  return waitFor([&](const State& s) { return s.count(name) && s.at(name) == value; }, ms);
}

bool RealEditor::waitTicks(int ticks) const {
  const long start = std::stol(state()["ticks"].empty() ? "0" : state()["ticks"]);
  return waitFor([&](const State& s) { return s.count("ticks") && std::stol(s.at("ticks")) >= start + ticks; });
}

void RealEditor::focus() const {
  const QString window = QString::fromStdString(state()["window"]);
  x_.xdotool({"windowfocus", "--sync", window});
}

void RealEditor::keys(const QStringList& names) const {
  // A box that has just opened gets the keys, as a window manager would see to.
  const State s = state();
  if (s.count("modalwindow") && s.at("modalwindow") != "0")
    x_.xdotool({"windowfocus", "--sync", QString::fromStdString(s.at("modalwindow"))});
  x_.xdotool(QStringList{"key", "--delay", "40"} + names);
}
void RealEditor::keyDown(const QString& name) const { x_.xdotool({"keydown", name}); }
void RealEditor::keyUp(const QString& name) const { x_.xdotool({"keyup", name}); }

void RealEditor::moveTo(int x, int y) const {
  const QString window = QString::fromStdString(state()["window"]);
  x_.xdotool({"mousemove", "--window", window, QString::number(x), QString::number(y)});
}

void RealEditor::click(int button) const { x_.xdotool({"click", QString::number(button)}); }
void RealEditor::buttonDown(int button) const { x_.xdotool({"mousedown", QString::number(button)}); }
void RealEditor::buttonUp(int button) const { x_.xdotool({"mouseup", QString::number(button)}); }

QString RealEditor::windowName() const {
  return x_.xdotool({"getwindowname", QString::fromStdString(state()["window"])});
}

QString RealEditor::windowIcon() const {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("DISPLAY", x_.display());
  p.setProcessEnvironment(env);
  p.start(program("xprop"), {"-id", QString::fromStdString(state()["window"]), "-notype", "_NET_WM_ICON"});
  p.waitForFinished(kStartMs);
  return QString::fromLatin1(p.readAllStandardOutput());
}

QString copyOfDemoBoard(const QTemporaryDir& dir, const QString& name) {
  const QString target = dir.filePath(name);
  QFile::remove(target);
  QFile::copy(QString(TRELMO_EXAMPLES_DIR) + "/demo.pcb", target);
  QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
  return target;
}

}  // namespace trelmo::app::testing
