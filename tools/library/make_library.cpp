// Writes TRELMO's standard component libraries from the dimensions below:
// footprints.lib (board footprints) and symbols.lib (schematic symbols), as
// version 4 data files in the library layer codes.
//
//   make_library FOLDER
//
// Every footprint is generated from its numbers, so pitches and pad sizes are
// exact and a new size is one line in the tables at the end. Pin 1 lies on
// the component origin.
//
// Pad sizes (hand soldering and milling):
// - through-hole pads are round, pin 1 square: diameter = drill + 0.030 in
//   (a 15 mil ring), at least 0.065 in; mounting holes get drill + 0.100 in;
// - surface-mount pads are the usual land sizes lengthened by about 0.25 mm
//   at their outer ends for the iron (values in the tables, in millimetres).
#include <cmath>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr double kMm = 1.0 / 25.4;

// A dimension in inches as the data files write it: up to five decimals,
// no trailing zeros, no leading zero.
std::string num(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.5f", v);
  std::string s = buf;
  while (s.back() == '0') s.pop_back();
  if (s.back() == '.') s += '0';
  if (s.rfind("0.", 0) == 0 && s != "0.0") s.erase(0, 1);
  if (s.rfind("-0.", 0) == 0) s.erase(1, 1);
  if (s == "0.0" || s == "-.0" || s == "-0.0") s = "0";
  return s;
}

std::string angle(double degrees) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%g", degrees);
  return buf;
}

struct Box {
  double x0 = 1e9, y0 = 1e9, x1 = -1e9, y1 = -1e9;
  void add(double x, double y) {
    x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
  }
};

// One component being written.
class Part {
 public:
  Part(std::string attributes, std::string layer) : attributes_(std::move(attributes)), layer_(std::move(layer)) {}

  void pad(int type, const std::string& layer, double x, double y, double xs, double ys, double drill,
           const std::string& pin) {
    lines_ += "3 " + layer + " " + std::to_string(type) + " " + num(x) + " " + num(y) + " " + num(xs) + " " + num(ys) +
              " " + num(drill) + " 0 " + pin + "\r\n";
    box_.add(x - xs / 2, y - ys / 2);
    box_.add(x + xs / 2, y + ys / 2);
  }
  // A through-hole pad after the pad-size rule; pin 1 square.
  void thru(double x, double y, double drill, int pin, bool mounting = false) {
    const double size = mounting ? drill + 0.1 : std::max(0.065, drill + 0.030);
    pad(pin == 1 && !mounting ? 2 : 1, "0", x, y, size, size, drill, std::to_string(pin));
  }
  void smt(double x, double y, double xs, double ys, int pin) { pad(6, "CT", x, y, xs, ys, 0, std::to_string(pin)); }
  // A schematic pin (no copper) with its name as the pin name.
  void pin(double x, double y, const std::string& name) {
    lines_ += "3 0 0 " + num(x) + " " + num(y) + " 0 0 0 0 " + name + "\r\n";
    box_.add(x, y);
  }
  void line(double x1, double y1, double x2, double y2, double width = 0.01) {
    lines_ += "1 " + layer_ + " " + num(width) + " " + num(x1) + " " + num(y1) + " " + num(x2) + " " + num(y2) + "\r\n";
    box_.add(x1, y1);
    box_.add(x2, y2);
  }
  void rect(double x0, double y0, double x1, double y1) {
    line(x0, y0, x1, y0), line(x1, y0, x1, y1), line(x1, y1, x0, y1), line(x0, y1, x0, y0);
  }
  void poly(const std::vector<double>& xy, bool closed) {
    for (size_t i = 0; i + 3 < xy.size(); i += 2) line(xy[i], xy[i + 1], xy[i + 2], xy[i + 3]);
    if (closed && xy.size() >= 6) line(xy[xy.size() - 2], xy.back(), xy[0], xy[1]);
  }
  // An arc (sweep 0: a full circle), angles in degrees.
  void arc(double x, double y, double r, double start = 0, double sweep = 0, double width = 0.01) {
    lines_ += "2 " + layer_ + " " + num(width) + " " + num(x) + " " + num(y) + " " + num(r) + " " + angle(start) + " " +
              angle(sweep) + " 0 0\r\n";
    box_.add(x - r, y - r);
    box_.add(x + r, y + r);
  }
  // A text showing attribute `field` (1 Ref ID, 2 Type/value).
  void attribute(double x, double y, int field, double height = 0.05) {
    const double unit = std::floor(height * 65536 / 6) / 65536;
    lines_ += "4 " + layer_ + " " + num(height) + " " + num(x) + " " + num(y) + " " + num(10 * unit) + " 0 0 0 &" +
              std::to_string(field) + "\r\n";
    box_.add(x, y);
  }

