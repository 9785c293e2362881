#include "app/pending_keys.h"

#include <QCoreApplication>
#include <QEvent>

namespace trelmo::app {

namespace {

bool isKey(QEvent::Type t) { return t == QEvent::KeyPress || t == QEvent::KeyRelease || t == QEvent::ShortcutOverride; }

// Input that must not reach the editor in the middle of a macro.
bool isOtherInput(QEvent::Type t) {
  switch (t) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::Close:
      return true;
    default:
      return false;
  }
}

}  // namespace

bool PendingKeys::take() {
  if (looking_) return false;
  looking_ = true;
  presses_ = 0;
  QCoreApplication::instance()->installEventFilter(this);
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  QCoreApplication::instance()->removeEventFilter(this);
  looking_ = false;
  auto held = std::move(held_);
  held_.clear();
  for (auto& [receiver, event] : held)
    if (receiver) QCoreApplication::postEvent(receiver, event.release());
  return presses_ > 0;
}

bool PendingKeys::eventFilter(QObject* watched, QEvent* event) {
  if (!looking_) return false;
  const QEvent::Type t = event->type();
  // Timers come round again: nothing else may run inside the macro.
  if (t == QEvent::Timer) return true;
  if (isKey(t)) {
    if (t == QEvent::KeyPress) ++presses_;
    return true;
  }
  if (!isOtherInput(t)) return false;
  held_.emplace_back(watched, std::unique_ptr<QEvent>(event->clone()));
  return true;
}

}  // namespace trelmo::app
