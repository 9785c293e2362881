#include "app/qt_host.h"

#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLayout>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QScreen>
#include <QSettings>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <algorithm>

#include "app/canvas.h"
#include "app/form_dialog.h"
#include "app/main_window.h"
#include "app/pending_keys.h"
#include "app/sound_player.h"
#include "app/status_bar.h"
#include "app/wait_box.h"
#include "context.h"
#include "shell/input.h"
#include "shell/messages.h"

namespace trelmo::app {

namespace {

// Messages are 8-bit texts in the design's character set.
QString fromDesign(const std::string& s) { return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())); }

QMessageBox::StandardButtons standardButtons(Buttons buttons) {
  switch (buttons) {
    case Buttons::Ok:
      return QMessageBox::Ok;
    case Buttons::OkCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case Buttons::YesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case Buttons::YesNoCancel:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
}

// Input is suspended while a box is up: TRELMO mode is left for it and comes
// back, with the cursor where it was, when the box closes. A box opened while
// another suspension is in force leaves that one alone.
class BoxSuspension {
 public:
  explicit BoxSuspension(Context* ctx) : ctx_(ctx && ctx->shell.dialogSuspend == 0 ? ctx : nullptr) {
    if (ctx_) suspendForDialog(*ctx_, true);
  }
  ~BoxSuspension() {
    if (ctx_) suspendForDialog(*ctx_, false);
  }
  BoxSuspension(const BoxSuspension&) = delete;
  BoxSuspension& operator=(const BoxSuspension&) = delete;

 private:
  Context* ctx_;
};

}  // namespace

QtHost::QtHost(const QString& settingsFile)
    : settings_(settingsFile.isEmpty()
                    ? std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, "TRELMO", "TRELMO'98")
                    : std::make_unique<QSettings>(settingsFile, QSettings::IniFormat)),
      player_(std::make_unique<SoundPlayer>([this](const std::string& name) { return readSetting(name); })),
      pendingKeys_(std::make_unique<PendingKeys>()) {}

QtHost::~QtHost() = default;

void QtHost::messageBox(const std::string& title, const std::string& text) {
  BoxSuspension suspended(ctx);
  QMessageBox::information(window, fromDesign(title), fromDesign(text));
}

Answer QtHost::question(const std::string& title, const std::string& text, Buttons buttons) {
  BoxSuspension suspended(ctx);
  const auto r = QMessageBox::question(window, fromDesign(title), fromDesign(text), standardButtons(buttons));
  switch (r) {
    case QMessageBox::Ok:
      return Answer::Ok;
    case QMessageBox::Yes:
      return Answer::Yes;
    case QMessageBox::No:
      return Answer::No;
    default:
      return Answer::Cancel;  // Escape or closing the box cancels
  }
}

bool QtHost::runDialog(DialogBox& box) {
  BoxSuspension suspended(ctx);
  // The box's help line ("W." and the function that opened it) on the status bar.
  if (ctx && ctx->shell.runningFunction) showDialogHelp(*ctx, ctx->shell.runningFunction);
  return runFormDialog(box, window);
}

void QtHost::openWaitBox(const DialogBox& box, WorkerProgress& progress) {
  closeWaitBox();
  waitBox_ = new WaitBox(box, progress, window);
  waitBox_->show();
}

void QtHost::closeWaitBox() {
  delete waitBox_;
  waitBox_ = nullptr;
}

void QtHost::statusText(const std::string& text) {
  if (canvas) canvas->setMessage(text);
}

void QtHost::sound(Sound s) {
  ++soundsPlayed_;
  player_->play(s);
}

void QtHost::eventSound(const std::string& event) { player_->playEvent(event); }

bool QtHost::progress(int percent) {
  if (!canvas) return false;
  if (percent >= 100 || percent < 0) {
    if (progress_) {
      delete progress_;
      progress_ = nullptr;
      canvas->setStatusLeftMargin(0);
    }
    return false;
  }
  if (!progress_) {
    progress_ = new QProgressBar(canvas);
    progress_->setRange(0, 100);
    progress_->setTextVisible(false);
    progress_->setGeometry(0, canvas->drawingArea().bottom + 1 + kStatusTextTop, kProgressWidth, kProgressHeight);
    canvas->setStatusLeftMargin(kProgressWidth + 1);
    progress_->show();
  }
  if (progress_->value() != percent) {
    progress_->setValue(percent);
    progress_->repaint();  // the read runs inside one event: paint now
  }
  return false;
}

void QtHost::setTitle(const std::string& title) {
  title_ = QString::fromStdString(title);
  if (window) window->setWindowTitle(modifiedMark_ ? title_ + " *" : title_);
}

void QtHost::setModifiedMark(bool on) {
  if (on == modifiedMark_ || !window) return;
  modifiedMark_ = on;
  if (title_.isEmpty()) title_ = window->windowTitle();
  window->setWindowTitle(on ? title_ + " *" : title_);
}