  std::string text() const {
    return "6 " + layer_ + " 0 " + num(box_.x0) + " " + num(box_.y0) + " " + num(box_.x1) + " " + num(box_.y1) + " " +
           attributes_ + "\r\n" + lines_ + "0 6 0 0 0\r\n";
  }

 private:
  std::string attributes_, layer_, lines_;
  Box box_;
};

// Pattern, Ref ID, Type/value, Modifier, alternate pattern joined by byte 127.
std::string attrs(const std::string& pattern, const std::string& ref, const std::string& value = "",
                  const std::string& alternate = "") {
  std::string s = pattern + '\x7F' + ref;
  if (!value.empty() || !alternate.empty()) s += '\x7F' + value;
  if (!alternate.empty()) s += std::string("\x7F") + '\x7F' + alternate;
  return s;
}

// ------------------------------------------------------------ footprints

// Dual in-line: pins 1..n/2 left to right on y = 0, the rest back along the
// other row.
Part dip(int pins, double row, const std::string& name) {
  Part p(attrs(name, "U?"), "ST");
  const int half = pins / 2;
  for (int i = 0; i < half; ++i) p.thru(i * 0.1, 0, 0.035, i + 1);
  for (int i = 0; i < half; ++i) p.thru((half - 1 - i) * 0.1, row, 0.035, half + i + 1);
  const double x1 = (half - 1) * 0.1 + 0.06;
  p.rect(-0.06, 0.07, x1, row - 0.07);
  p.line(-0.06, row / 2 + 0.03, -0.03, row / 2), p.line(-0.03, row / 2, -0.06, row / 2 - 0.03);
  p.attribute(0, row / 2 - 0.025, 1);
  return p;
}

// Small outline: 1.27 mm pitch, rows `row` mm apart centre to centre.
Part soic(int pins, double row, double padLength, const std::string& name) {
  Part p(attrs(name, "U?"), "ST");
  const int half = pins / 2;
  const double pitch = 1.27 * kMm, r = row * kMm, l = padLength * kMm, w = 0.6 * kMm;
  for (int i = 0; i < half; ++i) p.smt(i * pitch, 0, w, l, i + 1);
  for (int i = 0; i < half; ++i) p.smt((half - 1 - i) * pitch, r, w, l, half + i + 1);
  const double x1 = (half - 1) * pitch + 0.03, inner = l / 2 + 0.02;
  p.rect(-0.03, inner, x1, r - inner);
  p.arc(-0.03, r / 2, 0.02, 270, 180);
  p.attribute(0.02, r / 2 - 0.025, 1);
  return p;
}

// Two-terminal chip: pads `pitch` mm apart, `length` x `width` mm.
Part chip(const std::string& name, const std::string& ref, double pitch, double length, double width) {
  Part p(attrs(name, ref), "ST");
  const double c = pitch * kMm, l = length * kMm, w = width * kMm;
  p.smt(0, 0, l, w, 1);
  p.smt(c, 0, l, w, 2);
  p.line(l / 2 + 0.01, w / 2 + 0.01, c - l / 2 - 0.01, w / 2 + 0.01);
  p.line(l / 2 + 0.01, -w / 2 - 0.01, c - l / 2 - 0.01, -w / 2 - 0.01);
  p.attribute(0, w / 2 + 0.03, 1);
  return p;
}

// Two leads in line: axial parts and radial ones.
Part twoLead(const std::string& name, const std::string& ref, double pitch, double drill, bool radial,
             bool polarised = false) {
  Part p(attrs(name, ref), "ST");
  p.thru(0, 0, drill, 1);
  p.thru(pitch, 0, drill, 2);
  if (radial) {
    p.arc(pitch / 2, 0, pitch / 2 + 0.08);
  } else {
    p.rect(0.08, -0.04, pitch - 0.08, 0.04);
    p.line(0.05, 0, 0.08, 0), p.line(pitch - 0.08, 0, pitch - 0.05, 0);
  }
  if (polarised) p.line(0.11, -0.06, 0.11, 0.06);
  p.attribute(0, 0.1, 1);
  return p;
}

