// The catalogue of dialog boxes and the boxes the functions really open.
#include "shell/dialog_catalogue.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "database/design_files.h"
#include "scripted_host.h"
#include "shell/dispatch.h"
#include "shell/function_codes.h"
#include "shell/input.h"

namespace trelmo {
namespace {

using testing::ScriptedHost;
using testing::TempDir;

TEST(DialogCatalogue, EveryEntryBuildsAWellFormedBoxOfItsName) {
  Context ctx;
  std::set<std::string> names;
  const auto catalogue = dialogCatalogue();
  ASSERT_FALSE(catalogue.empty());
  for (const DialogBoxEntry& e : catalogue) {
    SCOPED_TRACE(e.name);
    EXPECT_TRUE(names.insert(e.name).second) << "registered twice";
    ASSERT_NE(findDialogBox(e.name), nullptr);
    EXPECT_EQ(findDialogBox(e.name)->build, e.build);
    const DialogBox box = e.build(ctx);
    EXPECT_EQ(box.name, e.name);
    EXPECT_FALSE(box.title.empty());
    std::set<std::string> fields;
    for (const DialogField& f : box.fields) {
      EXPECT_TRUE(!f.name.empty() && fields.insert(f.name).second) << "field \"" << f.name << "\"";
      EXPECT_EQ(f.name.find('='), std::string::npos) << "a field name cannot be scripted with '='";
      if (f.kind == DialogField::Check) {
        EXPECT_TRUE(f.value == "0" || f.value == "1") << f.name;
      }
    }
  }
  EXPECT_EQ(findDialogBox("NoSuchBox"), nullptr);
}

TEST(DialogCatalogue, DescribesFieldsWithKindsValuesChoicesAndLimits) {
  DialogBox box{"SampleBox", "Sample", {}};
  box.fields.push_back({"units", DialogField::Radio, "&Units", "1", {"I&nches", "&Millimetres"}, 0});
  box.fields.push_back({"text", DialogField::Text, "Text", "", {}, 8});
  box.fields.push_back({"note", DialogField::Label, "Two\nlines", "", {}, 0});
  EXPECT_EQ(describeDialogBox(box),
            "SampleBox \"Sample\"\n"
            "  units: radio \"Units\" = 1; choices 0 \"Inches\", 1 \"Millimetres\"\n"
            "  text: text \"Text\" = \"\"; at most 8 characters\n"
            "  note: label \"Two\\nlines\"\n");
}

// Every box a function opens is in the catalogue with the same fields.
class OpenedBoxes : public ::testing::Test {
 protected:
  ScriptedHost host;
  Context ctx{host};
  TempDir dir;
  std::vector<DialogBox> opened;

  void SetUp() override {
    ctx.paths.data = dir.file("data");
    ctx.shell.startupPhase = 3;
    installInputHandlers(ctx);
    host.dialog = [this](DialogBox& box) {
      opened.push_back(box);
      return true;
    };
  }
  void run(char a, char b) { executeFunction(ctx, fc(a, b), kFromMenuBar); }
  std::string write(const std::string& name, const std::string& text) const {
    std::ofstream(dir.file(name)) << text;
    return dir.file(name);
  }
};

TEST_F(OpenedBoxes, MatchTheCatalogue) {
  run('F', 'W');
  host.pickFile(dir.example("demo.pcb"));
  run('F', 'O');
  for (const char* code : {"FI", "FL", "FT", "ZS", "SO", "SK"}) run(code[0], code[1]);
  std::string body = "D10*\n", drill = "T1\n";
  for (int i = 0; i < 20; ++i) body += "X" + std::to_string(i * 100) + "Y0D01*\n";
  for (int i = 0; i < 12; ++i) drill += "X0" + std::to_string(i) + "Y01\n";
  host.pickFile(write("bare.gbr", body));
  run('F', 'O');
  host.pickFile(write("bare.drl", drill));
  run('F', 'O');

  std::set<std::string> seen;
  for (const DialogBox& box : opened) {
    SCOPED_TRACE(box.name);
    seen.insert(box.name);
    const DialogBoxEntry* e = findDialogBox(box.name);
    ASSERT_NE(e, nullptr) << "not in the catalogue";
    const DialogBox listed = e->build(ctx);
    EXPECT_EQ(listed.title.substr(0, listed.title.find(' ')), box.title.substr(0, box.title.find(' ')));
    ASSERT_EQ(listed.fields.size(), box.fields.size());
    for (size_t i = 0; i < box.fields.size(); ++i) {
      EXPECT_EQ(listed.fields[i].name, box.fields[i].name);
      EXPECT_EQ(listed.fields[i].kind, box.fields[i].kind);
    }
  }
  EXPECT_EQ(seen.size(), 12u) << "every box of the landed functions was opened";
}

}  // namespace
}  // namespace trelmo
