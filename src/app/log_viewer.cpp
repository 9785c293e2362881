#include "app/log_viewer.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QVBoxLayout>

#include "context.h"

namespace trelmo::app {

LogViewer::LogViewer(QWidget* parent) : QDialog(parent), text_(new QPlainTextEdit(this)) {
  setObjectName("ViewBox");
  setModal(false);
  text_->setReadOnly(true);
  text_->setLineWrapMode(QPlainTextEdit::NoWrap);
  text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(text_);
  resize(720, 420);
}

void LogViewer::attach(Context& ctx) {
  ctx.nets.logOpened = [this](Context& c) { restart(c); };
  ctx.nets.logLineAdded = [this](Context& c) { catchUp(c); };
}

void LogViewer::restart(const Context& ctx) {
  hide();
  text_->clear();
  shown_ = 0;
  setWindowTitle(QString::fromStdString(ctx.nets.log.path));
  catchUp(ctx);
  show();
  raise();
}

void LogViewer::catchUp(const Context& ctx) {
  const std::vector<std::string>& lines = ctx.nets.log.lines;
  for (; shown_ < lines.size(); ++shown_) text_->appendPlainText(QString::fromLatin1(lines[shown_]));
  text_->verticalScrollBar()->setValue(text_->verticalScrollBar()->maximum());
  // Repainted as it grows, even while the scan keeps the event loop busy.
  text_->viewport()->repaint();
}

QString LogViewer::text() const { return text_->toPlainText(); }

}  // namespace trelmo::app
