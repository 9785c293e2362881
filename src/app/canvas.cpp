#include "app/canvas.h"

#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <algorithm>
#include <cstring>
#include <utility>

#include "context.h"
#include "screen/draw_items.h"
#include "screen/redraw.h"
#include "screen/view.h"

namespace trelmo::app {

namespace {

QRect toQRect(const Rect& r) { return QRect(QPoint(r.left, r.top), QPoint(r.right, r.bottom)); }

}  // namespace

std::vector<Rect> exposedStrips(const Rect& before, const Rect& after) {
  std::vector<Rect> strips;
  if (before.empty()) {
    if (!after.empty()) strips.push_back(after);
    return strips;
  }
  if (after.right > before.right) strips.push_back({before.right + 1, after.top, after.right, after.bottom});
  if (after.bottom > before.bottom)
    strips.push_back({after.left, before.bottom + 1, std::min(before.right, after.right), after.bottom});
  return strips;
}

Canvas::Canvas(Context& ctx, QImage::Format format, QWidget* parent) : QWidget(parent), ctx_(ctx) {
  if (!supported(format)) format = QImage::Format_RGB32;
  image_ = QImage(1, 1, format);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  ctx_.screen.zoomPending = [this] { return interrupt_.poll(); };
}

Canvas::~Canvas() {
  ctx_.screen.zoomPending = nullptr;
  detach();
}

void Canvas::detach() {
  // The core must never keep a pointer into a buffer that is gone.
  if (ctx_.screen.surface.pixels() == image_.bits()) ctx_.screen.surface = Surface();
}

bool Canvas::supported(QImage::Format format) {
  switch (format) {
    case QImage::Format_RGB32:
    case QImage::Format_RGB16:
    case QImage::Format_RGB555:
    case QImage::Format_BGR888:
    case QImage::Format_Indexed8:
      return true;
    default:
      return false;
  }
}

PixelFormat Canvas::pixelFormatFor(QImage::Format format) {
  switch (format) {
    case QImage::Format_RGB16:
      return PixelFormat::rgb565();
    case QImage::Format_RGB555:
      return PixelFormat::rgb555();
    case QImage::Format_BGR888:
      return PixelFormat::depth(24);
    case QImage::Format_Indexed8:
      return PixelFormat::depth(8);
    default:
      return PixelFormat::depth(32);
  }
}

Rect Canvas::drawingArea() const { return ctx_.view.area; }

void Canvas::reallocate(const QSize& size) {
  const QSize s(std::max(size.width(), 1), std::max(size.height(), kStatusBarRows + 1));
  QImage next(s, image_.format());
  if (next.isNull()) return;  // no memory: keep the old buffer
  if (image_.format() == QImage::Format_Indexed8) {
    QList<QRgb> table;
    for (uint32_t c : screenPalette()) table.push_back(0xFF000000u | c);
    next.setColorTable(table);
  }
  next.fill(0);
  const bool hadPicture = ctx_.screen.surface.valid() && ctx_.screen.surface.pixels() == image_.bits();
  const Rect before = hadPicture ? ctx_.view.area : Rect{};
  const bool crossHair = crossHairDrawn_;
  if (hadPicture) {
    // Keep what is already drawn (without the cross-hair); only the
    // uncovered strips are drawn again.
    if (crossHair) toggleCrossHair();
    const int rows = std::min(image_.height(), next.height());
    const int bytes = std::min(image_.bytesPerLine(), next.bytesPerLine());
    for (int y = 0; y < rows; ++y) std::memcpy(next.scanLine(y), image_.constScanLine(y), bytes);
  }
  crossHairDrawn_ = false;
  const int oldHeight = ctx_.view.screenHeight;
  detach();
  image_ = std::move(next);
  attachSurface(ctx_, image_.bits(), static_cast<int>(image_.bytesPerLine()), image_.width(), image_.height(),
                pixelFormatFor(image_.format()), true);
  // Pixel rows count up from the surface bottom: keep the picture where it
  // was relative to the top-left corner.
  if (hadPicture) ctx_.view.viewOriginY -= image_.height() - oldHeight;
  drawRects(exposedStrips(before, ctx_.view.area));
  redrawStatusBar();
  if (crossHair) followCursor();
}

void Canvas::drawRects(const std::vector<Rect>& rects) {
  lastDrawn_.clear();
  if (rects.empty() || !ctx_.screen.surface.valid()) return;
  // The cross-hair is taken off first so that no half of it stays behind.
  const bool crossHair = crossHairDrawn_;
  if (crossHair) toggleCrossHair();
  ctx_.screen.dirty = rects;
  drawDesign(ctx_, true);
  if (crossHair) toggleCrossHair();
  ctx_.screen.dirty.clear();
  ctx_.screen.surface.setClip(ctx_.view.area);
  lastDrawn_ = rects;
  for (const Rect& r : rects) update(toQRect(r));
}

void Canvas::redrawDesign() {
  if (!ctx_.screen.surface.valid()) return;
  refreshScreenPixels(ctx_);
  std::vector<Rect> rects;
  for (const Rect& r : ctx_.screen.dirty) {
    const Rect cut = intersect(r, ctx_.view.area);
    if (!cut.empty()) rects.push_back(cut);
  }
  if (rects.empty()) rects.push_back(ctx_.view.area);
  // Only these redraws give way to a zoom key or click: a resize draws the
  // new strips at once.
  interrupt_.begin();
  drawRects(rects);
  interrupt_.end();
  if (!paintAfterRedraw_.isEmpty()) update(std::exchange(paintAfterRedraw_, QRegion()));
  redrawStatusBar();
}

void Canvas::redrawStatusBar() {
  Surface& s = ctx_.screen.surface;
  if (!s.valid() || s.pixels() != image_.bits()) return;
  drawStatusBar(s, ctx_.view.area, statusText(), StatusBarColours{}, statusLeftMargin_);
  s.setClip(ctx_.view.area);
  update(QRect(0, ctx_.view.area.bottom + 1, image_.width(), image_.height() - ctx_.view.area.bottom - 1));
}

StatusBarText Canvas::statusText() const { return statusBarText(ctx_, message_, clock_); }

void Canvas::setClock(const std::string& clock) {
  if (clock == clock_) return;
  clock_ = clock;
  redrawStatusBar();
}

void Canvas::setMessage(const std::string& text) {
  message_ = text;
  redrawStatusBar();
}

void Canvas::setStatusLeftMargin(int pixels) {
  statusLeftMargin_ = std::max(pixels, 0);
  redrawStatusBar();
}

void Canvas::toggleCrossHair() {
  Surface& s = ctx_.screen.surface;
  if (!s.valid() || s.pixels() != image_.bits()) return;
  const Rect area = ctx_.view.area;
  s.setClip(area);
  crossHairDrawn_ = !crossHairDrawn_;
  if (rubber_) {
    s.xorRubberRectangle(cornerX_, cornerY_, crossX_, crossY_, area);
    update(QRect(area.left, area.top, area.right - area.left + 1, area.bottom - area.top + 1));
    return;
  }
  s.xorCrossHair(crossX_, crossY_, area, crossHairThick_);
  const int64_t x = std::clamp<int64_t>(crossX_, area.left, area.right);
  const int64_t y = std::clamp<int64_t>(crossY_, area.top, area.bottom);
  update(QRect(area.left, static_cast<int>(y) - 2, area.right - area.left + 1, 5));
  update(QRect(static_cast<int>(x) - 2, area.top, 5, area.bottom - area.top + 1));
}

void Canvas::setCrossHair(bool on) {
  const bool thick = ctx_.shell.prefs.thickCrossHair;
  if (crossHairDrawn_ && (!on || thick != crossHairThick_)) toggleCrossHair();
  crossHairOn_ = on;
  crossHairThick_ = thick;
  followCursor();
}

void Canvas::followCursor() {
  const View& v = ctx_.view;
  const RubberBand& band = ctx_.screen.rubber;
  const int64_t x = v.cursorPixelX, y = v.cursorPixelY;
  const int64_t cx = band.on ? worldToPixelX(v, band.x) : 0, cy = band.on ? worldToPixelY(v, band.y) : 0;
  const bool moved = x != crossX_ || y != crossY_ || band.on != rubber_ || cx != cornerX_ || cy != cornerY_;
  if (crossHairDrawn_ && moved) toggleCrossHair();
  if (crossHairOn_ && !crossHairDrawn_) {
    crossX_ = x, crossY_ = y;
    rubber_ = band.on, cornerX_ = cx, cornerY_ = cy;
    toggleCrossHair();
  }
}

void Canvas::paintEvent(QPaintEvent* event) {
  // A redraw that looks at input lets paint events through, while it (and
  // the thread of its second band) still writes these pixels: they are
  // painted once it is done, and the window keeps its last picture till then.
  if (interrupt_.running()) {
    paintAfterRedraw_ += event->region();
    return;
  }
  QPainter p(this);
  for (const QRect& r : event->region()) p.drawImage(r, image_, r);
}

void Canvas::resizeEvent(QResizeEvent* event) {
  if (event->size() != image_.size()) reallocate(event->size());
}

}  // namespace trelmo::app
