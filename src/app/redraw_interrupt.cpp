#include "app/redraw_interrupt.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace trelmo::app {

namespace {

// Events held back until the redraw ends: input, and whatever would resize,
// close or rearrange the window under the drawing.
bool isHeldBack(QEvent::Type t) {
  switch (t) {
    case QEvent::Resize:
    case QEvent::Move:
    case QEvent::Close:
    case QEvent::WindowStateChange:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::ShortcutOverride:
      return true;
    default:
      return false;
  }
}

}  // namespace

bool RedrawInterrupt::overTarget(QObject* watched, QEvent* event) const {
  if (!target_ || event->type() != QEvent::MouseButtonRelease) return false;
  if (watched == target_) return true;
  // The window system hands clicks to the top-level window first.
  auto* widget = qobject_cast<QWidget*>(target_.data());
  if (!widget || !widget->window() || watched != widget->window()->windowHandle()) return false;
  const QPoint at = widget->mapFrom(widget->window(), static_cast<QMouseEvent*>(event)->position().toPoint());
  return widget->rect().contains(at);
}

RedrawInterrupt::RedrawInterrupt(QObject* target) : target_(target) {}

RedrawInterrupt::~RedrawInterrupt() {
  if (running_) end();
}

bool RedrawInterrupt::isZoomInput(const QEvent* event, bool onTarget) {
  if (event->type() == QEvent::KeyPress) {
    const auto* k = static_cast<const QKeyEvent*>(event);
    if (k->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return false;
    return k->key() == Qt::Key_I || k->key() == Qt::Key_O;
  }
  return event->type() == QEvent::MouseButtonRelease && onTarget;
}

void RedrawInterrupt::begin() {
  running_ = true;
  zoomSeen_ = false;
  held_.clear();
  sinceLook_.start();
  QCoreApplication::instance()->installEventFilter(this);
}

void RedrawInterrupt::end() {
  if (!running_) return;
  running_ = false;
  QCoreApplication::instance()->removeEventFilter(this);
  auto held = std::move(held_);
  held_.clear();
  for (auto& [receiver, event] : held)
    if (receiver) QCoreApplication::postEvent(receiver, event.release());
}

bool RedrawInterrupt::poll() {
  if (!running_) return false;
  if (polling_) return zoomSeen_;
  if (!zoomSeen_ && sinceLook_.elapsed() >= pollInterval) {
    sinceLook_.restart();
    polling_ = true;
    QCoreApplication::processEvents(QEventLoop::ExcludeSocketNotifiers);
    polling_ = false;
  }
  return zoomSeen_;
}

bool RedrawInterrupt::eventFilter(QObject* watched, QEvent* event) {
  if (!polling_) return false;
  // Timers fire again when their time comes round: nothing may run inside
  // the redraw.
  if (event->type() == QEvent::Timer) return true;
  if (!isHeldBack(event->type())) return false;
  if (isZoomInput(event, overTarget(watched, event))) zoomSeen_ = true;
  held_.emplace_back(watched, std::unique_ptr<QEvent>(event->clone()));
  return true;
}

}  // namespace trelmo::app
