#include "app/window_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace trelmo::app {

namespace {

// The track in a 64-unit square: from the lower-left pad up, then at 45
// degrees to the right, then along to the upper-right pad.
QPainterPath trackPath() {
  QPainterPath p(QPointF(17, 47));
  p.lineTo(17, 36);
  p.lineTo(36, 17);
  p.lineTo(47, 17);
  return p;
}

void drawPad(QPainter& p, QPointF centre) {
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0xE0, 0xA8, 0x3C));
  p.drawEllipse(centre, 8.5, 8.5);
  p.setBrush(QColor(0x10, 0x3A, 0x22));
  p.drawEllipse(centre, 3.2, 3.2);
}

}  // namespace

QImage drawIcon(int size, int frame) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 64.0, size / 64.0);
  // The board.
  p.setPen(QPen(QColor(0x0C, 0x30, 0x1B), 2));
  p.setBrush(QColor(0x1F, 0x7A, 0x45));
  p.drawRoundedRect(QRectF(3, 3, 58, 58), 9, 9);
  // The track and its pads.
  const QPainterPath track = trackPath();
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(0xE0, 0xA8, 0x3C), 7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(track);
  drawPad(p, QPointF(17, 47));
  drawPad(p, QPointF(47, 17));
  if (frame > 0) {
    // The spark runs from one pad to the other over the frames.
    const QPointF at = track.pointAtPercent(static_cast<double>((frame - 1) % kIconFrames) / (kIconFrames - 1));
    QRadialGradient glow(at, 9);
    glow.setColorAt(0, QColor(255, 255, 220, 255));
    glow.setColorAt(0.4, QColor(255, 240, 150, 200));
    glow.setColorAt(1, QColor(255, 220, 100, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(at, 9, 9);
  }
  return image;
}

QIcon stillIcon() {
  QIcon icon;
  for (int size : kIconSizes) icon.addPixmap(QPixmap::fromImage(drawIcon(size)));
  return icon;
}

}  // namespace trelmo::app
