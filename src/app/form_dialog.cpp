#include "app/form_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleValidator>
#include <QFormLayout>
#include <QGroupBox>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cstdlib>

namespace trelmo::app {

namespace {

// Dialog texts are 8-bit in the design's character set; Latin-1 keeps every
// byte and gives it back unchanged.
QString fromDesign(const std::string& s) { return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())); }
std::string toDesign(const QString& s) {
  const QByteArray b = s.toLatin1();
  return std::string(b.constData(), static_cast<size_t>(b.size()));
}

// A stored index outside the list selects nothing rather than a wrong entry.
int choiceIndex(const DialogField& f) {
  char* end = nullptr;
  const long v = std::strtol(f.value.c_str(), &end, 10);
  if (end == f.value.c_str() || v < 0 || v >= static_cast<long>(f.choices.size())) return -1;
  return static_cast<int>(v);
}

}  // namespace

FormDialog::FormDialog(DialogBox& box, QWidget* parent) : QDialog(parent), box_(box) {
  setWindowTitle(fromDesign(box.title));
  setObjectName(fromDesign(box.name));
  auto* outer = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  outer->addLayout(form);
  for (DialogField& f : box.fields) {
    Entry e{&f, nullptr, {}};
    const QString label = fromDesign(f.label);
    switch (f.kind) {
      case DialogField::Label:
        // A caption with its value beside it; either alone spans the row.
        if (!label.isEmpty() && !f.value.empty())
          form->addRow(label, new QLabel(fromDesign(f.value)));
        else
          form->addRow(new QLabel(label.isEmpty() ? fromDesign(f.value) : label));
        break;
      case DialogField::Text:
      case DialogField::Integer:
      case DialogField::Number: {
        auto* edit = new QLineEdit(fromDesign(f.value));
        if (f.maxLength > 0) edit->setMaxLength(f.maxLength);
        if (f.kind == DialogField::Integer) edit->setValidator(new QIntValidator(edit));
        if (f.kind == DialogField::Number) {
          auto* v = new QDoubleValidator(edit);
          v->setLocale(QLocale::c());
          edit->setValidator(v);
        }
        form->addRow(label, edit);
        e.widget = edit;
        break;
      }
      case DialogField::Check: {
        auto* check = new QCheckBox(label);
        check->setChecked(f.value == "1");
        form->addRow(check);
        e.widget = check;
        break;
      }
      case DialogField::Choice: {
        auto* combo = new QComboBox;
        for (const auto& c : f.choices) combo->addItem(fromDesign(c));
        combo->setCurrentIndex(choiceIndex(f));
        form->addRow(label, combo);
        e.widget = combo;
        break;
      }
      case DialogField::Radio: {
        auto* group = new QGroupBox(label);
        auto* layout = new QVBoxLayout(group);
        auto* buttons = new QButtonGroup(group);
        const int chosen = choiceIndex(f);
        for (size_t i = 0; i < f.choices.size(); ++i) {
          auto* radio = new QRadioButton(fromDesign(f.choices[i]));
          radio->setChecked(static_cast<int>(i) == chosen);
          buttons->addButton(radio, static_cast<int>(i));
          layout->addWidget(radio);
          e.radios.push_back(radio);
        }
        form->addRow(group);
        e.widget = group;
        break;
      }
      case DialogField::Button: {
        auto* button = new QPushButton(label);
        f.value = "0";
        connect(button, &QPushButton::clicked, this, [this, &f] {
          f.value = "1";
          accept();
        });
        form->addRow(button);
        e.widget = button;
        break;
      }
    }
    if (e.widget) e.widget->setObjectName(fromDesign(f.name));
    if (f.kind != DialogField::Label) entries_.push_back(e);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  outer->addWidget(buttons);
}

void FormDialog::collect() {
  for (const Entry& e : entries_) {
    DialogField& f = *e.field;
    switch (f.kind) {
      case DialogField::Text:
      case DialogField::Integer:
      case DialogField::Number:
        f.value = toDesign(static_cast<QLineEdit*>(e.widget)->text());
        break;
      case DialogField::Check:
        f.value = static_cast<QCheckBox*>(e.widget)->isChecked() ? "1" : "0";
        break;
      case DialogField::Choice: {
        const int i = static_cast<QComboBox*>(e.widget)->currentIndex();
        if (i >= 0) f.value = std::to_string(i);
        break;
      }
      case DialogField::Radio:
        for (size_t i = 0; i < e.radios.size(); ++i)
          if (static_cast<QRadioButton*>(e.radios[i])->isChecked()) f.value = std::to_string(i);
        break;
      case DialogField::Label:
      case DialogField::Button:
        break;
    }
  }
}

QWidget* FormDialog::control(const std::string& name) const {
  for (const Entry& e : entries_)
    if (e.field->name == name) return e.widget;
  return nullptr;
}

bool runFormDialog(DialogBox& box, QWidget* parent) {
  FormDialog dialog(box, parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  dialog.collect();
  return true;
}

}  // namespace trelmo::app
