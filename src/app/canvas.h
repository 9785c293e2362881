// The drawing area of the main window: a pixel buffer that the core draws
// into directly (the design and the status bar) and that the widget shows.
#pragma once
#include <QImage>
#include <QRegion>
#include <QWidget>
#include <string>
#include <vector>

#include "app/redraw_interrupt.h"
#include "app/status_bar.h"
#include "resources/pixel_format.h"
#include "screen/surface.h"

namespace trelmo {
struct Context;
}

namespace trelmo::app {

class Canvas : public QWidget {
 public:
  // `format` is one of RGB32, RGB16 (5-6-5), RGB555, BGR888 (24 bits, blue
  // first as the core writes them) or Indexed8 (the screen palette).
  explicit Canvas(Context& ctx, QImage::Format format = QImage::Format_RGB32, QWidget* parent = nullptr);
  ~Canvas() override;

  static bool supported(QImage::Format format);
  static PixelFormat pixelFormatFor(QImage::Format format);

  const QImage& image() const { return image_; }
  // The drawing area (without the status bar) in widget pixels, inclusive.
  Rect drawingArea() const;

  // Draws the core's dirty rectangles (the whole drawing area when there are
  // none) and the status bar, and repaints what changed.
  void redrawDesign();
  void redrawStatusBar();
  void setClock(const std::string& clock);
  // A status message or help line; empty brings back the readouts.
  void setMessage(const std::string& text);
  void setStatusLeftMargin(int pixels);
  // What the status bar shows now.
  StatusBarText statusText() const;

  // The cross-hair of TRELMO mode, drawn by exclusive-or over the picture at
  // the view's cursor pixel (thick when the preference says so), or the
  // rubber rectangle from a first corner while one is set; followCursor
  // moves it there after input.
  void setCrossHair(bool on);
  void followCursor();
  bool crossHairDrawn() const { return crossHairDrawn_; }

  RedrawInterrupt& redrawInterrupt() { return interrupt_; }

  // Rectangles drawn by the last redraw or resize, for tests.
  const std::vector<Rect>& lastDrawn() const { return lastDrawn_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void reallocate(const QSize& size);
  void drawRects(const std::vector<Rect>& rects);
  void detach();
  void toggleCrossHair();  // exclusive-or at crossX_/crossY_ (and the corner)

  Context& ctx_;
  QImage image_;
  std::string clock_, message_;
  int statusLeftMargin_ = 0;
  std::vector<Rect> lastDrawn_;
  bool crossHairOn_ = false, crossHairThick_ = false, crossHairDrawn_ = false;
  int64_t crossX_ = 0, crossY_ = 0;
  bool rubber_ = false;
  int64_t cornerX_ = 0, cornerY_ = 0;
  RedrawInterrupt interrupt_{this};
  QRegion paintAfterRedraw_;  // painting asked for while a redraw ran
};

// The strips of a drawing area grown from `before` to `after` (both inclusive,
// top-left fixed) that hold no picture yet: the new right and bottom edges.
std::vector<Rect> exposedStrips(const Rect& before, const Rect& after);

}  // namespace trelmo::app
