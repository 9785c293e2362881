// The desktop editor. At this stage: a main window that opens the files named
// on the command line through the reader chain and shows what they hold.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>

#include "app/qt_host.h"
#include "context.h"
#include "database/design_files.h"
#include "database/walk.h"
#include "files/reader_chain.h"

namespace {

QString summary(trelmo::Context& ctx, const QString& path, char format) {
  long counts[6] = {0, 0, 0, 0, 0, 0};
  trelmo::Handle cur = ctx.current;
  while (trelmo::anyItem(ctx.pool, cur) != 0) ++counts[ctx.rec(cur).type()];
  return QString("<h3>%1</h3><p>Format: %2 (%3)</p><p>Lines: %4<br>Arcs: %5<br>Pads: %6<br>Texts: %7</p>")
      .arg(path.toHtmlEscaped())
      .arg(QChar(format))
      .arg(trelmo::formatName(format))
      .arg(counts[1])
      .arg(counts[2])
      .arg(counts[3])
      .arg(counts[4]);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("TRELMO");
  trelmo::app::QtHost host;
  trelmo::Context ctx(host);
  QMainWindow window;
  window.setMinimumSize(300, 200);
  window.resize(900, 650);
  auto* label = new QLabel(&window);
  label->setAlignment(Qt::AlignCenter);
  label->setTextFormat(Qt::RichText);
  window.setCentralWidget(label);
  host.window = &window;
  QString text;
  const QStringList files = QApplication::arguments().mid(1);
  for (const QString& f : files) {
    const std::string path = f.toStdString();
    if (trelmo::newDesignFile(ctx, path) == trelmo::kNull) continue;
    const char format = trelmo::readFile(ctx, path, 0);
    if (format == 0) {
      QMessageBox::warning(&window, "TRELMO'98", "Cannot open " + f);
      trelmo::closeDesignFile(ctx, ctx.current);
      continue;
    }
    window.setWindowTitle("TRELMO - " + f);
    text += summary(ctx, f, format);
  }
  label->setText(text.isEmpty() ? QString("TRELMO") : text);
  window.show();
  return QApplication::exec();
}
