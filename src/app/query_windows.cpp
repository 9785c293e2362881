#include "app/query_windows.h"

#include <QFormLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "app/canvas.h"
#include "app/image_editor_window.h"
#include "context.h"
#include "database/rings.h"
#include "database/walk.h"
#include "edit/query_boxes.h"

namespace trelmo::app {

namespace {

constexpr int kViewWidth = 320, kViewHeight = 240;
constexpr int kZoomWidth = 240, kZoomHeight = 180, kZoomFactor = 4;

QColor layerColour(const Context& ctx, int layer) {
  const uint32_t c = ctx.layer(layer).color;
  return QColor((c >> 16) & 255, (c >> 8) & 255, c & 255);
}

// The whole file at small scale: every shown item in its layer's colour.
class FileView : public QWidget {
 public:
  explicit FileView(Context& ctx, QWidget* parent) : QWidget(parent), ctx_(ctx) {
    setFixedSize(kViewWidth, kViewHeight);
    setObjectName("fileView");
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    if (ctx_.current == kNull) return;
    const ItemBox b = ringBounds(ctx_.pool, ctx_.current);
    const double w = std::max<double>(1, double(b.x1 - b.x0)), h = std::max<double>(1, double(b.y1 - b.y0));
    const double scale = std::min((width() - 8) / w, (height() - 8) / h);
    auto px = [&](int64_t x) { return 4 + (x - b.x0) * scale; };
    auto py = [&](int64_t y) { return height() - 4 - (y - b.y0) * scale; };
    p.setRenderHint(QPainter::Antialiasing);
    Handle cursor = ctx_.current;
    while (anyItem(ctx_.pool, cursor) != 0) {
      const Record& r = ctx_.rec(cursor);
      if (ctx_.layer(r.layer).color & kColorDisabled) continue;
      const QColor colour = layerColour(ctx_, r.layer);
      p.setPen(QPen(colour, std::max(1.0, r.size * scale)));
      switch (r.type()) {
        case kLine:
          if (r.size != 0)
            p.drawLine(QPointF(px(r.x1), py(r.y1)), QPointF(px(r.w3), py(r.w4)));
          else
            p.fillRect(QRectF(QPointF(px(r.x1), py(r.w4)), QPointF(px(r.w3), py(r.y1))), colour);
          break;
        case kArc: {
          const double rad = std::abs(int64_t{item::radius(r)}) * scale;
          p.drawEllipse(QPointF(px(r.x1), py(r.y1)), rad, rad);
          break;
        }
        case kPad: {
          const double hx = std::max(1.0, item::padX(r) * scale / 2), hy = std::max(1.0, item::padY(r) * scale / 2);
          p.fillRect(QRectF(px(r.x1) - hx, py(r.y1) - hy, 2 * hx, 2 * hy), colour);
          break;
        }
        default:
          break;
      }
    }
    // Where the cursor is.
    p.setPen(QPen(Qt::white, 1));
    const QPointF c(px(ctx_.view.cursorX), py(ctx_.view.cursorY));
    p.drawLine(c - QPointF(4, 0), c + QPointF(4, 0));
    p.drawLine(c - QPointF(0, 4), c + QPointF(0, 4));
  }

 private:
  Context& ctx_;
};

// The pixels around the cursor, magnified.
class QuickZoom : public QWidget {
 public:
  QuickZoom(Context& ctx, Canvas* canvas, QWidget* parent) : QWidget(parent), ctx_(ctx), canvas_(canvas) {
    setFixedSize(kZoomWidth, kZoomHeight);
    setObjectName("quickZoom");
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    if (!canvas_) return;
    const int w = kZoomWidth / kZoomFactor, h = kZoomHeight / kZoomFactor;
    const QRect source(int(ctx_.view.cursorPixelX) - w / 2, int(ctx_.view.cursorPixelY) - h / 2, w, h);
    p.drawImage(rect(), canvas_->image().copy(source));
  }

