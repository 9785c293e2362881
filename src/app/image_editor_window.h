// The image editor's window ("QueryImageBox"): a magnified grid of the
// picture pixels around the cursor's pixel, the four modes, the palette
// choice, the left and right colour swatches and, for 8-bit pictures, the
// 256-entry palette. Clicking a grid pixel applies the mode there with the
// left or right colour. The window never takes the keyboard from the editor.
#pragma once
#include <QDialog>
#include <string>

#include "shell/host.h"

class QLabel;
class QPushButton;
class QRadioButton;

namespace trelmo {

struct Context;

namespace app {

class PixelGrid;
class PaletteView;

class ImageEditorWindow : public QDialog {
 public:
  ImageEditorWindow(Context& ctx, QWidget* parent);
  // Shows the core's box values and the pixels around the cursor again.
  void refresh(const DialogBox& box);
  // "QueryImageBox: mode=1; ... | places: pixelGrid=x,y,w,h; mode0=...": the
  // values, then where the controls lie in the window (for tests that click).
  std::string describe() const;

 private:
  void chooseColour(bool right);
  void showSwatch(QPushButton* swatch, const std::string& value);

  Context& ctx_;
  PixelGrid* grid_;
  PaletteView* palette_;
  QRadioButton* modes_[4];
  QRadioButton* paletteChoice_;
  QRadioButton* rgbChoice_;
  QPushButton* left_;
  QPushButton* right_;
  QPushButton* undo_;
  QLabel* picture_;
  QLabel* pixel_;
  QLabel* value_;
  DialogBox box_;
};

}  // namespace app
}  // namespace trelmo