Part header(int rows, int columns) {
  const std::string name = "HDR" + std::to_string(rows) + "X" + std::to_string(columns);
  Part p(attrs(name, "J?"), "ST");
  // Pins numbered across the rows first (1 2 on the first column, ...).
  int pin = 1;
  for (int c = 0; c < columns; ++c)
    for (int r = 0; r < rows; ++r) p.thru(c * 0.1, r * 0.1, 0.040, pin++);
  p.rect(-0.05, -0.05, (columns - 1) * 0.1 + 0.05, (rows - 1) * 0.1 + 0.05);
  p.attribute(-0.05, (rows - 1) * 0.1 + 0.07, 1);
  return p;
}

Part terminal(int pins) {
  Part p(attrs("TERM" + std::to_string(pins), "J?"), "ST");
  const double pitch = 0.2;
  for (int i = 0; i < pins; ++i) p.thru(i * pitch, 0, 0.052, i + 1);
  p.rect(-0.13, -0.16, (pins - 1) * pitch + 0.13, 0.2);
  p.attribute(-0.13, 0.22, 1);
  return p;
}

Part mounting(const std::string& name, double drill) {
  Part p(attrs(name, "H?"), "ST");
  p.thru(0, 0, drill, 1, true);
  p.arc(0, 0, (drill + 0.1) / 2 + 0.02);
  return p;
}

Part sot23() {
  Part p(attrs("SOT23", "Q?"), "ST");
  const double x = 0.95 * kMm, y = 1.1 * kMm, w = 0.9 * kMm, l = 1.3 * kMm;
  // Pin 1 on the origin: pins 1 and 2 on the lower row, 3 above between them.
  p.smt(0, 0, w, l, 1);
  p.smt(2 * x, 0, w, l, 2);
  p.smt(x, 2 * y, w, l, 3);
  p.rect(-0.03, l / 2 + 0.01, 2 * x + 0.03, 2 * y - l / 2 - 0.01);
  p.attribute(2 * x + 0.06, y, 1);
  return p;
}

Part sot223() {
  Part p(attrs("SOT223", "U?"), "ST");
  const double pitch = 2.3 * kMm, rows = 6.3 * kMm, w = 1.2 * kMm, l = 2.2 * kMm;
  for (int i = 0; i < 3; ++i) p.smt(i * pitch, 0, w, l, i + 1);
  p.smt(pitch, rows, 3.6 * kMm, l, 4);
  p.rect(-0.05, l / 2 + 0.02, 2 * pitch + 0.05, rows - l / 2 - 0.02);
  p.attribute(2 * pitch + 0.08, rows / 2, 1);
  return p;
}

Part inLine(const std::string& name, const std::string& ref, int pins, double pitch, double drill, double bodyBelow,
            double bodyAbove) {
  Part p(attrs(name, ref), "ST");
  for (int i = 0; i < pins; ++i) p.thru(i * pitch, 0, drill, i + 1);
  p.rect(-0.08, -bodyBelow, (pins - 1) * pitch + 0.08, bodyAbove);
  p.attribute(-0.08, bodyAbove + 0.02, 1);
  return p;
}

Part led(const std::string& name, double diameter) {
  Part p(attrs(name, "D?"), "ST");
  p.thru(0, 0, 0.032, 1);
  p.thru(0.1, 0, 0.032, 2);
  p.arc(0.05, 0, diameter / 2, 30, 300);
  p.line(0.05 + diameter / 2 * std::cos(std::numbers::pi / 6), diameter / 2 * std::sin(std::numbers::pi / 6),
         0.05 + diameter / 2 * std::cos(std::numbers::pi / 6), -diameter / 2 * std::sin(std::numbers::pi / 6));
  p.attribute(-0.05, diameter / 2 + 0.03, 1);
  return p;
}

