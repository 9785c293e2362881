// The log viewer ("ViewBox"): a modeless window that shows a log while it is
// written, one line after the other, scrolled to the end. A new log closes
// the previous one's view.
#pragma once
#include <QDialog>

class QPlainTextEdit;

namespace trelmo {

struct Context;

namespace app {

class LogViewer : public QDialog {
 public:
  explicit LogViewer(QWidget* parent = nullptr);
  // Plugs the viewer into the log writer of ctx (Display Logs).
  void attach(Context& ctx);
  // The log of ctx starts: the window shows it, empty but for its first line.
  void restart(const Context& ctx);
  // The lines of ctx's log not shown yet.
  void catchUp(const Context& ctx);
  QString text() const;

 private:
  QPlainTextEdit* text_;
  size_t shown_ = 0;
};

}  // namespace app
}  // namespace trelmo
