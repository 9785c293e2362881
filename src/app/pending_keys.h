// Looks into the window system's input queue while a keystroke macro runs:
// key presses waiting there are taken out (the macro asks whether to go on),
// other input is held back and handed on, in its order, afterwards.
#pragma once
#include <QObject>
#include <QPointer>
#include <memory>
#include <utility>
#include <vector>

class QEvent;

namespace trelmo::app {

class PendingKeys : public QObject {
 public:
  // True when key presses were waiting; they are gone now.
  bool take();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool looking_ = false;
  int presses_ = 0;
  std::vector<std::pair<QPointer<QObject>, std::unique_ptr<QEvent>>> held_;
};

}  // namespace trelmo::app
