#include "app/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProcess>
#include <QScreen>
#include <QTime>

#include "app/canvas.h"
#include "app/input_events.h"
#include "app/log_viewer.h"
#include "app/menus.h"
#include "app/printer_port.h"
#include "app/qt_host.h"
#include "app/query_windows.h"
#include "app/screens.h"
#include "app/state_dump.h"
#include "app/window_icon.h"
#include "context.h"
#include "database/design_files.h"
#include "edit/edit_functions.h"
#include "flood/flood_functions.h"
#include "image/image_functions.h"
#include "nets/net_functions.h"
#include "nets/netlist_in.h"
#include "output/output_functions.h"
#include "output/report_functions.h"
#include "router/router_functions.h"
#include "screen/view.h"
#include "shell/command_line.h"
#include "shell/design_busy.h"
#include "shell/dispatch.h"
#include "shell/file_functions.h"
#include "shell/function_codes.h"
#include "shell/heartbeat.h"
#include "shell/input.h"
#include "shell/menu_state.h"

namespace trelmo::app {

std::string clockText() {
  const QTime now = QTime::currentTime();
  return clockReadout(now.hour(), now.minute(), now.second() % 2 == 0);
}

MainWindow::MainWindow(Context& ctx, QtHost& host, QImage::Format format)
    : ctx_(ctx), host_(host), canvas_(new Canvas(ctx, format, this)) {
  setWindowTitle("TRELMO'98 for Windows");
  setWindowIcon(stillIcon());
  setMinimumSize(kMinWindowWidth, kMinWindowHeight);
  setCentralWidget(canvas_);
  canvas_->installEventFilter(this);
  host_.ctx = &ctx_;
  host_.window = this;
  host_.canvas = canvas_;
  host_.mainWindow = this;
  host_.onQuit = [this] {
    QMetaObject::invokeMethod(
        this, [this] { close(); }, Qt::QueuedConnection);
  };
  buildMenuBar(menuBar(), ctx_, [this](uint16_t code, int source) { command(code, source); });
  describeScreens(ctx_);
  addScreenEntries(menuBar(), ctx_);
  for (QAction* top : menuBar()->actions())
    if (QMenu* menu = top->menu()) connect(menu, &QMenu::aboutToHide, this, &MainWindow::resumeAfterMenu);
  installHooks();
  heartbeat_.setInterval(kHeartbeatMs);
  heartbeat_.setTimerType(Qt::PreciseTimer);
  connect(&heartbeat_, &QTimer::timeout, this, &MainWindow::tick);
  dump_ = StateDump::fromEnvironment(ctx_, host_, *this);
}

MainWindow::~MainWindow() {
  stopDesignWorker(ctx_);  // a routing run ends before the window it draws on
  heartbeat_.stop();
  host_.onQuit = nullptr;
  host_.canvas = nullptr;
  host_.mainWindow = nullptr;
  host_.window = nullptr;
  host_.ctx = nullptr;
  ctx_.nets.logOpened = nullptr;
  ctx_.nets.logLineAdded = nullptr;
  delete queryWindows_;
}

void MainWindow::installHooks() {
  installInputHandlers(ctx_);
  installOutputFunctions(ctx_);
  installEditFunctions(ctx_);
  installNetFunctions(ctx_);
  installReportFunctions(ctx_);
  installNetlistInput(ctx_);
  // The router's worker hands its work on the design to this thread.
  installRouterFunctions(ctx_, {[this](std::function<void()> work) { postWork(std::move(work)); }});
  installFloodFunctions(ctx_);
  (new LogViewer(this))->attach(ctx_);
  queryWindows_ = new QueryWindows(ctx_, canvas_, this);
  queryWindows_->attach();
  installImageFunctions(ctx_);
  auto printer = std::make_shared<QtPrinterPort>(host_, this);
  ctx_.output.printer = printer;
  ShellHooks& h = ctx_.shell.hooks;
  h.printerSetup = [printer](Context&) { return printer->setupText(); };
  h.readouts = [this](Context&) { canvas_->setClock(clockText()); };
  h.animatedIcon = [this](Context& c) { showIconFrame(c.shell.iconFrame); };
  if (!h.openMenu) h.openMenu = [this](Context&, char letter) { openMenu(letter, 0); };
  h.registerFileTypes = [](Context& ctx) { registerFileTypes(ctx); };
  h.selectScreen = [this](Context&, int n) { selectScreen(n); };
}

void MainWindow::selectScreen(int n) {
  if (n == ctx_.shell.screenIndex) return;
  leaveTrelmoMode(ctx_, true);
  if (!moveToScreen(this, n)) return ctx_.host->sound(Sound::Beep);
  ctx_.shell.screenIndex = n;
  markScreen(menuBar(), n);
}

void registerFileTypes(Context& ctx) {
  const QString resources = QString::fromStdString(ctx.paths.resources);
  QString xml;
  for (const QString& candidate :
       {resources + "/../mime/packages/trelmo-mime.xml", resources + "/desktop/trelmo-mime.xml"})
    if (QFileInfo::exists(candidate)) xml = QFileInfo(candidate).canonicalFilePath();
  if (xml.isEmpty()) {
    ctx.host->messageBox("TRELMO'98", "The file-type description trelmo-mime.xml was not found.");
    return;
  }
  const int rc = QProcess::execute("xdg-mime", {"install", "--mode", "user", "--novendor", xml});
  ctx.host->messageBox("TRELMO'98", rc == 0 ? "The file types .pcb, .sch, .sh1-.sh9, .s01-.s19, .dwg and .lib are "
                                              "registered for this user."
                                            : "xdg-mime could not register the file types.");
}

void MainWindow::openMenu(char family, char item) {
  for (QAction* a : menuBar()->actions()) {
    const QString text = a->text();
    const qsizetype amp = text.indexOf('&');
    if (amp < 0 || amp + 1 >= text.size() || text[amp + 1].toUpper() != QChar(family).toUpper()) continue;
    menuBar()->setActiveAction(a);
    QMenu* menu = a->menu();
    if (!item || !menu) return;
    QAction* target = findItem(menu, fc(family, item));
    if (!target) return;
    menu->setActiveAction(target);
    // A submenu (Re-Open, Pixel Image) opens as its letter typed in the menu would open it.
    if (target->menu()) {
      const QChar letter = QChar(item).toLower();
      QKeyEvent press(QEvent::KeyPress, QChar(item).toUpper().unicode(), Qt::NoModifier, letter);
      QCoreApplication::sendEvent(menu, &press);
    }
    return;
  }
}

void MainWindow::tick() {
  // A tick that opens a file may show a message box whose event loop runs
  // further ticks: they must not start a second file over the first.
  if (inTick_) return;
  inTick_ = true;
  ctx_.shell.foreground = isActiveWindow();
  ctx_.shell.minimised = isMinimized();
  heartbeatTick(ctx_);
  inTick_ = false;
  showModifiedMark();
  // The option turned off: the still icon comes back.
  if (!ctx_.shell.prefs.animatedIcon && iconFrame_ != 0) showIconFrame(0);
  if (dump_) dump_->write();
}

void MainWindow::showIconFrame(int frame) {
  if (frame == iconFrame_ || frame < 0 || frame > kIconFrames) return;
  iconFrame_ = frame;
  if (frame == 0) return setWindowIcon(stillIcon());
  QIcon& icon = frames_[frame];
  if (icon.isNull())
    for (int size : {16, 32, 48}) icon.addPixmap(QPixmap::fromImage(drawIcon(size, frame)));
  setWindowIcon(icon);
}

void MainWindow::showModifiedMark() {
  host_.setModifiedMark(ctx_.current != kNull && fileUnsaved(ctx_.rec(ctx_.current)));
}

void MainWindow::command(uint16_t code, int source) {
  noteUserInput(ctx_);
  ctx_.shell.lastInputSource = source;
  lastCommand_ = codeName(code) + " " + std::to_string(source);
  menuCommand(ctx_, code);
}

void MainWindow::postWork(std::function<void()> work) {
  QMetaObject::invokeMethod(
      this,
      [this, work = std::move(work)]() mutable {
        // A redraw looking at input runs queued calls; the design it (and
        // the thread of its second band) is reading must not change under it.
        if (canvas_->redrawInterrupt().running()) return postWork(std::move(work));
        work();
      },
      Qt::QueuedConnection);
}

void MainWindow::openHandedOver(const std::string& commandLine) {
  const CommandLine line = parseCommandLine(commandLine);
  if (ctx_.shell.startupPhase <= 1) {
    queueCommandLine(ctx_, line);
  } else if (QApplication::activeModalWidget() || inTick_ || canvas_->redrawInterrupt().running()) {
    // Not in the middle of a question or dialog: try again when it is gone.
    QTimer::singleShot(250, this, [this, commandLine] { openHandedOver(commandLine); });
    return;
  } else {
    for (const std::string& file : line.files)
      if (!openFileByName(ctx_, file, 0)) ctx_.host->sound(Sound::Beep);
  }
  if (isMinimized()) showNormal();
  raise();
  activateWindow();
}

void MainWindow::placeAndShow() {
  const QRect primary = screenGeometry(-1);
  const WindowRect r = parseWindowPosition(host_.readSetting("Window Position"), primary.width(), primary.height());
  // "-s" and a digit on the command line picks the display, else the stored one.
  const std::string screenText = host_.readSetting("Window Screen");
  int index = screenText.empty() ? 0 : (screenText[0] - '0') & 7;
  if (ctx_.shell.screenIndex > 0) index = ctx_.shell.screenIndex;
  if (index >= static_cast<int>(ctx_.shell.screens.size())) index = 0;
  const QPoint origin = screenGeometry(index).topLeft();
  ctx_.shell.screenIndex = index;
  markScreen(menuBar(), index);
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
  if (event->type() == QEvent::ActivationChange) {
    ctx_.shell.foreground = isActiveWindow();
    if (ctx_.shell.startupPhase >= 1 && !isMinimized()) forwardActivation(ctx_, isActiveWindow());
  }
  if (event->type() == QEvent::WindowStateChange) ctx_.shell.minimised = isMinimized();
  QMainWindow::changeEvent(event);
}

void MainWindow::showPopup(int which, const QPoint& globalPos) {
  QMenu* popup = buildPopupMenu(
      which, ctx_, [this](uint16_t code, int source) { command(code, source); }, this);
  popup->setAttribute(Qt::WA_DeleteOnClose);
  connect(popup, &QMenu::aboutToHide, this, &MainWindow::resumeAfterMenu);
  popup->popup(globalPos);
}

void MainWindow::resumeAfterMenu() {
  // Closing a menu resumes TRELMO mode when it was left for the menu; moving
  // from one menu of the bar to the next is not leaving the menus.
  QMetaObject::invokeMethod(
      this,
      [this] {
        if (QApplication::activePopupWidget()) return;
        // Keys released inside the menu never reached the program.
        syncKeyboardState(ctx_, QGuiApplication::queryKeyboardModifiers());
        suspendForMenu(ctx_, 0);
      },
      Qt::QueuedConnection);
}

void MainWindow::afterInput() {
  // The core moves the cursor and draws ghosts straight into the buffer.
  canvas_->followCursor();
  canvas_->redrawStatusBar();
  canvas_->update(QRect(0, 0, canvas_->width(), canvas_->drawingArea().bottom + 1));
  showModifiedMark();
  if (dump_) dump_->write();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched != canvas_ || ctx_.shell.startupPhase < 1) return QMainWindow::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::MouseButtonPress:
      forwardMousePress(ctx_, *static_cast<QMouseEvent*>(event));
      break;
    case QEvent::MouseButtonRelease:
      forwardMouseRelease(ctx_, *static_cast<QMouseEvent*>(event));
      break;
    case QEvent::MouseMove: {
      auto* e = static_cast<QMouseEvent*>(event);
      const QPoint p = e->position().toPoint();
      const QPoint inside = host_.confine(p);
      if (inside != p) QCursor::setPos(canvas_->mapToGlobal(inside));
      forwardMouseMove(ctx_, *e);
      break;
    }
    case QEvent::ShortcutOverride:
      // The program translates its keys itself: no menu mnemonic or
      // shortcut may take one (Alt-E is File Open, not the Edit menu).
      event->accept();
      return true;
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
      auto* e = static_cast<QKeyEvent*>(event);
      forwardKeyEvent(ctx_, *e, event->type() == QEvent::KeyPress);
      afterInput();
      return true;  // the program translates every key itself
    }
    default:
      return QMainWindow::eventFilter(watched, event);
  }
  afterInput();
  return true;
}

}  // namespace trelmo::app
