#include "app/image_editor_window.h"

#include <QButtonGroup>
#include <QColorDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <cstdlib>

#include "context.h"
#include "image/image_editor.h"
#include "image/image_functions.h"

namespace trelmo::app {

namespace {

constexpr int kGridSide = 15;  // pixels across the magnified grid
constexpr int kCell = 16;      // screen pixels per picture pixel
constexpr int kPaletteCell = 12;

QColor colourOf(int64_t rgb) { return QColor((rgb >> 16) & 255, (rgb >> 8) & 255, rgb & 255); }

std::string fieldValue(const DialogBox& box, const char* name) {
  for (const DialogField& f : box.fields)
    if (f.name == name) return f.value;
  return {};
}

void keepKeyboardAway(QWidget* w) { w->setFocusPolicy(Qt::NoFocus); }

}  // namespace

// The pixels around the cursor's pixel, magnified; the cursor's pixel is
// framed. A click applies the mode with the left or the right colour.
class PixelGrid : public QWidget {
 public:
  PixelGrid(Context& ctx, QWidget* parent) : QWidget(parent), ctx_(ctx) {
    setObjectName("pixelGrid");
    setFixedSize(kGridSide * kCell, kGridSide * kCell);
    setCursor(Qt::CrossCursor);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const PixelNeighbourhood n = pixelNeighbourhood(ctx_, kGridSide);
    for (int r = 0; r < n.side; ++r) {
      for (int c = 0; c < n.side; ++c) {
        const QRect cell(c * kCell, r * kCell, kCell, kCell);
        const int64_t rgb = n.colours[size_t(r) * n.side + c];
        if (rgb < 0)
          p.fillRect(cell, QBrush(QColor(64, 64, 64), Qt::BDiagPattern));
        else
          p.fillRect(cell, colourOf(rgb));
      }
    }
    const int half = n.side / 2;
    const QRect centre(half * kCell, half * kCell, kCell - 1, kCell - 1);
    p.setPen(QPen(Qt::black, 1));
    p.drawRect(centre);
    p.setPen(QPen(Qt::white, 1, Qt::DotLine));
    p.drawRect(centre.adjusted(1, 1, -1, -1));
  }

  void mousePressEvent(QMouseEvent* e) override {
    const bool right = e->button() == Qt::RightButton;
    if (e->button() != Qt::LeftButton && !right) return;
    const PixelNeighbourhood n = pixelNeighbourhood(ctx_, kGridSide);
    const int half = n.side / 2;
    const int64_t col = n.col + int(e->position().x()) / kCell - half;
    const int64_t row = n.row + int(e->position().y()) / kCell - half;
    if (col < 0 || row < 0 || col > UINT32_MAX || row > UINT32_MAX) {
      ctx_.host->sound(Sound::Beep);
      return;
    }
    applyImageEditor(ctx_, static_cast<uint32_t>(col), static_cast<uint32_t>(row), right);
  }

 private:
  Context& ctx_;
};

// The 256 palette entries of an 8-bit picture as they are shown; a click
// makes an entry the left or the right colour.
class PaletteView : public QWidget {
 public:
  PaletteView(Context& ctx, QWidget* parent) : QWidget(parent), ctx_(ctx) {
    setObjectName("palette");
    setFixedSize(16 * kPaletteCell, 16 * kPaletteCell);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const PixelImage* img = currentImage(ctx_);
    if (!img) return;
    for (int i = 0; i < 256; ++i)
      p.fillRect((i % 16) * kPaletteCell, (i / 16) * kPaletteCell, kPaletteCell, kPaletteCell,
                 colourOf(shownColour(*img, static_cast<uint8_t>(i))));
    const ImageEditorState& s = imageEditor(ctx_);
    auto mark = [&](uint8_t i, const QColor& colour) {
      p.setPen(QPen(colour, 2));
      p.drawRect((i % 16) * kPaletteCell + 1, (i / 16) * kPaletteCell + 1, kPaletteCell - 2, kPaletteCell - 2);
    };
    mark(s.right.index, Qt::red);
    mark(s.left.index, Qt::green);
  }

  void mousePressEvent(QMouseEvent* e) override {
    const bool right = e->button() == Qt::RightButton;
    if (e->button() != Qt::LeftButton && !right) return;
    const int i = int(e->position().y()) / kPaletteCell * 16 + int(e->position().x()) / kPaletteCell;
    if (i >= 0 && i < 256) setEditorColour(ctx_, right, true, static_cast<uint32_t>(i));
  }

