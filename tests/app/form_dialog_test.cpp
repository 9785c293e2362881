// The generic form: controls start from the field values, OK writes the edits
// back, Cancel leaves the box as it was.
#include "app/form_dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableWidget>

#include "app_test_support.h"

namespace trelmo::app {
namespace {

DialogBox sampleBox() {
  DialogBox box;
  box.name = "PlaceLineBox";
  box.title = "Place: Line";
  box.fields = {
      {"note", DialogField::Label, "Line parameters", "", {}, 0},
      {"width", DialogField::Number, "Width", "0.012", {}, 8},
      {"count", DialogField::Integer, "Count", "3", {}, 0},
      {"name", DialogField::Text, "Name", "45\xF8", {}, 0},  // degree sign in the design's character set
      {"ortho", DialogField::Check, "Ortho", "1", {}, 0},
      {"units", DialogField::Choice, "Units", "1", {"Inch", "mm", "mil"}, 0},
      {"side", DialogField::Radio, "Side", "2", {"Top", "Bottom", "Both"}, 0},
  };
  return box;
}

TEST(FormDialog, ControlsStartFromTheFieldValues) {
  DialogBox box = sampleBox();
  FormDialog dialog(box);
  EXPECT_EQ(dialog.windowTitle(), "Place: Line");
  auto* width = qobject_cast<QLineEdit*>(dialog.control("width"));
  ASSERT_NE(width, nullptr);
  EXPECT_EQ(width->text(), "0.012");
  EXPECT_EQ(width->maxLength(), 8);
  EXPECT_TRUE(qobject_cast<QCheckBox*>(dialog.control("ortho"))->isChecked());
  EXPECT_EQ(qobject_cast<QComboBox*>(dialog.control("units"))->currentText(), "mm");
  const auto radios = dialog.control("side")->findChildren<QRadioButton*>();
  ASSERT_EQ(radios.size(), 3);
  EXPECT_TRUE(radios[2]->isChecked());
  EXPECT_EQ(dialog.control("note"), nullptr);
}

TEST(FormDialog, CollectWritesEveryKindBackAndKeepsEightBitText) {
  DialogBox box = sampleBox();
  FormDialog dialog(box);
  qobject_cast<QLineEdit*>(dialog.control("width"))->setText("0.025");
  qobject_cast<QCheckBox*>(dialog.control("ortho"))->setChecked(false);
  qobject_cast<QComboBox*>(dialog.control("units"))->setCurrentIndex(2);
  dialog.control("side")->findChildren<QRadioButton*>()[0]->setChecked(true);
  dialog.collect();
  EXPECT_EQ(box.field("width")->value, "0.025");
  EXPECT_EQ(box.field("ortho")->value, "0");
  EXPECT_EQ(box.field("units")->value, "2");
  EXPECT_EQ(box.field("side")->value, "0");
  EXPECT_EQ(box.field("name")->value, "45\xF8") << "untouched text comes back byte for byte";
  EXPECT_EQ(box.field("count")->value, "3");
}

TEST(FormDialog, AChoiceOutsideTheListSelectsNothingAndKeepsItsValue) {
  DialogBox box;
  box.fields = {{"units", DialogField::Choice, "Units", "7", {"Inch", "mm"}, 0},
                {"side", DialogField::Radio, "Side", "-1", {"Top", "Bottom"}, 0},
                {"junk", DialogField::Choice, "Junk", "x", {"a"}, 0}};
  FormDialog dialog(box);
  EXPECT_EQ(qobject_cast<QComboBox*>(dialog.control("units"))->currentIndex(), -1);
  for (auto* r : dialog.control("side")->findChildren<QRadioButton*>()) EXPECT_FALSE(r->isChecked());
  dialog.collect();
  EXPECT_EQ(box.field("units")->value, "7");
  EXPECT_EQ(box.field("side")->value, "-1");
  EXPECT_EQ(box.field("junk")->value, "x");
}

TEST(FormDialog, OkKeepsTheEditsAndCancelDiscardsThem) {
  DialogBox box = sampleBox();
  testing::whenModalOpens([](QWidget* w) {
    w->findChild<QLineEdit*>("width")->setText("0.05");
    static_cast<QDialog*>(w)->accept();
  });
  EXPECT_TRUE(runFormDialog(box, nullptr));
  EXPECT_EQ(box.field("width")->value, "0.05");

  testing::whenModalOpens([](QWidget* w) {
    w->findChild<QLineEdit*>("width")->setText("9");
    static_cast<QDialog*>(w)->reject();
  });
  EXPECT_FALSE(runFormDialog(box, nullptr));
  EXPECT_EQ(box.field("width")->value, "0.05");
}

TEST(FormDialog, TablesShowEveryCellAndCollectTheEdits) {
  DialogBox box{"SetupLayersBox", "Setup Layers", {}};
  DialogField table;
  table.name = "layers";
  table.kind = DialogField::Table;
  table.columns = {{"Name", DialogField::Text, "Name", "", {}, 15},
                   {"Kind", DialogField::Choice, "Type", "", {"Silk", "Mask", "Copper"}, 0},
                   {"Disabled", DialogField::Check, "Video Disabled", "", {}, 0}};
  table.rows = {{"Layer0", {"Pad Master", "2", "0"}}, {"Layer1", {"\xB5 Top", "9", "1"}}};
  box.fields.push_back(table);
  FormDialog dialog(box);
  auto* grid = qobject_cast<QTableWidget*>(dialog.control("layers"));
  ASSERT_NE(grid, nullptr);
  ASSERT_EQ(grid->rowCount(), 2);
  ASSERT_EQ(grid->columnCount(), 3);
  EXPECT_EQ(grid->horizontalHeaderItem(1)->text(), "Type");
  EXPECT_EQ(grid->verticalHeaderItem(1)->text(), "Layer1");
  EXPECT_EQ(grid->item(0, 1)->text(), "Copper");
  EXPECT_EQ(grid->item(1, 2)->checkState(), Qt::Checked);
  grid->item(0, 0)->setText("Pads");
  grid->item(0, 1)->setData(Qt::UserRole, 1);
  grid->item(0, 2)->setCheckState(Qt::Checked);
  dialog.collect();
  const auto& rows = box.fields[0].rows;
  EXPECT_EQ(rows[0].values, (std::vector<std::string>{"Pads", "1", "1"}));
  EXPECT_EQ(rows[1].values, (std::vector<std::string>{"\xB5 Top", "9", "1"})) << "a choice out of range stays";
}

}  // namespace
}  // namespace trelmo::app