std::string QtHost::readSetting(const std::string& name) {
  const QVariant v = settings_->value(QString::fromStdString(name));
  // A hand-edited INI value with commas and no quotes reads as a list.
  const QString text = v.typeId() == QMetaType::QStringList ? v.toStringList().join(',') : v.toString();
  // Values are stored byte for byte (see writeSetting); a hand-typed
  // character beyond that range comes back as UTF-8.
  for (const QChar c : text)
    if (c.unicode() > 0xFF) return text.toStdString();
  const QByteArray bytes = text.toLatin1();
  return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

void QtHost::writeSetting(const std::string& name, const std::string& value) {
  // Macro texts are 8-bit: each byte is kept as the character of that code,
  // so that every byte comes back as it was.
  settings_->setValue(QString::fromStdString(name), fromDesign(value));
  settings_->sync();
}

void QtHost::deleteSetting(const std::string& name) {
  settings_->remove(QString::fromStdString(name));
  settings_->sync();
}

bool QtHost::chooseFile(FileDialog& dialog) {
  BoxSuspension suspended(ctx);
  QFileDialog box(window, QString::fromStdString(dialog.title), QString::fromStdString(dialog.folder));
  box.setAcceptMode(dialog.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  box.setFileMode(dialog.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  box.setOption(QFileDialog::DontUseNativeDialog);
  QStringList filters;
  for (const auto& f : dialog.filters) filters << QString::fromStdString(f);
  if (!filters.isEmpty()) {
    box.setNameFilters(filters);
    if (dialog.filterIndex >= 1 && dialog.filterIndex <= filters.size())
      box.selectNameFilter(filters[dialog.filterIndex - 1]);
  }
  if (!dialog.fileName.empty()) box.selectFile(QString::fromStdString(dialog.fileName));
  if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty()) return false;
  dialog.fileName = box.selectedFiles().first().toStdString();
  const qsizetype chosen = filters.indexOf(box.selectedNameFilter());
  if (chosen >= 0) dialog.filterIndex = static_cast<int>(chosen) + 1;
  return true;
}

void QtHost::showHelp(const std::string& path, const std::string& topic) {
  auto* help = new QDialog(window);
  help->setAttribute(Qt::WA_DeleteOnClose);
  help->setWindowTitle("TRELMO'98 Help");
  auto* layout = new QVBoxLayout(help);
  auto* browser = new QTextBrowser(help);
  layout->addWidget(browser);
  QFile file(QString::fromStdString(path));
  if (file.open(QIODevice::ReadOnly))
    browser->setMarkdown(QString::fromUtf8(file.read(4 << 20)));
  else
    browser->setPlainText("The manual " + QString::fromStdString(path) + " cannot be read.");
  if (!topic.empty()) browser->scrollToAnchor(QString::fromStdString(topic));
  help->resize(700, 600);
  help->show();
}

void QtHost::redrawView() {
  if (canvas) canvas->redrawDesign();
}

void QtHost::showSurface() {
  if (canvas) canvas->update();
}

WindowPlacement QtHost::windowPlacement() {
  WindowPlacement p;
  if (!window) return p;
  const QRect g = window->normalGeometry().isValid() ? window->normalGeometry() : window->geometry();
  QScreen* screen = window->screen();
  const QPoint origin = screen ? screen->geometry().topLeft() : QPoint();
  p.x = g.x() - origin.x(), p.y = g.y() - origin.y();
  p.width = g.width(), p.height = g.height();
  p.maximized = window->isMaximized();
  p.screen = screen ? static_cast<int>(QGuiApplication::screens().indexOf(screen)) : 0;
  return p;
}

void QtHost::setAlwaysOnTop(bool on) {
  if (!window) return;
  window->setWindowFlag(Qt::WindowStaysOnTopHint, on);
  window->show();
}

void QtHost::setPointerShape(PointerShape shape) {
  if (!canvas) return;
  switch (shape) {
    case PointerShape::Arrow:
      canvas->setCursor(Qt::ArrowCursor);
      break;
    case PointerShape::Hand:
      canvas->setCursor(Qt::OpenHandCursor);
      break;
    case PointerShape::Hidden:
      canvas->setCursor(Qt::BlankCursor);
      break;
  }
}

void QtHost::capturePointer(bool on) {
  if (!canvas) return;
  if (on)
    canvas->grabMouse();
  else
    canvas->releaseMouse();
}

void QtHost::confinePointer(bool on, int left, int top, int right, int bottom) {
  confined_ = on && left <= right && top <= bottom;
  confineLeft_ = left, confineTop_ = top, confineRight_ = right, confineBottom_ = bottom;
}

QPoint QtHost::confine(const QPoint& p) const {
  if (!confined_) return p;
  return QPoint(std::clamp(p.x(), confineLeft_, confineRight_), std::clamp(p.y(), confineTop_, confineBottom_));
}

void QtHost::warpPointer(int x, int y) {
  if (canvas && canvas->isVisible()) QCursor::setPos(canvas->mapToGlobal(QPoint(x, y)));
}

void QtHost::attachMenuBar(bool on) {
  if (!window || window->menuBar()->isVisible() == on) return;
  window->menuBar()->setVisible(on);
  // The canvas takes its new place at once, so that the drawing area and the
  // pointer positions that follow are those of the new layout.
  if (QLayout* layout = window->layout()) layout->activate();
}

void QtHost::showCrossHair(bool on) {
  if (canvas) canvas->setCrossHair(on);
}

void QtHost::openMenuBarMenu(char family, char item) {
  if (mainWindow) mainWindow->openMenu(family, item);
}

void QtHost::trackPopupMenu(int popup, int x, int y) {
  if (mainWindow && canvas) mainWindow->showPopup(popup, canvas->mapToGlobal(QPoint(x, y)));
}

bool QtHost::discardPendingKeys() { return pendingKeys_->take(); }

void QtHost::quit() {
  if (onQuit) onQuit();
}

}  // namespace trelmo::app