 private:
  Context& ctx_;
};

ImageEditorWindow::ImageEditorWindow(Context& ctx, QWidget* parent) : QDialog(parent, Qt::Tool), ctx_(ctx) {
  setObjectName("QueryImageBox");
  setWindowTitle("Image Editor");
  setAttribute(Qt::WA_ShowWithoutActivating);
  setWindowFlag(Qt::WindowDoesNotAcceptFocus);
  auto* layout = new QHBoxLayout(this);
  auto* left = new QVBoxLayout;
  grid_ = new PixelGrid(ctx, this);
  left->addWidget(grid_);
  picture_ = new QLabel(this);
  pixel_ = new QLabel(this);
  value_ = new QLabel(this);
  for (QLabel* l : {picture_, pixel_, value_}) left->addWidget(l);
  left->addStretch();
  layout->addLayout(left);

  auto* right = new QVBoxLayout;
  auto* modes = new QButtonGroup(this);
  for (int m = 0; m < kPixelModes; ++m) {
    modes_[m] = new QRadioButton(pixelModeText(static_cast<PixelMode>(m)), this);
    modes_[m]->setObjectName(QString("mode%1").arg(m));
    modes->addButton(modes_[m], m);
    right->addWidget(modes_[m]);
  }
  connect(modes, &QButtonGroup::idClicked, this, [this](int m) { setEditorMode(ctx_, static_cast<PixelMode>(m)); });
  auto* colours = new QButtonGroup(this);
  paletteChoice_ = new QRadioButton("Palette", this);
  rgbChoice_ = new QRadioButton("24-Bit", this);
  paletteChoice_->setObjectName("palette0");
  rgbChoice_->setObjectName("palette1");
  colours->addButton(paletteChoice_, 0);
  colours->addButton(rgbChoice_, 1);
  auto* choice = new QHBoxLayout;
  choice->addWidget(paletteChoice_);
  choice->addWidget(rgbChoice_);
  right->addLayout(choice);
  connect(colours, &QButtonGroup::idClicked, this, [this](int id) { setEditorRgb(ctx_, id == 1); });

  auto* swatches = new QHBoxLayout;
  left_ = new QPushButton(this);
  right_ = new QPushButton(this);
  left_->setObjectName("leftColour");
  right_->setObjectName("rightColour");
  left_->setToolTip("Left colour (left button, Enter); click to choose a colour");
  right_->setToolTip("Right colour (right button); click to choose a colour");
  swatches->addWidget(left_);
  swatches->addWidget(right_);
  right->addLayout(swatches);
  connect(left_, &QPushButton::clicked, this, [this] { chooseColour(false); });
  connect(right_, &QPushButton::clicked, this, [this] { chooseColour(true); });
  palette_ = new PaletteView(ctx, this);
  right->addWidget(palette_);
  undo_ = new QPushButton("&Un-do", this);
  undo_->setObjectName("undo");
  connect(undo_, &QPushButton::clicked, this, [this] { undoImageEdit(ctx_); });
  right->addWidget(undo_);
  right->addStretch();
  layout->addLayout(right);
  for (QWidget* w : findChildren<QWidget*>()) keepKeyboardAway(w);
}

void ImageEditorWindow::chooseColour(bool right) {
  const std::string value = fieldValue(box_, right ? "right" : "left");
  QColor start = Qt::white;
  if (!value.empty() && value[0] == '#') start = QColor(QString::fromStdString(value));
  const QColor c = QColorDialog::getColor(start, this, right ? "Right Colour" : "Left Colour");
  if (c.isValid())
    setEditorColour(ctx_, right, false, (uint32_t(c.red()) << 16) | (uint32_t(c.green()) << 8) | c.blue());
}

void ImageEditorWindow::showSwatch(QPushButton* swatch, const std::string& value) {
  const ImageEditorState& s = imageEditor(ctx_);
  const uint32_t rgb = swatch == left_ ? s.left.rgb : s.right.rgb;
  swatch->setText(QString::fromStdString(value));
  const QColor c = colourOf(rgb);
  swatch->setStyleSheet(
      QString("background-color: %1; color: %2").arg(c.name(), c.lightness() > 128 ? "black" : "white"));
}

void ImageEditorWindow::refresh(const DialogBox& box) {
  box_ = box;
  const int mode = std::atoi(fieldValue(box, "mode").c_str());
  for (int m = 0; m < kPixelModes; ++m) {
    const QSignalBlocker quiet(modes_[m]);
    modes_[m]->setChecked(m == mode);
  }
  const bool rgb = fieldValue(box, "palette") == "1";
  const PixelImage* img = currentImage(ctx_);
  const bool rgbPicture = img && isRgbPicture(*img);
  {
    const QSignalBlocker a(paletteChoice_), b(rgbChoice_);
    paletteChoice_->setChecked(!rgb);
    rgbChoice_->setChecked(rgb);
    paletteChoice_->setEnabled(!rgbPicture);
  }
  palette_->setVisible(img && !rgbPicture);
  showSwatch(left_, fieldValue(box, "left"));
  showSwatch(right_, fieldValue(box, "right"));
  picture_->setText(QString::fromStdString(fieldValue(box, "picture")));
  pixel_->setText("Pixel: " + QString::fromStdString(fieldValue(box, "pixel")));
  value_->setText("Value: " + QString::fromStdString(fieldValue(box, "value")));
  undo_->setEnabled(fieldValue(box, "undoable") != "0");
  grid_->update();
  palette_->update();
}

std::string ImageEditorWindow::describe() const {
  std::string out = "QueryImageBox:";
  for (const DialogField& f : box_.fields)
    if (f.kind != DialogField::Label || !f.value.empty()) out += " " + f.name + "=" + f.value + ";";
  out += " | places: window=" + std::to_string(winId()) + ";";
  for (const QWidget* w : findChildren<QWidget*>()) {
    if (w->objectName().isEmpty() || !w->isVisible()) continue;
    const QPoint at = w->mapTo(this, QPoint(0, 0));
    out += " " + w->objectName().toStdString() + "=" + std::to_string(at.x()) + "," + std::to_string(at.y()) + "," +
           std::to_string(w->width()) + "," + std::to_string(w->height()) + ";";
  }
  return out;
}

}  // namespace trelmo::app
