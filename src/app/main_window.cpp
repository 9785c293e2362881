#include "app/main_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>
#include <QTime>

#include "app/canvas.h"
#include "app/menus.h"
#include "app/qt_host.h"
#include "context.h"
#include "shell/command_line.h"
#include "shell/dispatch.h"
#include "shell/file_functions.h"
#include "shell/function_codes.h"
#include "shell/heartbeat.h"
#include "shell/menu_state.h"

namespace trelmo::app {

std::string clockText() { return QTime::currentTime().toString("HH:mm").toStdString(); }

MainWindow::MainWindow(Context& ctx, QtHost& host, QImage::Format format)
    : ctx_(ctx), host_(host), canvas_(new Canvas(ctx, format, this)) {
  setWindowTitle("TRELMO'98");
  setMinimumSize(kMinWindowWidth, kMinWindowHeight);
  setCentralWidget(canvas_);
  canvas_->installEventFilter(this);
  host_.window = this;
  host_.canvas = canvas_;
  host_.onQuit = [this] {
    QMetaObject::invokeMethod(
        this, [this] { close(); }, Qt::QueuedConnection);
  };
  buildMenuBar(menuBar(), ctx_, [this](uint16_t code, int source) { command(code, source); });
  installHooks();
  heartbeat_.setInterval(kHeartbeatMs);
  heartbeat_.setTimerType(Qt::PreciseTimer);
  connect(&heartbeat_, &QTimer::timeout, this, &MainWindow::tick);
}

MainWindow::~MainWindow() {
  heartbeat_.stop();
  host_.onQuit = nullptr;
  host_.canvas = nullptr;
  host_.window = nullptr;
}

void MainWindow::installHooks() {
  ShellHooks& h = ctx_.shell.hooks;
  h.readouts = [this](Context&) { canvas_->setClock(clockText()); };
  h.openMenu = [this](Context&, char letter) {
    for (QAction* a : menuBar()->actions()) {
      const QString text = a->text();
      const qsizetype amp = text.indexOf('&');
      if (amp >= 0 && amp + 1 < text.size() && text[amp + 1].toUpper() == QChar(letter).toUpper()) {
        menuBar()->setActiveAction(a);
        return;
      }
    }
  };
}

void MainWindow::tick() {
  ctx_.shell.foreground = isActiveWindow();
  ctx_.shell.minimised = isMinimized();
  heartbeatTick(ctx_);
}

void MainWindow::command(uint16_t code, int source) {
  noteUserInput(ctx_);
  ctx_.shell.lastInputSource = source;
  menuCommand(ctx_, code);
}

void MainWindow::openHandedOver(const std::string& commandLine) {
  const CommandLine line = parseCommandLine(commandLine);
  if (ctx_.shell.startupPhase <= 1) {
    queueCommandLine(ctx_, line);
  } else {
    for (const std::string& file : line.files)
      if (!openFileByName(ctx_, file, 0)) ctx_.host->sound(Sound::Beep);
  }
  if (isMinimized()) showNormal();
  raise();
  activateWindow();
}

void MainWindow::placeAndShow() {
  QScreen* primary = QGuiApplication::primaryScreen();
  const QRect screen = primary ? primary->geometry() : QRect(0, 0, 1024, 768);
  const WindowRect r = parseWindowPosition(host_.readSetting("Window Position"), screen.width(), screen.height());
  QPoint origin = screen.topLeft();
  const std::string screenText = host_.readSetting("Window Screen");
  const int index = screenText.empty() ? 0 : (screenText[0] - '0') & 7;
  const QList<QScreen*> screens = QGuiApplication::screens();
  if (index > 0 && index < screens.size()) origin = screens[index]->geometry().topLeft();
  setGeometry(origin.x() + r.x, origin.y() + r.y, r.width, r.height);
  if (r.maximized)
    showMaximized();
  else
    show();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (ctx_.shell.quitting) {
    heartbeat_.stop();
    event->accept();
    return;
  }
  // The window's close button asks about unsaved files like File Exit.
  event->ignore();
  command(fc('F', 'X'), kFromKeys);
}

void MainWindow::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange) ctx_.shell.foreground = isActiveWindow();
  if (event->type() == QEvent::WindowStateChange) ctx_.shell.minimised = isMinimized();
  QMainWindow::changeEvent(event);
}

void MainWindow::showPopup(const QPoint& globalPos) {
  const int which = gatherMenuFacts(ctx_).schematic ? 0 : 1;
  QMenu* popup = buildPopupMenu(
      which, ctx_, [this](uint16_t code, int source) { command(code, source); }, this);
  popup->setAttribute(Qt::WA_DeleteOnClose);
  popup->popup(globalPos);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == canvas_) {
    switch (event->type()) {
      case QEvent::MouseButtonPress: {
        noteUserInput(ctx_);
        auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() == Qt::RightButton && ctx_.shell.prefs.popupMenus && ctx_.shell.startupPhase >= 1) {
          showPopup(e->globalPosition().toPoint());
          return true;
        }
        break;
      }
      case QEvent::MouseMove:
      case QEvent::KeyPress:
      case QEvent::Wheel:
        noteUserInput(ctx_);
        break;
      default:
        break;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace trelmo::app
