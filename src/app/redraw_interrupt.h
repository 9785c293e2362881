// Lets a redraw give way to a waiting zoom key (I or O) or mouse click.
// While a redraw runs, poll() lets the window system deliver its input to an
// application-wide filter that holds user input back (to be delivered once
// the redraw ends) and notes whether any of it asks for a zoom.
#pragma once
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <memory>
#include <utility>
#include <vector>

class QEvent;

namespace trelmo::app {

class RedrawInterrupt : public QObject {
 public:
  // `target` is the widget whose clicks count as zoom clicks.
  explicit RedrawInterrupt(QObject* target);
  ~RedrawInterrupt() override;

  void begin();
  // Ends the redraw and hands the held-back input on, in its order.
  void end();
  // True when a zoom key or click has arrived since begin().
  bool poll();
  bool running() const { return running_; }
  bool zoomSeen() const { return zoomSeen_; }
  // Minimum time between two looks at the window system, in milliseconds.
  int pollInterval = 20;

  // Whether an input event asks for a zoom: the I or O key, or a mouse
  // button released over `target`.
  static bool isZoomInput(const QEvent* event, bool onTarget);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool overTarget(QObject* watched, QEvent* event) const;

  QPointer<QObject> target_;
  bool running_ = false, zoomSeen_ = false, polling_ = false;
  QElapsedTimer sinceLook_;
  std::vector<std::pair<QPointer<QObject>, std::unique_ptr<QEvent>>> held_;
};

}  // namespace trelmo::app