 private:
  Context& ctx_;
  Canvas* canvas_;
};

}  // namespace

QueryWindows::QueryWindows(Context& ctx, Canvas* canvas, QWidget* parent)
    : QObject(parent), ctx_(ctx), canvas_(canvas), parent_(parent) {}

QueryWindows::~QueryWindows() {
  ctx_.edit.query.show = nullptr;
  ctx_.edit.query.close = nullptr;
}

void QueryWindows::attach() {
  ctx_.edit.query.show = [this](Context&, const DialogBox& box) { show(box); };
  ctx_.edit.query.close = [this](Context&, const std::string& name) { close(name); };
}

QDialog* QueryWindows::window(const std::string& name) const {
  auto it = windows_.find(name);
  return it == windows_.end() ? nullptr : it->second;
}

bool QueryWindows::isQueryBox(const std::string& name) const { return name.rfind("Query", 0) == 0; }

QDialog* QueryWindows::make(const DialogBox& box) {
  auto* d = new QDialog(parent_, Qt::Tool);
  d->setObjectName(QString::fromStdString(box.name));
  d->setWindowTitle(QString::fromStdString(box.title));
  d->setAttribute(Qt::WA_ShowWithoutActivating);
  if (box.name == "ViewBox" || box.name == "ZoomBox") {
    auto* layout = new QVBoxLayout(d);
    layout->setContentsMargins(2, 2, 2, 2);
    if (box.name == "ViewBox")
      layout->addWidget(new FileView(ctx_, d));
    else
      layout->addWidget(new QuickZoom(ctx_, canvas_, d));
  } else {
    auto* form = new QFormLayout(d);
    for (const DialogField& f : box.fields) {
      auto* value = new QLabel(d);
      value->setObjectName(QString::fromStdString(f.name));
      value->setMinimumWidth(120);
      form->addRow(QString::fromStdString(f.label), value);
    }
  }
  const std::string name = box.name;
  adopt(d, name);
  // The raft: a query box opening takes the shared position.
  if (isQueryBox(name) && ctx_.shell.prefs.queryRaft) {
    if (!raftOwner_.empty() && window(raftOwner_)) d->move(raft_);
    raftOwner_ = name;
  }
  d->show();
  if (isQueryBox(name)) raft_ = d->pos();
  return d;
}

// Closed by the user: the core's menu check goes, and the raft moves on.
void QueryWindows::adopt(QDialog* d, const std::string& name) {
  connect(d, &QDialog::finished, this, [this, name](int) {
    if (windows_.count(name) == 0) return;
    queryWindowClosed(ctx_, name);
    close(name);
  });
  windows_[name] = d;
}

// The image editor has a window of its own; it closes like the others.
void QueryWindows::showImageEditor(const DialogBox& box) {
  if (!imageEditor_) {
    imageEditor_ = new ImageEditorWindow(ctx_, parent_);
    adopt(imageEditor_, box.name);
    // Beside the drawing's right edge rather than over its middle, where the
    // cursor works.
    imageEditor_->adjustSize();
    if (parent_) {
      const QRect frame = parent_->frameGeometry();
      imageEditor_->move(std::max(frame.left(), frame.right() - imageEditor_->width() - 24), frame.top() + 80);
    }
    imageEditor_->show();
  }
  imageEditor_->refresh(box);
}

void QueryWindows::show(const DialogBox& box) {
  if (box.name == "QueryImageBox") return showImageEditor(box);
  QDialog* d = window(box.name);
  if (!d) d = make(box);
  for (const DialogField& f : box.fields)
    if (auto* value = d->findChild<QLabel*>(QString::fromStdString(f.name)))
      value->setText(QString::fromStdString(f.value));
  for (QWidget* w : d->findChildren<QWidget*>()) w->update();
}

void QueryWindows::close(const std::string& name) {
  QDialog* d = window(name);
  if (!d) return;
  windows_.erase(name);
  if (d == imageEditor_) imageEditor_ = nullptr;
  const QPoint where = d->pos();
  d->hide();
  d->deleteLater();
  if (name != raftOwner_) return;
  raftOwner_.clear();
  if (!ctx_.shell.prefs.queryRaft) return;
  // Another open query box moves to the shared position.
  for (auto& [other, w] : windows_) {
    if (!isQueryBox(other)) continue;
    w->move(where);
    raftOwner_ = other;
    raft_ = where;
    return;
  }
}

std::string QueryWindows::describe() const {
  std::string out;
  for (const auto& [name, d] : windows_) {
    if (!out.empty()) out += " || ";
    if (d == imageEditor_) {
      out += imageEditor_->describe();
      continue;
    }
    out += name + ":";
    for (const QLabel* l : d->findChildren<QLabel*>())
      if (!l->objectName().isEmpty()) out += " " + l->objectName().toStdString() + "=" + l->text().toStdString();
  }
  return out;
}

}  // namespace trelmo::app
