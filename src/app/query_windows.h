// The Query menu's modeless windows: the five query boxes that show the item
// under the cursor, the file view (the whole file at small scale) and the
// quick zoom (a magnified view around the cursor). The core says what they
// show and when; these windows only display it, and tell the core when the
// user closes one.
#pragma once
#include <QDialog>
#include <QPoint>
#include <map>
#include <string>

#include "shell/host.h"

namespace trelmo {

struct Context;

namespace app {

class Canvas;
class ImageEditorWindow;

class QueryWindows : public QObject {
 public:
  QueryWindows(Context& ctx, Canvas* canvas, QWidget* parent);
  ~QueryWindows() override;
  // Plugs the windows into ctx's Query functions.
  void attach();
  QDialog* window(const std::string& name) const;
  // The open windows, one "NAME: label value | ..." line each (state read-out).
  std::string describe() const;

 private:
  void show(const DialogBox& box);
  void close(const std::string& name);
  void adopt(QDialog* d, const std::string& name);
  QDialog* make(const DialogBox& box);
  void showImageEditor(const DialogBox& box);
  bool isQueryBox(const std::string& name) const;

  Context& ctx_;
  Canvas* canvas_;
  QWidget* parent_;
  std::map<std::string, QDialog*> windows_;
  ImageEditorWindow* imageEditor_ = nullptr;
  std::string raftOwner_;  // the query box at the shared position
  QPoint raft_;
};

}  // namespace app
}  // namespace trelmo
