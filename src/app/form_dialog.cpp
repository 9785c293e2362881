#include "app/form_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleValidator>
#include <QFormLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
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

constexpr int kChoiceRole = Qt::UserRole;

// Choice cells show their text and edit with a list; the chosen index is
// kept beside the text.
class ChoiceDelegate : public QStyledItemDelegate {
 public:
  ChoiceDelegate(std::vector<std::string> choices, QObject* parent)
      : QStyledItemDelegate(parent), choices_(std::move(choices)) {}
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const override {
    auto* combo = new QComboBox(parent);
    for (const auto& c : choices_) combo->addItem(fromDesign(c));
    return combo;
  }
  void setEditorData(QWidget* editor, const QModelIndex& index) const override {
    static_cast<QComboBox*>(editor)->setCurrentIndex(index.data(kChoiceRole).toInt());
  }
  void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
    auto* combo = static_cast<QComboBox*>(editor);
    if (combo->currentIndex() < 0) return;
    model->setData(index, combo->currentIndex(), kChoiceRole);
    model->setData(index, combo->currentText(), Qt::DisplayRole);
  }

 private:
  std::vector<std::string> choices_;
};

QTableWidgetItem* tableCell(const DialogField& column, const std::string& value) {
  auto* item = new QTableWidgetItem;
  switch (column.kind) {
    case DialogField::Check:
      item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
      item->setCheckState(value == "1" ? Qt::Checked : Qt::Unchecked);
      break;
    case DialogField::Choice:
    case DialogField::Radio: {
      DialogField probe = column;
      probe.value = value;
      const int i = choiceIndex(probe);
      item->setData(kChoiceRole, i);
      if (i >= 0) item->setText(fromDesign(column.choices[static_cast<size_t>(i)]));
      break;
    }
    default:
      item->setText(fromDesign(value));
      break;
  }
  return item;
}

// A table field: one row per row of the field, one column per column.
QTableWidget* makeTable(const DialogField& f, QWidget* parent) {
  auto* table = new QTableWidget(static_cast<int>(f.rows.size()), static_cast<int>(f.columns.size()), parent);
  QStringList headers, rowNames;
  for (size_t c = 0; c < f.columns.size(); ++c) {
    headers << fromDesign(f.columns[c].label);
    const DialogField& column = f.columns[c];
    if (column.kind == DialogField::Choice || column.kind == DialogField::Radio)
      table->setItemDelegateForColumn(static_cast<int>(c), new ChoiceDelegate(column.choices, table));
  }
  for (size_t r = 0; r < f.rows.size(); ++r) {
    rowNames << fromDesign(f.rows[r].name);
    for (size_t c = 0; c < f.columns.size() && c < f.rows[r].values.size(); ++c)
      table->setItem(static_cast<int>(r), static_cast<int>(c), tableCell(f.columns[c], f.rows[r].values[c]));
  }
  table->setHorizontalHeaderLabels(headers);
  table->setVerticalHeaderLabels(rowNames);
  table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  table->setMinimumSize(940, 420);
  return table;
}

std::string cellValue(const DialogField& column, const QTableWidgetItem* item, const std::string& old) {
  if (!item) return old;
  switch (column.kind) {
    case DialogField::Check:
      return item->checkState() == Qt::Checked ? "1" : "0";
    case DialogField::Choice:
    case DialogField::Radio: {
      const int i = item->data(kChoiceRole).toInt();
      return i >= 0 ? std::to_string(i) : old;
    }
    default:
      return toDesign(item->text());
  }
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
      case DialogField::Table: {
        if (!label.isEmpty()) form->addRow(new QLabel(label));
        e.widget = makeTable(f, this);
        form->addRow(e.widget);
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
        f.value.assign(1, static_cast<QCheckBox*>(e.widget)->isChecked() ? '1' : '0');
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
      case DialogField::Table: {
        auto* table = static_cast<QTableWidget*>(e.widget);
        for (size_t r = 0; r < f.rows.size(); ++r)
          for (size_t c = 0; c < f.columns.size() && c < f.rows[r].values.size(); ++c) {
            std::string& v = f.rows[r].values[c];
            v = cellValue(f.columns[c], table->item(static_cast<int>(r), static_cast<int>(c)), v);
          }
        break;
      }
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
