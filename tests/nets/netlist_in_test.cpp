// Netlist In: the line classifier, every message of the log provoked by a
// small netlist, the options, the KiCad netlist, and the round trip through
// Netlist Out.
#include "nets/netlist_in.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iomanip>

#include "nets/log_writer.h"
#include "nets/net_fixture.h"
#include "output/report_functions.h"
#include "output/report_text.h"
#include "shell/dialog_script.h"

namespace trelmo::testing {
namespace {

constexpr char kSep = '\x7f';

// Columns: reference at 0, pattern at 16, value at 42, modifier at 68, the
// design pattern at 94.
std::string wideLine(const std::string& ref, const std::string& pattern, const std::string& value,
                     const std::string& modifier = "") {
  std::string line(94, ' ');
  line.replace(0, ref.size(), ref);
  line.replace(16, pattern.size(), pattern);
  line.replace(42, value.size(), value);
  line.replace(68, modifier.size(), modifier);
  return line + pattern + "\r\n";
}
std::string netLine(const std::string& name, const std::string& nodes) {
  std::string line = name;
  line.resize(16, ' ');
  return line + nodes + "\r\n";
}

struct NetlistIn : NetBoard {
  NetlistIn() { installNetlistInput(ctx); }
  void write(const std::string& name, const std::string& text) {
    std::ofstream(dir.file(name), std::ios::binary) << text;
  }
  // Applies the files and gives the log.
  std::string apply(const std::vector<std::string>& files, bool patterns = false, bool values = false) {
    NetlistInOptions o;
    for (const std::string& f : files) o.files.push_back(dir.file(f));
    o.replacePatterns = patterns;
    o.replaceValues = values;
    o.date = "01/02/03";
    o.log = dir.file("in.log");
    const NetlistInResult r = applyNetlists(ctx, o);
    EXPECT_TRUE(r.written && r.closed);
    return readFile(o.log);
  }
  Handle pad(const std::string& ref, int pin) {
    for (const ReportComponent& c : designComponents(ctx))
      if (c.reference() == ref)
        for (Handle p : componentPads(ctx, c.header))
          if (item::padPin(ctx.rec(p)) == static_cast<uint32_t>(pin)) return p;
    return kNull;
  }
  std::string signalAt(const std::string& ref, int pin) { return itemSignal(ctx, pad(ref, pin)); }
};

TEST(NetlistInLines, ClassifierKinds) {
  EXPECT_EQ(classifyNetlistLine("("), kNetBlock);
  EXPECT_EQ(classifyNetlistLine("[ "), kPartBlock);
  EXPECT_EQ(classifyNetlistLine("(x"), kOtherLine);
  EXPECT_EQ(classifyNetlistLine(netLine("VCC", "R1-1    U1-8")), kNetLine);
  EXPECT_EQ(classifyNetlistLine(netLine("$0001", "R1-1 U1-8")), kNetLine);
  EXPECT_EQ(classifyNetlistLine(netLine("VCC", "R1-1 u1-8")), kOtherLine);         // a node in lower case
  EXPECT_EQ(classifyNetlistLine(netLine("FIFTEEN_CHARS_X", "R1-1")), kOtherLine);  // name too long
  EXPECT_EQ(classifyNetlistLine("VCC              R1-1"), kOtherLine);             // first node at 17
  const std::string wide = wideLine("R1", "AXIAL4", "1K");
  EXPECT_EQ(classifyNetlistLine(wide.substr(0, wide.size() - 2)), kWidePart);
  std::string narrow(64, ' ');
  narrow.replace(0, 2, "R1").replace(16, 3, "AX4").replace(32, 2, "1K").replace(48, 1, "M");
  EXPECT_EQ(classifyNetlistLine(narrow + "AXIAL4"), kNarrowPart);
  narrow[30] = 'X';  // a column that must stay blank
  EXPECT_NE(classifyNetlistLine(narrow + "AXIAL4"), kNarrowPart);
  EXPECT_EQ(classifyNetlistLine(std::string(5000, 'A')), kOtherLine);

  // Both syntaxes in one text; a net line continues while its lines start
  // in columns 16 to 26.
  std::string error;
  const std::string text = "[\r\nU1b\r\nDIP8\r\n555\r\n\r\n\r\n\r\n]\r\n(\r\nVCC\r\nU1-8\r\nR1-1,R2-1\r\n)\r\n" +
                           netLine("OUT", "U1-3") + std::string(20, ' ') + "R3-1 R4-2\r\n" + netLine("X", "Q1-1");
  const std::vector<NetlistEntry> e = readNetlistText(text, FootprintMap(), error);
  ASSERT_EQ(e.size(), 4u);
  EXPECT_EQ(e[0].part.reference, "U1");
  EXPECT_EQ(e[0].part.pattern, "DIP8");
  EXPECT_EQ(e[1].net.nodes.size(), 3u);
  EXPECT_EQ(e[2].net.nodes.size(), 3u);
  EXPECT_EQ(e[2].net.nodes[2], std::make_pair(std::string("R4"), std::string("2")));
  EXPECT_EQ(e[3].net.name, "X");
}

TEST(NetlistInLog, EveryMessageOfASmallNetlist) {
  NetlistIn b;
  const std::string header = boardHeader();
  std::ofstream(b.dir.file("board.pcb"), std::ios::binary)
      << header.substr(0, header.find("-y12:")) << "-y5:00E04040,00000000,3,5,PWR\n"
      << header.substr(header.find("-y12:")) << componentLines("AX", "R1", "1K", 0, {"1 OLD", "2"})
      << componentLines("AX", "R2", "1K", 1, {"1", "2"}, "5%")
      << componentLines("DIP", "U1a", "7400", 2, {"1", "2", "3"}) << componentLines("DIP", "U1b", "7400", 3, {"3", "0"})
      << componentLines("DIP", "U9", "7400", 4, {"1"}) << "\nEND OF FILE\n";
  ASSERT_TRUE(openFileByName(b.ctx, b.dir.file("board.pcb"), 0));
  b.write("board.NET", wideLine("R1", "AX2", "1K") + wideLine("R2", "AX", "2K", "1%") + wideLine("Q7", "NOPE", "X") +
                           wideLine("Q8", "DIP", "7402") + "\r\n" + netLine("PWR", "R1-1 U1-1") +
                           netLine("B", "R1-1 R1-9 X9-1") + netLine("C", "X9-2 U1-3 U1-1024 R2-2"));
  const std::string log = b.apply({"board.NET"});
  const char* expected =
      "NETLIST INPUT LOG                      board.pcb                       01/02/03\r\n"
      "-------------------------------------------------------------------------------\r\n"
      "INPUT       WARNING/ERROR           DETAILED\r\n"
      "REFERENCE   MESSAGE                 DESCRIPTION\r\n"
      "-------------------------------------------------------------------------------\r\n"
      "\r\n\r\nboard.NET:\r\n\r\n"
      "R1          Pattern mismatch        Input: AX2 File: AX\r\n"
      "R2          Type/value mismatch     Input: 2K File: 1K\r\n"
      "R2          Modifier mismatch       Input: 1% File: 5%\r\n"
      "Q7          Pattern not found       Name:  NOPE\r\n"
      "Line: 6     Signal/layer match      Name:  PWR\r\n"
      "Line: 7     Crosslinked pin         Name:  R1-1\r\n"
      "Line: 7     Pin not found           Name:  R1-9\r\n"
      "Line: 7     Component not found     Name:  X9\r\n"
      "\r\nSummary:\r\n\r\n"
      "Warning:    Unlinked pin            Name:  R1-2\r\n"
      "Warning:    Unlinked pin            Name:  R2-1\r\n"
      "Warning:    Unlinked pin            Name:  U1a-2\r\n"
      "Warning:    Unused component        Name:  U9\r\n"
      "Warning:    Unused component        Name:  Q8\r\n"
      "\r\nTotal input node count:  9\r\n\r\nEND OF FILE\r\n\f\r\n";
  EXPECT_EQ(log, expected);
  // U1-3 reached the pin 3 of both gates, U1-1024 only the pin numbered 0;
  // the plane net's through-hole pads went to its layer.
  EXPECT_EQ(b.signalAt("U1a", 3), "C");
  EXPECT_EQ(b.signalAt("U1b", 3), "C");
  EXPECT_EQ(b.signalAt("U1b", 0), "C");
  EXPECT_EQ(b.signalAt("R2", 2), "C");
  EXPECT_EQ(b.ctx.rec(b.pad("U1a", 1)).layer, 5);
  EXPECT_EQ(b.signalAt("R1", 1), "B");
}

TEST(NetlistInLog, OptionsReplacePatternsAndValuesInOneUndoEvent) {
  NetlistIn b;
  ASSERT_TRUE(b.load(componentLines("AX", "R1", "1K", 0, {"1 A", "2"}, "5%") +
                     componentLines("DIP", "U1", "7400", 1, {"1", "2"})));
  b.write("board.NET", wideLine("R1", "DIP", "2K", "1%") + netLine("N", "R1-1 U1-2"));
  const size_t undoBefore = undoDepth(b.ctx);
  const std::string log = b.apply({"board.NET"}, true, true);
  EXPECT_NE(log.find("R1          Component replaced      Input: DIP File: AX\r\n"
                     "R1          Type/value replaced     Input: 2K File: 1K\r\n"
                     "R1          Modifier replaced       Input: 1% File: 5%\r\n"),
            std::string::npos)
      << log;
  const std::vector<ReportComponent> parts = designComponents(b.ctx);
  ASSERT_EQ(parts.size(), 2u);
  EXPECT_EQ(parts[1].fields[kPatternField], "DIP");  // the new R1, at the old one's place
  EXPECT_EQ(parts[1].fields[kValueField], "2K");
  EXPECT_EQ(parts[1].fields[kModifierField], "1%");
  EXPECT_EQ(b.signalAt("R1", 1), "N");
  EXPECT_EQ(b.ctx.rec(b.ctx.rec(parts[1].header).ext).x1, 0);
  // One event takes it all back.
  ASSERT_GT(undoDepth(b.ctx), undoBefore);
  ASSERT_TRUE(undoEvent(b.ctx, true));
  const std::vector<ReportComponent> back = designComponents(b.ctx);
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(back[0].fields[kPatternField], "AX");
  EXPECT_EQ(back[0].fields[kValueField], "1K");
  EXPECT_EQ(b.signalAt("R1", 1), "A");
}

TEST(NetlistInLog, TheBoxFindsFilesByPatternOrSaysNone) {
  NetlistIn b;
  ASSERT_TRUE(b.load(componentLines("AX", "R1", "1K", 0, {"1", "2"})));
  EXPECT_EQ(netlistInPattern(b.ctx), b.dir.file("board.N??"));
  std::string why;
  b.host.dialog = [](DialogBox&) { return true; };
  executeFunction(b.ctx, fc('N', 'I'), kFromMacro);
  ASSERT_EQ(b.host.boxes.size(), 1u);
  EXPECT_EQ(b.host.boxes[0].first, "File Not Found");
  b.write("board.n01", netLine("A", "R1-1"));
  b.write("board.NET", netLine("B", "R1-2"));
  b.write("board.NETS", netLine("C", "R1-2"));
  executeFunction(b.ctx, fc('N', 'I'), kFromMacro);
  EXPECT_EQ(b.signalAt("R1", 1), "A");
  EXPECT_EQ(b.signalAt("R1", 2), "B");
  const std::string log = b.readFile(b.dir.file("board.LOG"));
  EXPECT_LT(log.find("board.NET:"), log.find("board.n01:"));
  EXPECT_EQ(log.find("board.NETS"), std::string::npos);
}

TEST(NetlistInRoundTrip, SchematicNetsComeBackFromTheBoard) {
  // A schematic: R1 and R2 joined by two labelled wires; the board has the
  // same parts with old names and no copper between them.
  NetBoard s;
  const std::string sch = s.dir.file("rt.sch");
  std::ofstream(sch, std::ios::binary)
      << "TRELMO Version 4.0 -- Data File.\n\nLayer/color/plot/type/sequence/name table:\n-y2\n"
         "-y0:00C0C0C0,00000000,4,0,Pins\n-y1:0000FFFF,00000000,4,1,Symbols\n"
         "-y2:0000FF00,00000000,6,2,Signals\n\nPrimary Data File:\n"
      << "6 1 0 1.0 1.0 1.4 1.1 RES" << kSep << "R1" << kSep << "1K" << kSep << kSep << "AX\n"
      << "3 0 0 1.0 1.0 0 0 0 0 1\n3 0 0 1.4 1.0 0 0 0 0 2\n0 6 0 1.0 1.0\n"
      << "6 1 0 1.0 2.0 1.4 2.1 RES" << kSep << "R2" << kSep << "2K" << kSep << kSep << "AX\n"
      << "3 0 0 1.0 2.0 0 0 0 0 1\n3 0 0 1.4 2.0 0 0 0 0 2\n0 6 0 1.0 2.0\n"
      << "1 2 .01 1.0 1.0 1.0 2.0\n4 2 .06 1.0 1.5 .18 0 0 0 VCC\n"
      << "1 2 .01 1.4 1.0 1.4 2.0\n4 2 .06 1.4 1.5 .18 0 0 0 GND\n\nEND OF FILE\n";
  ASSERT_TRUE(openFileByName(s.ctx, sch, 0));
  NetlistOptions out;
  out.date = "01/02/03";
  out.path = s.dir.file("rt.NET");
  ASSERT_EQ(writeNetlist(s.ctx, out), ReportStatus::kWritten);
  const std::string schNet = s.readFile(out.path);
  EXPECT_NE(schNet.find("\r\nGND             R1-2    R2-2\r\n\r\nVCC             R1-1    R2-1\r\n"), std::string::npos)
      << schNet;

  NetlistIn b;
  ASSERT_TRUE(b.load(componentLines("AX", "R1", "1K", 0, {"1 OLD", "2 OLD"}) +
                     componentLines("AX", "R2", "2K", 1, {"1", "2 X"})));
  b.write("rt.NET", schNet);
  const std::string log = b.apply({"rt.NET"});
  EXPECT_EQ(log.find("Warning"), std::string::npos) << log;
  EXPECT_EQ(log.find("Input:"), std::string::npos) << log;
  out.path = b.dir.file("board.NET");
  ASSERT_EQ(writeNetlist(b.ctx, out), ReportStatus::kWritten);
  const std::string boardNet = b.readFile(out.path);
  const auto nets = [](const std::string& text) { return text.substr(text.find("NODES")); };
  EXPECT_EQ(nets(boardNet), nets(schNet));
}

TEST(NetlistInKicad, SExpressionNetlistWithAFootprintMap) {
  NetlistIn b;
  ASSERT_TRUE(
      b.load(componentLines("AX", "R1", "10K", 0, {"1", "2"}) + componentLines("AX", "R2", "470", 1, {"1", "2"})));
  b.write("footprint.map", "# KiCad footprint   our pattern\n\nResistor_THT:R_Axial_DIN0207*  AX\n");
  b.write("demo.net",
          "(export (version \"E\")\n"
          "  (design (source \"demo.kicad_sch\") (tool \"Eeschema 7\"))\n"
          "  (components\n"
          "    (comp (ref \"R1\") (value \"10K\") (footprint \"Resistor_THT:R_Axial_DIN0207_L6.3mm\"))\n"
          "    (comp (ref \"R2\") (value \"1K\") (footprint \"Resistor_THT:R_Axial_DIN0207_L6.3mm\")))\n"
          "  (nets\n"
          "    (net (code \"1\") (name \"/VCC\") (node (ref \"R1\") (pin \"1\")) (node (ref \"R2\") (pin \"1\")))\n"
          "    (net (code \"2\") (name \"Net-(R1-Pad2)\") (node (ref \"R1\") (pin \"2\") (pintype \"passive\"))\n"
          "      (node (ref \"R2\") (pin \"2\")))))\n");
  const std::string log = b.apply({"demo.net"});
  EXPECT_NE(log.find("R2          Type/value mismatch     Input: 1K File: 470\r\n"), std::string::npos) << log;
  EXPECT_EQ(log.find("Pattern"), std::string::npos) << log;
  EXPECT_NE(log.find("Total input node count:  4\r\n"), std::string::npos);
  EXPECT_EQ(b.signalAt("R1", 1), "VCC");
  EXPECT_EQ(b.signalAt("R2", 2), "Net-(R1-Pad2)");

  // Damaged files: what was read stands, the fault is logged, nothing more.
  std::string error;
  EXPECT_TRUE(readNetlistText("(export (nets (net (name \"A\") (node (ref \"R1\") (pin \"1\")))", FootprintMap(), error)
                  .empty());
  EXPECT_EQ(error, "Line 1: the file ends inside a list");
  const std::string deep = "(export " + std::string(100000, '(') + std::string(100000, ')') + ")";
  EXPECT_TRUE(readNetlistText(deep, FootprintMap(), error).empty());
  EXPECT_EQ(error, "Line 1: lists nested too deeply");
  EXPECT_FALSE(isKicadNetlist("(exported)"));
  b.write("bad.net", "(export (components (comp (ref \"R1\") (value \"10K\"");
  EXPECT_NE(b.apply({"bad.net"}).find("Line: 0     Input line invalid      Data:  Line 1: the file ends inside a list"),
            std::string::npos);
}

}  // namespace
}  // namespace trelmo::testing