Part crystal() {
  Part p(attrs("XTAL-HC49", "Y?"), "ST");
  const double pitch = 4.88 * kMm;
  p.thru(0, 0, 0.032, 1);
  p.thru(pitch, 0, 0.032, 2);
  p.line(-0.03, 0.09, pitch + 0.03, 0.09), p.line(-0.03, -0.09, pitch + 0.03, -0.09);
  p.arc(-0.03, 0, 0.09, 90, 180), p.arc(pitch + 0.03, 0, 0.09, 270, 180);
  p.attribute(-0.12, 0.12, 1);
  return p;
}

std::vector<Part> footprints() {
  std::vector<Part> out;
  for (int pins : {8, 14, 16, 18, 20, 24}) out.push_back(dip(pins, 0.3, "DIP" + std::to_string(pins)));
  out.push_back(dip(24, 0.6, "DIP24W"));
  for (int pins : {28, 32, 40}) out.push_back(dip(pins, 0.6, "DIP" + std::to_string(pins)));
  for (int pins : {8, 14, 16}) out.push_back(soic(pins, 5.4, 1.8, "SOIC" + std::to_string(pins)));
  for (int pins : {18, 20, 24, 28}) out.push_back(soic(pins, 9.4, 2.2, "SOIC" + std::to_string(pins)));
  out.push_back(sot23());
  out.push_back(sot223());
  out.push_back(inLine("TO92", "Q?", 3, 0.1, 0.032, 0.08, 0.1));
  out.push_back(inLine("TO220", "Q?", 3, 0.1, 0.045, 0.08, 0.12));
  for (int mils : {300, 400, 500}) {
    out.push_back(twoLead("RAX" + std::to_string(mils), "R?", mils / 1000.0, 0.035, false));
    out.push_back(twoLead("CAX" + std::to_string(mils), "C?", mils / 1000.0, 0.035, false));
  }
  out.push_back(twoLead("CRAD100", "C?", 0.1, 0.032, true));
  out.push_back(twoLead("CRAD200", "C?", 0.2, 0.035, true));
  out.push_back(twoLead("CPRAD100", "C?", 0.1, 0.032, true, true));
  out.push_back(twoLead("CPRAD200", "C?", 0.2, 0.035, true, true));
  // Chip sizes: pitch, pad length, pad width (mm).
  struct ChipSize {
    const char* size;
    double pitch, length, width;
  };
  for (const ChipSize& c : {ChipSize{"0402", 1.1, 0.7, 0.6}, ChipSize{"0603", 1.7, 1.0, 0.95},
                            ChipSize{"0805", 2.0, 1.2, 1.3}, ChipSize{"1206", 3.1, 1.3, 1.7}}) {
    out.push_back(chip(std::string("R") + c.size, "R?", c.pitch, c.length, c.width));
    out.push_back(chip(std::string("C") + c.size, "C?", c.pitch, c.length, c.width));
  }
  out.push_back(twoLead("DO35", "D?", 0.3, 0.032, false, true));
  out.push_back(twoLead("DO41", "D?", 0.4, 0.040, false, true));
  out.push_back(led("LED3MM", 0.118));
  out.push_back(led("LED5MM", 0.197));
  out.push_back(crystal());
  for (int n = 1; n <= 12; ++n) out.push_back(header(1, n));
  for (int n = 2; n <= 20; ++n) out.push_back(header(2, n));
  for (int n : {2, 3, 4}) out.push_back(terminal(n));
  out.push_back(mounting("MTG-M2.5", 2.7 * kMm));
  out.push_back(mounting("MTG-M3", 3.2 * kMm));
  out.push_back(mounting("MTG-440", 0.120));
  return out;
}

// --------------------------------------------------------------- symbols

// Schematic symbols on layer 1 (Symbols), pins on 0, the connection points
// on the 0.1 inch grid.
Part symbol(const std::string& name, const std::string& ref, const std::string& footprint) {
  return Part(attrs(name, ref, "", footprint), "1");
}

Part twoPin(const std::string& name, const std::string& ref, const std::string& footprint) {
  Part p = symbol(name, ref, footprint);
  p.pin(0, 0, "1");
  p.pin(0.4, 0, "2");
  p.attribute(0.1, 0.08, 1, 0.06);
  p.attribute(0.1, -0.12, 2, 0.06);
  return p;
}

