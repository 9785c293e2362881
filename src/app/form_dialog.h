// One dialog for every box the core describes as data: a form of labels,
// text fields, check boxes, choice lists and radio groups with OK and Cancel.
#pragma once
#include <QDialog>
#include <vector>

#include "shell/host.h"

class QWidget;

namespace trelmo::app {

class FormDialog : public QDialog {
 public:
  FormDialog(DialogBox& box, QWidget* parent = nullptr);

  // Copies the controls back into the box's field values.
  void collect();
  // The control made for a field, for tests; null for labels and unknown names.
  QWidget* control(const std::string& name) const;

 private:
  struct Entry {
    DialogField* field;
    QWidget* widget;
    std::vector<QWidget*> radios;
  };
  DialogBox& box_;
  std::vector<Entry> entries_;
};

// Shows the form modally; the box's values are updated only when OK is chosen.
bool runFormDialog(DialogBox& box, QWidget* parent);

}  // namespace trelmo::app
