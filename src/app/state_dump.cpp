#include "app/state_dump.h"

#include <QApplication>
#include <QHash>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <sstream>

#include "app/canvas.h"
#include "app/main_window.h"
#include "app/qt_host.h"
#include "app/query_windows.h"
#include "context.h"
#include "files/writer_safe_file.h"

namespace trelmo::app {

namespace {

constexpr int kDumpIntervalMs = 25;

// One line per value: line breaks inside a value are written as "\n".
std::string oneLine(const QString& s) {
  std::string out = s.toStdString();
  for (size_t i = 0; (i = out.find('\n', i)) != std::string::npos;) out.replace(i, 1, "\\n");
  return out;
}

const char* pointerName(Qt::CursorShape shape) {
  switch (shape) {
    case Qt::BlankCursor:
      return "hidden";
    case Qt::OpenHandCursor:
    case Qt::ClosedHandCursor:
      return "hand";
    default:
      return "arrow";
  }
}

// The texts of a box's labels, in order.
QString labelTexts(QWidget* box) {
  QStringList texts;
  for (const QLabel* l : box->findChildren<QLabel*>())
    if (l->isVisible() && !l->text().isEmpty()) texts << l->text();
  return texts.join(" | ");
}

// The top-level items of the current design (0 without one).
size_t designItems(const Context& ctx) {
  size_t n = 0;
  const Handle file = ctx.current;
  if (file == kNull) return 0;
  for (Handle h = ctx.rec(file).next; h != file && h != kNull; h = ctx.rec(h).next) ++n;
  return n;
}

}  // namespace

StateDump::StateDump(Context& ctx, QtHost& host, MainWindow& window, QString path)
    : QObject(&window), ctx_(ctx), host_(host), window_(window), path_(std::move(path)) {
  connect(&timer_, &QTimer::timeout, this, &StateDump::write);
  timer_.start(kDumpIntervalMs);
}

StateDump* StateDump::fromEnvironment(Context& ctx, QtHost& host, MainWindow& window) {
  const QString path = qEnvironmentVariable("TRELMO_STATE_DUMP");
  return path.isEmpty() ? nullptr : new StateDump(ctx, host, window, path);
}

std::string StateDump::text() const {
  std::ostringstream o;
  const ShellState& s = ctx_.shell;
  Canvas* canvas = window_.canvas();
  const StatusBarText status = canvas->statusText();
  QWidget* modal = QApplication::activeModalWidget();
  auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  o << "window=" << window_.winId() << "\n";
  o << "active=" << window_.isActiveWindow() << "\n";
  o << "title=" << oneLine(window_.windowTitle()) << "\n";
  o << "modified=" << host_.modifiedMark() << "\n";
  o << "mode=" << (s.crossHairMode ? "TRELMO" : "WINDOWS") << "\n";
  o << "menubar=" << window_.menuBar()->isVisible() << "\n";
  o << "cursor=" << ctx_.view.cursorX << "," << ctx_.view.cursorY << "\n";
  o << "status=" << status.left << "\n";
  o << "layer=" << status.layer << "\n";
  o << "clock=" << status.clock << "\n";
  o << "modal=" << (modal ? oneLine(modal->windowTitle()) : "") << "\n";
  o << "modalwindow=" << (modal ? modal->winId() : 0) << "\n";
  o << "modaltext=" << (modal ? oneLine(labelTexts(modal)) : "") << "\n";
  // A popup menu has no title of its own.
  o << "popup=" << (popup ? (popup->title().isEmpty() ? "(popup)" : oneLine(popup->title())) : "") << "\n";
  o << "keyflags=" << int{ctx_.input.keyFlags} << "\n";
  o << "recording=" << s.macroRecording << "\n";
  o << "macro=" << s.macroRunning << "\n";
  o << "sounds=" << host_.soundsPlayed() << "\n";
  o << "ticks=" << s.tickCount << "\n";
  o << "phase=" << s.startupPhase << "\n";
  o << "dragticks=" << (s.dragTicks & 0xFFFF) << "\n";
  o << "pointer=" << pointerName(canvas->cursor().shape()) << "\n";
  o << "command=" << window_.lastCommand() << "\n";
  o << "icon=" << window_.iconFrame() << "\n";
  const PixelImage* picture = ctx_.current == kNull ? nullptr : ctx_.images.get(ctx_.params.imageCurrent);
  o << "windows=" << (window_.queryWindows() ? oneLine(QString::fromStdString(window_.queryWindows()->describe())) : "")
    << "\n";
  o << "items=" << designItems(ctx_) << "\n";
  o << "busy=" << s.busy.owner << "\n";
  o << "zoom=" << ctx_.view.viewScale << "\n";
  // What the drawing area shows, as a hash of its pixels.
  const QImage& shown = canvas->image();
  o << "canvas=" << qHashBits(shown.constBits(), static_cast<size_t>(shown.sizeInBytes())) << "\n";
  o << "picture=";
  if (picture) o << picture->x0() << "," << picture->y0() << "," << picture->x1() << "," << picture->y1();
  o << "\n";
  return o.str();
}

void StateDump::write() {
  std::string t = text();
  if (t == last_) return;
  SafeFile file(path_.toStdString());
  if (!file.open()) return;
  file.buffer() = t;
  if (file.finish() && file.commit()) last_ = std::move(t);
}

}  // namespace trelmo::app