std::vector<Part> symbols() {
  std::vector<Part> out;
  {
    Part p = twoPin("RES", "R?", "RAX400");
    p.line(0, 0, 0.1, 0), p.line(0.3, 0, 0.4, 0), p.rect(0.1, -0.04, 0.3, 0.04);
    out.push_back(p);
  }
  {
    Part p = twoPin("CAP", "C?", "CRAD100");
    p.line(0, 0, 0.18, 0), p.line(0.22, 0, 0.4, 0), p.line(0.18, -0.08, 0.18, 0.08), p.line(0.22, -0.08, 0.22, 0.08);
    out.push_back(p);
  }
  {
    Part p = twoPin("CAPPOL", "C?", "CPRAD100");
    p.line(0, 0, 0.18, 0), p.line(0.22, 0, 0.4, 0), p.line(0.18, -0.08, 0.18, 0.08);
    p.arc(0.3, 0, 0.08, 150, 60);
    p.line(0.1, 0.06, 0.14, 0.06), p.line(0.12, 0.04, 0.12, 0.08);
    out.push_back(p);
  }
  {
    Part p = twoPin("IND", "L?", "RAX400");
    p.line(0, 0, 0.1, 0), p.line(0.3, 0, 0.4, 0);
    for (int i = 0; i < 4; ++i) p.arc(0.125 + i * 0.05, 0, 0.025, 0, 180);
    out.push_back(p);
  }
  auto diode = [&](const std::string& name, const std::string& footprint, int kind) {
    Part p = twoPin(name, "D?", footprint);
    p.line(0, 0, 0.15, 0), p.line(0.25, 0, 0.4, 0);
    p.poly({0.15, -0.05, 0.15, 0.05, 0.25, 0}, true);
    p.line(0.25, -0.05, 0.25, 0.05);
    if (kind == 1) p.line(0.25, 0.05, 0.22, 0.07), p.line(0.25, -0.05, 0.28, -0.07);  // Zener
    if (kind == 2) {                                                                  // LED
      p.line(0.18, 0.07, 0.22, 0.11), p.line(0.22, 0.11, 0.2, 0.11), p.line(0.22, 0.11, 0.22, 0.09);
      p.line(0.22, 0.07, 0.26, 0.11), p.line(0.26, 0.11, 0.24, 0.11), p.line(0.26, 0.11, 0.26, 0.09);
    }
    out.push_back(p);
  };
  diode("DIODE", "DO41", 0);
  diode("ZENER", "DO35", 1);
  diode("LED", "LED5MM", 2);
  auto bipolar = [&](const std::string& name, bool npn) {
    Part p = symbol(name, "Q?", "TO92");
    p.pin(0, 0, "B");
    p.pin(0.2, 0.2, "C");
    p.pin(0.2, -0.2, "E");
    p.line(0, 0, 0.1, 0), p.line(0.1, -0.08, 0.1, 0.08);
    p.line(0.1, 0.04, 0.2, 0.1), p.line(0.2, 0.1, 0.2, 0.2);
    p.line(0.1, -0.04, 0.2, -0.1), p.line(0.2, -0.1, 0.2, -0.2);
    if (npn)
      p.line(0.2, -0.1, 0.17, -0.07), p.line(0.2, -0.1, 0.16, -0.1);
    else
      p.line(0.1, -0.04, 0.13, -0.04), p.line(0.1, -0.04, 0.12, -0.075);
    p.arc(0.13, 0, 0.14);
    p.attribute(0.3, 0.05, 1, 0.06), p.attribute(0.3, -0.1, 2, 0.06);
    out.push_back(p);
  };
  bipolar("NPN", true);
  bipolar("PNP", false);
  auto mosfet = [&](const std::string& name, bool nChannel) {
    Part p = symbol(name, "Q?", "TO220");
    p.pin(0, 0, "G");
    p.pin(0.2, 0.2, "D");
    p.pin(0.2, -0.2, "S");
    p.line(0, 0, 0.08, 0), p.line(0.08, -0.08, 0.08, 0.08);
    p.line(0.11, -0.1, 0.11, 0.1);
    p.line(0.11, 0.06, 0.2, 0.06), p.line(0.2, 0.06, 0.2, 0.2);
    p.line(0.11, -0.06, 0.2, -0.06), p.line(0.2, -0.06, 0.2, -0.2);
    p.line(0.11, 0, 0.2, 0), p.line(0.2, 0, 0.2, -0.06);
    if (nChannel)
      p.line(0.11, 0, 0.15, 0.025), p.line(0.11, 0, 0.15, -0.025);
    else
      p.line(0.2, 0, 0.16, 0.025), p.line(0.2, 0, 0.16, -0.025);
    p.attribute(0.3, 0.05, 1, 0.06), p.attribute(0.3, -0.1, 2, 0.06);
    out.push_back(p);
  };
  mosfet("NMOS", true);
  mosfet("PMOS", false);
  {
    Part p = symbol("OPAMP", "U?", "DIP8");
    p.pin(0, 0.1, "3"), p.pin(0, -0.1, "2"), p.pin(0.5, 0, "1");
    p.poly({0.1, 0.2, 0.1, -0.2, 0.4, 0}, true);
    p.line(0, 0.1, 0.1, 0.1), p.line(0, -0.1, 0.1, -0.1), p.line(0.4, 0, 0.5, 0);
    p.line(0.12, 0.1, 0.16, 0.1), p.line(0.14, 0.08, 0.14, 0.12), p.line(0.12, -0.1, 0.16, -0.1);
    p.attribute(0.3, 0.15, 1, 0.06);
    out.push_back(p);
  }
  {
    Part p = symbol("NE555", "U?", "DIP8");
    // VCC TRIG THR GND on the left, DIS OUT CTRL RST on the right.
    const char* numbers[] = {"8", "2", "6", "1"};
    const char* rightNumbers[] = {"7", "3", "5", "4"};
    for (int i = 0; i < 4; ++i) {
      p.pin(0, -0.1 * i, numbers[i]);
      p.line(0, -0.1 * i, 0.1, -0.1 * i);
      p.pin(0.8, -0.1 * i, rightNumbers[i]);
      p.line(0.7, -0.1 * i, 0.8, -0.1 * i);
    }
    p.rect(0.1, 0.1, 0.7, -0.4);
    p.attribute(0.1, 0.12, 1, 0.06), p.attribute(0.3, -0.25, 2, 0.06);
    out.push_back(p);
  }
  // One gate of each 7400-series package, its pins those of gate A.
  auto gate = [&](const std::string& name, int kind) {
    Part p = symbol(name, "U?", "DIP14");
    const bool inverter = kind == 4;
    if (inverter) {
      p.pin(0, 0, "1"), p.pin(0.5, 0, "2");
      p.line(0, 0, 0.1, 0), p.poly({0.1, 0.1, 0.1, -0.1, 0.35, 0}, true);
      p.arc(0.375, 0, 0.025), p.line(0.4, 0, 0.5, 0);
    } else {
      p.pin(0, 0.1, "1"), p.pin(0, -0.1, "2"), p.pin(0.6, 0, "3");
      p.line(0, 0.1, 0.1, 0.1), p.line(0, -0.1, 0.1, -0.1);
      const bool orShape = kind == 2 || kind == 3 || kind == 5;
      if (orShape) {
        p.arc(-0.05, 0, 0.18, 326, 68);
        p.line(0.1, 0.15, 0.25, 0.15), p.line(0.1, -0.15, 0.25, -0.15);
        p.arc(0.25, -0.15, 0.3, 30, 60), p.arc(0.25, 0.15, 0.3, 270, 60);
        if (kind == 5) p.arc(-0.09, 0, 0.18, 326, 68);
      } else {
        p.line(0.1, 0.15, 0.1, -0.15), p.line(0.1, 0.15, 0.25, 0.15), p.line(0.1, -0.15, 0.25, -0.15);
        p.arc(0.25, 0, 0.15, 270, 180);
      }
      const bool bubble = kind == 0 || kind == 2;
      if (bubble)
        p.arc(0.425, 0, 0.025), p.line(0.45, 0, 0.6, 0);
      else
        p.line(0.4, 0, 0.6, 0);
    }
    p.attribute(0.1, 0.18, 1, 0.06);
    out.push_back(p);
  };
  gate("7400", 0);  // NAND
  gate("7402", 2);  // NOR
  gate("7404", 4);  // inverter
  gate("7408", 1);  // AND
  gate("7432", 3);  // OR
  gate("7486", 5);  // XOR
  {
    Part p = symbol("REG78XX", "U?", "TO220");
    p.pin(0, 0, "1"), p.pin(0.6, 0, "3"), p.pin(0.3, -0.3, "2");
    p.line(0, 0, 0.1, 0), p.line(0.5, 0, 0.6, 0), p.line(0.3, -0.2, 0.3, -0.3);
    p.rect(0.1, 0.1, 0.5, -0.2);
    p.attribute(0.1, 0.12, 1, 0.06), p.attribute(0.15, -0.05, 2, 0.06);
    out.push_back(p);
  }
  for (int n = 2; n <= 10; ++n) {
    Part p = symbol("CONN" + std::to_string(n), "J?", "HDR1X" + std::to_string(n));
    for (int i = 0; i < n; ++i) {
      p.pin(0, -0.1 * i, std::to_string(i + 1));
      p.line(0, -0.1 * i, 0.1, -0.1 * i);
      p.arc(0.115, -0.1 * i, 0.015);
    }
    p.rect(0.08, 0.05, 0.18, -0.1 * (n - 1) - 0.05);
    p.attribute(0.08, 0.07, 1, 0.06);
    out.push_back(p);
  }
  {
    Part p = symbol("VCC", "#PWR", "");
    p.pin(0, 0, "VCC");
    p.line(0, 0, 0, 0.1), p.line(-0.06, 0.1, 0.06, 0.1);
    out.push_back(p);
  }
  {
    Part p = symbol("GND", "#PWR", "");
    p.pin(0, 0, "GND");
    p.line(0, 0, 0, -0.05), p.line(-0.06, -0.05, 0.06, -0.05), p.line(-0.04, -0.07, 0.04, -0.07);
    p.line(-0.02, -0.09, 0.02, -0.09);
    out.push_back(p);
  }
  return out;
}

