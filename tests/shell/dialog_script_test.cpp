// Dialog boxes answered from NAME.FIELD=VALUE settings.
#include "shell/dialog_script.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace trelmo {
namespace {

DialogBox sampleBox() {
  DialogBox box{"SampleBox", "Sample", {}};
  box.fields.push_back({"message", DialogField::Label, "Read this.", "", {}, 0});
  box.fields.push_back({"name", DialogField::Text, "&Name", "abc", {}, 4});
  box.fields.push_back({"count", DialogField::Integer, "Count", "1", {}, 0});
  box.fields.push_back({"width", DialogField::Number, "Width", "0.01", {}, 0});
  box.fields.push_back({"snap", DialogField::Check, "Snap", "0", {}, 0});
  box.fields.push_back({"units", DialogField::Radio, "Units", "0", {"I&nches", "&Millimetres", "Tom && Jerry"}, 0});
  box.fields.push_back({"size", DialogField::Choice, "Size", "0", {"10", "2"}, 0});
  return box;
}

TEST(DialogSetting, ParsesFieldsWithDotsEmptyValuesAndCancel) {
  DialogSetting s;
  ASSERT_TRUE(parseDialogSetting("SetupLayersBox.Layer12.Name=Top = side", s));
  EXPECT_EQ(s.box, "SetupLayersBox");
  EXPECT_EQ(s.field, "Layer12.Name");
  EXPECT_EQ(s.value, "Top = side");
  EXPECT_FALSE(s.cancel);
  ASSERT_TRUE(parseDialogSetting("KeyStrokeEditBox.text=", s));
  EXPECT_EQ(s.value, "");
  ASSERT_TRUE(parseDialogSetting("ZoomScaleBox=cancel", s));
  EXPECT_TRUE(s.cancel);
  EXPECT_EQ(s.box, "ZoomScaleBox");
  for (const char* bad : {"ZoomScaleBox", "ZoomScaleBox=ok", ".dpi=3", "ZoomScaleBox.=3", "=cancel", ""})
    EXPECT_FALSE(parseDialogSetting(bad, s)) << bad;
}

TEST(DialogSetting, ValuesMustFitTheirFieldKind) {
  struct Accepted {
    const char *field, *value, *stored;
  };
  const Accepted accepted[] = {{"snap", "1", "1"},
                               {"count", "-12", "-12"},
                               {"width", "2.5", "2.5"},
                               {"width", "-.5", "-.5"},
                               {"name", "abcd", "abcd"},
                               {"name", "", ""},
                               {"units", "1", "1"},
                               {"units", "Millimetres", "1"},
                               {"units", "&Millimetres", "1"},
                               {"units", "Tom & Jerry", "2"},
                               {"size", "1", "1"},
                               {"size", "10", "0"}};
  for (const Accepted& c : accepted) {
    DialogBox box = sampleBox();
    std::string why;
    EXPECT_TRUE(setDialogField(box, c.field, c.value, why)) << c.field << "=" << c.value << ": " << why;
    EXPECT_EQ(box.field(c.field)->value, c.stored) << c.field << "=" << c.value;
  }
  const std::pair<const char*, std::vector<const char*>> refused[] = {
      {"snap", {"yes", "2", ""}},
      {"count", {"1.5", "", "99999999999", " 3", "0x10"}},
      {"width", {"1e999", "nan", "2,5", ""}},
      {"name", {"abcde"}},
      {"units", {"3", "-1", "millimetres", ""}},
      {"message", {"x"}},
      {"missing", {"1"}},
  };
  for (const auto& [field, values] : refused) {
    for (const char* value : values) {
      DialogBox box = sampleBox();
      const DialogBox before = box;
      std::string why;
      EXPECT_FALSE(setDialogField(box, field, value, why)) << field << "=" << value;
      EXPECT_NE(why.find(field), std::string::npos) << "the reason names the field: " << why;
      for (size_t i = 0; i < box.fields.size(); ++i) EXPECT_EQ(box.fields[i].value, before.fields[i].value);
    }
  }
}

TEST(DialogSetting, ValuesAreReportedOnOneLine) {
  DialogBox box = sampleBox();
  box.fields.push_back({"info", DialogField::Label, "File name", "a\nb", {}, 0});
  EXPECT_EQ(dialogValues(box), "name=abc; count=1; width=0.01; snap=0; units=0; size=0; info=a\\nb");
  EXPECT_EQ(withoutAccelerators("Tom && &Jerry&"), "Tom & Jerry&");
}

}  // namespace
}  // namespace trelmo
