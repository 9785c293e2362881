// The text reports: sort keys, the example designs against checked files,
// and the netlist and bill-of-materials rules on small designs.
#include <gtest/gtest.h>

#include <fstream>
#include <iomanip>

#include "database/component_keys.h"
#include "nets/net_fixture.h"
#include "output/report_functions.h"
#include "shell/dialog_script.h"

namespace trelmo::testing {
namespace {

std::string wholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}
std::string expected(const std::string& name) { return wholeFile(std::string(TRELMO_TEST_DATA) + "/reports/" + name); }

struct Reports : NetBoard {
  bool open(const std::string& name, const std::string& items) {
    const std::string path = dir.file(name);
    std::ofstream(path, std::ios::binary) << boardHeader() << items << "\nEND OF FILE\n";
    return openFileByName(ctx, path, 0);
  }
  std::string netlist(bool unconnected = false) {
    NetlistOptions o;
    o.unconnected = unconnected;
    o.date = "01/02/03";
    o.path = dir.file("out.net");
    EXPECT_EQ(writeNetlist(ctx, o), ReportStatus::kWritten);
    return readFile(o.path);
  }
};

TEST(ReportKeys, ValuesSortByMagnitudeAndReferencesByNumber) {
  EXPECT_EQ(valueForm("4K7"), valueForm("4.7K"));
  EXPECT_EQ(valueForm("4K7"), "000004700000000000000");
  EXPECT_LT(valueForm("4K7"), valueForm("10K"));
  EXPECT_LT(valueForm("470"), valueForm("1K"));
  EXPECT_LT(valueForm("999K"), valueForm("1M"));
  EXPECT_LT(valueForm("100p"), valueForm("1n"));
  EXPECT_LT(valueForm("1n"), valueForm("1\xe6"));  // the micro sign
  EXPECT_EQ(valueForm("123456789012345678901234M").size(), 21u);
  EXPECT_LT(referenceForm("R2"), referenceForm("R10"));
  EXPECT_LT(referenceForm("R10"), referenceForm("RN1"));
  EXPECT_EQ(referenceForm("U12a").substr(42, 3), "12a");
  // Resistors by value, other parts by their value text.
  auto key = [](const std::string& ref, const std::string& value) {
    ComponentFields f;
    f[kReferenceField] = ref;
    f[kValueField] = value;
    return billSortKey(f);
  };
  EXPECT_LT(key("R7", "4K7"), key("R1", "10K"));
  EXPECT_LT(key("U2", "10K"), key("U1", "4K7"));
  EXPECT_LT(key("R1", "1K"), key("R10", "1K"));
}

TEST(ReportFiles, ExampleBoardAndSchematicMatchTheirCheckedFiles) {
  Reports b;
  ASSERT_TRUE(b.example("demo.pcb"));
  BillOptions bill;
  bill.date = "01/02/03";
  EXPECT_EQ(billText(b.ctx, bill), expected("demo_pcb.bom"));
  PinListOptions pins;
  pins.date = "01/02/03";
  EXPECT_EQ(pinListText(b.ctx, pins), expected("demo_pcb.pin"));
  EXPECT_EQ(wireListText(b.ctx, pins), expected("demo_pcb.wrl"));
  EXPECT_EQ(billCsv(b.ctx), expected("demo_pcb.csv"));
  // The example board has shorted nets: the netlist stops at the first.
  NetlistOptions o;
  o.path = b.dir.file("demo.NET");
  EXPECT_EQ(writeNetlist(b.ctx, o), ReportStatus::kStopped);
  EXPECT_EQ(b.lastStatus(), "Signal <VCC> is crosslinked to signal <CTRL>.");
  EXPECT_FALSE(std::filesystem::exists(o.path));

  Reports s;
  ASSERT_TRUE(s.example("demo.sch"));
  EXPECT_EQ(s.netlist(true), expected("demo_sch.NET"));
  o.bracketed = true;
  o.unconnected = true;
  o.path = s.dir.file("demo.tango");
  ASSERT_EQ(writeNetlist(s.ctx, o), ReportStatus::kWritten);
  EXPECT_EQ(s.readFile(o.path), expected("demo_sch.tango"));
}

TEST(ReportNetlist, GatesOneNamesAndSinglePinsGoOnlyWithUnconnected) {
  Reports b;
  ASSERT_TRUE(b.open("board.pcb", componentLines("DIP", "U1a", "7400", 0, {"1 A", "2"}) +
                                      componentLines("DIP", "U1b", "7400", 1, {"4 A", "5 B"}) +
                                      componentLines("AX", "R1", "1K", 2, {"1 B", "2"})));
  const std::string text = b.netlist();
  EXPECT_NE(text.find("\r\nA               U1-1    U1-4\r\n\r\nB               R1-1    U1-5\r\n"), std::string::npos)
      << text;
  EXPECT_EQ(text.find("$0001"), std::string::npos);  // single pins left out
  const std::string all = b.netlist(true);
  EXPECT_NE(all.find("\r\n$0001           R1-2\r\n"), std::string::npos) << all;
  EXPECT_NE(all.find("\r\n$0002           U1-2\r\n"), std::string::npos) << all;
  // Parts list: gate letters stay in the parts list, sorted by reference.
  EXPECT_LT(all.find("\r\nR1 "), all.find("\r\nU1a "));
}

TEST(ReportNetlist, GeneratedNamesFollowTheSheetNumberAndLongNetsWrap) {
  Reports b;
  std::vector<std::string> pads;
  for (int i = 1; i <= 12; ++i) pads.push_back(std::to_string(i) + " LONGNET");
  ASSERT_TRUE(
      b.open("sheet.s13", componentLines("DIP", "U1", "X", 0, pads) + componentLines("AX", "R1", "1K", 3, {"1"})));
  const std::string text = b.netlist(true);
  EXPECT_NE(text.find("\r\n$130001         R1-1\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("LONGNET         U1-1    U1-2    U1-3    U1-4    U1-5    U1-6    U1-7    U1-8    "
                      "U1-9\r\n                U1-10   U1-11   U1-12\r\n"),
            std::string::npos)
      << text;
  EXPECT_EQ(netlistPath(b.ctx), b.dir.file("sheet.N13"));
}

TEST(ReportNetlist, ReferenceCheckAndCoLinearWiresStopTheOutput) {
  Reports b;
  ASSERT_TRUE(b.open("board.pcb", componentLines("AX", "R1", "1K", 0, {"1"}) +
                                      componentLines("$GND", "", "", 1, {"1"}) +
                                      componentLines("AX", "r2", "1K", 2, {"1"})));
  EXPECT_EQ(checkNetlistReferences(b.ctx), 3);
  ASSERT_EQ(b.host.boxes.size(), 1u);
  EXPECT_EQ(b.host.boxes[0].first, "Net List Error");
  EXPECT_NE(b.host.boxes[0].second.find("Component sequence number:  3\nComponent Reference ID:  r2"),
            std::string::npos);

  // Two straight wires end to end on a schematic sheet.
  Reports s;
  const std::string path = s.dir.file("wires.sch");
  std::ofstream(path, std::ios::binary)
      << "TRELMO Version 4.0 -- Data File.\n\nLayer/color/plot/type/sequence/name table:\n-y2\n"
         "-y0:00C0C0C0,00000000,4,0,Pins\n-y1:0000FFFF,00000000,4,1,Symbols\n"
         "-y2:0000FF00,00000000,6,2,Signals\n\nPrimary Data File:\n"
         "1 2 .01 0 0 1 0\n1 2 .01 1 0 2 0\n\nEND OF FILE\n";
  ASSERT_TRUE(openFileByName(s.ctx, path, 0));
  NetlistOptions o;
  o.path = s.dir.file("wires.NET");
  EXPECT_EQ(writeNetlist(s.ctx, o), ReportStatus::kStopped);
  EXPECT_EQ(s.lastStatus(), "Two co-linear line segments have been detected.");
  EXPECT_EQ(s.hilightedCount(), 2);
}

TEST(ReportBill, DuplicatesGroupsAndConversion) {
  Reports b;
  std::string items;
  for (int i = 1; i <= 7; ++i) items += componentLines("AX", "R" + std::to_string(i), "10K", i, {"1"});
  items += componentLines("AX", "R3", "1,5K\"", 9, {"1"});
  items += componentLines("SW", "A", "Z", 10, {"1"}) + componentLines("SW", "B", "Z", 11, {"1"});
  ASSERT_TRUE(b.open("board.pcb", items));
  BillOptions o;
  o.date = "01/02/03";
  const std::string text = billText(b.ctx, o);
  // Group lines wrap past column 76; single blanks where 5 or 6 were needed.
  EXPECT_NE(text.find("\r\n10K                         AX             7  R1    R2    R3    R4    R5    R6\r\n"
                      "                                              R7\r\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("\r\nZ                           SW             2  A B\r\n"), std::string::npos);
  // The second R3 of the position list is marked.
  EXPECT_NE(text.find("\r\n R3 "), std::string::npos);
  EXPECT_NE(text.find("\r\n*R3 "), std::string::npos);
  EXPECT_EQ(text.back(), '\f');
  EXPECT_EQ(
      billCsv(b.ctx),
      "Value,Footprint,Quantity,References\r\nZ,SW,2,A B\r\n\"1,5K\"\"\",AX,1,R3\r\n10K,AX,7,R1 R2 R3 R4 R5 R6 R7\r\n");

  // The omega becomes "ohms", and the columns after it keep their place.
  const std::string line = std::string("10\xea") + "          AX             7  R1";
  const std::string ansi = pc8ToAnsi(line);
  EXPECT_EQ(ansi, "10ohms       AX             7  R1");
  EXPECT_EQ(ansi.find("AX"), line.find("AX"));
  EXPECT_EQ(pc8ToAnsi("\xf8\xe6\xab\xac"), "\xb0\xb5\xbd\xbc");
}

TEST(ReportFamily, BoxesDefaultsAndFailures) {
  Reports b;
  ASSERT_TRUE(b.example("demo.sh1"));
  installReportFunctions(b.ctx);
  EXPECT_EQ(netlistPath(b.ctx), b.dir.file("demo.NT1"));
  std::string why;
  b.host.dialog = [&](DialogBox& box) {
    EXPECT_EQ(box.field("file")->value, b.dir.file(box.name == "BOMOutBox" ? "demo.bom" : "demo.pin"));
    return setDialogField(box, "file", b.dir.file("none/x.txt"), why);
  };
  executeFunction(b.ctx, fc('F', 'B'), kFromMacro);
  executeFunction(b.ctx, fc('N', 'P'), kFromMacro);
  ASSERT_EQ(b.host.boxes.size(), 2u);  // neither could be written: both said so
  EXPECT_EQ(b.host.boxes[0].first, "File Open Error");
  b.host.boxes.clear();
  b.host.dialog = [&](DialogBox& box) {
    return setDialogField(box, "format", "1", why) && setDialogField(box, "unconnected", "1", why);
  };
  executeFunction(b.ctx, fc('N', 'O'), kFromMacro);
  EXPECT_TRUE(b.host.boxes.empty());
  EXPECT_EQ(b.readFile(b.dir.file("demo.NT1")).substr(0, 11), "[\r\nD1\r\nLED3");
  b.host.dialog = [](DialogBox&) { return false; };
  std::filesystem::remove(b.dir.file("demo.NT1"));
  executeFunction(b.ctx, fc('N', 'O'), kFromMacro);
  EXPECT_FALSE(std::filesystem::exists(b.dir.file("demo.NT1")));
}

}  // namespace
}  // namespace trelmo::testing