const char kHeader[] =
    "TRELMO Version 4.0 -- Data File.\r\n"
    "\r\n"
    "Layer/color/plot/type/sequence/name table:\r\n"
    "%s"
    "\r\n"
    "Primary Data File:\r\n"
    "Component: 6 0 0 X1 Y1 X2 Y2 Parameters\r\n"
    "Text: 4 layer height X0 Y0 length angle anchor font data\r\n"
    "Pad: 3 layer type X0 Y0 width height hole angle pin signal\r\n"
    "Arc: 2 layer width X0 Y0 radius start sweep ellipse angle signal\r\n"
    "Line: 1 layer width X1 Y1 X2 Y2 signal\r\n";

const char kBoardLayers[] =
    "-y3\r\n"
    "-y0:00C0C0C0,00000000,2,0,Pad Master\r\n"
    "-y1:00FFFFFF,00000000,0,1,Top Silk\r\n"
    "-y2:01AA00AA,00000000,1,2,Top Mask\r\n"
    "-y3:00E04040,00000000,2,3,Top Copper\r\n"
    "-y12:004080E0,00000000,10,12,Bottom Copper\r\n"
    "-y13:01AA00AA,00000000,9,13,Bottom Mask\r\n"
    "-y14:00E0E060,00000000,8,14,Bottom Silk\r\n";

const char kSchematicLayers[] =
    "-y1\r\n"
    "-y0:00C0C0C0,00000000,4,0,Pins\r\n"
    "-y1:0000FFFF,00000000,4,1,Symbols\r\n"
    "-y2:0000FF00,00000000,6,2,Signals\r\n"
    "-y3:00FFFFFF,00000000,7,3,Drawing\r\n";

bool write(const std::string& path, const char* layers, const std::vector<Part>& parts) {
  std::string text(sizeof kHeader + 1024, '\0');
  text.resize(static_cast<size_t>(std::snprintf(text.data(), text.size(), kHeader, layers)));
  for (const Part& p : parts) text += p.text();
  text += "\r\nEND OF FILE\r\n";
  std::ofstream out(path, std::ios::binary);
  out << text;
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_library FOLDER\n");
    return 2;
  }
  const std::string folder = argv[1];
  if (!write(folder + "/footprints.lib", kBoardLayers, footprints()) ||
      !write(folder + "/symbols.lib", kSchematicLayers, symbols())) {
    std::fprintf(stderr, "make_library: cannot write into %s\n", folder.c_str());
    return 1;
  }
  return 0;
}
