// The desktop editor: hands its command line to a running editor or starts
// one, and runs the heartbeat until File Exit.
#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QScreen>

#include "app/canvas.h"
#include "app/main_window.h"
#include "app/qt_host.h"
#include "app/single_instance.h"
#include "context.h"
#include "shell/command_line.h"

namespace {

// The buffer format for the screen's depth; 24 bits are kept as 32 bits per
// pixel in the buffer (the display converts).
QImage::Format canvasFormat(int depth) {
  switch (depth) {
    case 8:
      return QImage::Format_Indexed8;
    case 16:
      return QImage::Format_RGB16;
    default:
      return QImage::Format_RGB32;
  }
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setOrganizationName("TRELMO");
  QApplication::setApplicationName("TRELMO'98");
  const std::string commandLine = trelmo::app::handOffCommandLine(QApplication::arguments().mid(1));
  const QString name = trelmo::app::instanceName();
  if (trelmo::app::handOff(name, commandLine) == trelmo::app::HandOff::Taken) return 0;

  QScreen* screen = QGuiApplication::primaryScreen();
  const int depth = screen ? screen->depth() : 32;
  if (depth != 8 && depth != 16 && depth != 24 && depth != 32) {
    QMessageBox::critical(nullptr, "TRELMO'98", "This Program requires 8, 16, 24, or 32 bpp video mode.");
    return 0;
  }

  trelmo::app::QtHost host;
  trelmo::Context ctx(host);
  // Ctrl-Q shows the program's command line.
  ctx.shell.commandLine = QApplication::arguments().join(' ').toStdString();
  // An installed editor finds its TEMPLATE and LIBRARY folders beside it.
  const QString installed = QApplication::applicationDirPath() + "/../share/trelmo";
  if (qEnvironmentVariableIsEmpty("TRELMO_DATA_DIR") && QFileInfo::exists(installed + "/TEMPLATE"))
    ctx.paths.resources = QFileInfo(installed).canonicalFilePath().toStdString();
  trelmo::app::MainWindow window(ctx, host, canvasFormat(depth));
  trelmo::app::InstanceServer server(name, [&window](const std::string& line) {
    if (trelmo::parseCommandLine(line).files.empty()) return false;
    QMetaObject::invokeMethod(
        &window, [&window, line] { window.openHandedOver(line); }, Qt::QueuedConnection);
    return true;
  });
  trelmo::queueCommandLine(ctx, trelmo::parseCommandLine(commandLine));
  window.placeAndShow();
  window.startHeartbeat();
  return QApplication::exec();
}
