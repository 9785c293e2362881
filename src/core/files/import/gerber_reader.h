// Internals of the photo-plot (Gerber) and drill (Excellon) readers, shared
// by their source files and the tests.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "database/record.h"
#include "files/record_budget.h"
#include "shell/host.h"

namespace trelmo {

struct Context;

// ---- Setup shared by both readers ----------------------------------------

// Applies the built-in setup lines when layer 0 has no name; `outputEntry`
// is the "-dy" entry that follows them ("GER:0,1" or "DRL:4").
void applyImportSetup(Context& ctx, const char* outputEntry);
// The layer name a file gets: the last 19 characters after the last folder
// separator.
std::string layerNameFromPath(std::string_view path);
// Names ending in ".TOP", ".BOT" or ".ML" plus one character are copper.
bool isCopperName(std::string_view name);
// Picks the first free layer from 1 up to 254 and defines it for the file.
int defineDataLayer(Context& ctx, std::string_view path);

// ---- Numbers ---------------------------------------------------------------

constexpr double kMmPerInch = 25.4;
// Inches (or millimetres when metric) as world units, clamped to 32 bits.
int32_t toUnits(double value, bool metric);
// A 16-bit size from inches or millimetres (clamped to 0..65535).
uint16_t toSize(double value, bool metric);

// Reads an optional sign and digits from s at pos; `digits` gets the count
// written. Leaves pos after the number. Digits beyond 18 are read but ignored.
struct DigitRun {
  bool negative = false;
  int64_t value = 0;
  int digits = 0;
  bool point = false;  // a decimal point was written
  double decimal = 0;  // the value read with its point (when point is set)
};
DigitRun readDigits(std::string_view s, size_t& pos);
// A plain decimal number ("0.0480", ".024", "-1.5"); 0 when none.
double readDecimal(std::string_view s, size_t& pos);
// A non-negative integer (at most 9 digits are kept).
int readInteger(std::string_view s, size_t& pos);

// A photo-plot coordinate as inches (before the unit is applied): leading
// suppression takes `digitCount` fraction digits, trailing suppression takes
// the digits written minus `digitCount`. A written decimal point wins.
double gerberCoordinate(const DigitRun& run, int digitCount, bool trailing);
// A drill coordinate: `integerDigits` digits before the implied point, or,
// with `fractionDigits` >= 0, that many digits after it counted from the
// right. A written decimal point wins.
double drillCoordinate(const DigitRun& run, int integerDigits, int fractionDigits);

// ---- Recognisers -------------------------------------------------------------

struct GerberFacts {
  int counter = 0;
  bool coordinates = false, dcodes = false, format = false, apertures = false;
};
GerberFacts scanGerber(std::string_view first);
GerberFacts scanGerber(std::string_view first, size_t limit);
bool isGerber(const GerberFacts& f);

struct DrillFacts {
  int counter = 0, stars = 0;
  bool start = false, coordinates = false, toolDefinition = false, toolSelect = false;
};
DrillFacts scanExcellon(std::string_view first);
bool isExcellon(const DrillFacts& f);

// ---- Apertures ---------------------------------------------------------------

enum ApertureShape : uint8_t { kUndefined = 0, kCircle = 1, kRectangle = 2, kObround = 5 };

struct Aperture {
  uint8_t shape = kUndefined;
  uint16_t x = 0, y = 0;
  int32_t offsetX = 0, offsetY = 0;  // centre of a macro's extent from the flash point
};

class ApertureTable {
 public:
  static constexpr int kEntries = 1024;
  static constexpr size_t kMaxMacros = 512;
  static constexpr size_t kMaxMacroText = 65536;

  ApertureTable() : table_(kEntries) {}
  // The entry of a D code; codes above 1023 share entry 1023.
  Aperture& operator[](int64_t dcode) { return table_[clampCode(dcode)]; }
  static int clampCode(int64_t dcode) { return dcode < 0 ? 0 : dcode > kEntries - 1 ? kEntries - 1 : int(dcode); }

  // "ADD" n shape "," sizes; `text` starts after "ADD". Returns the D code.
  int define(std::string_view text, bool metric);
  // "AM" name "*" primitives; `text` starts after "AM".
  void defineMacro(std::string_view text);

 private:
  Aperture fromMacro(const std::string& body, const std::vector<double>& params, bool metric) const;
  std::vector<Aperture> table_;
  std::map<std::string, std::string> macros_;
};

// ---- Output ------------------------------------------------------------------

// The items a photo-plot file produces on its data layer, shifted by the
// relative zero point.
class PlotOutput {
 public:
  static constexpr size_t kMaxContour = 65536;
  // Items are made while the budget allows (step and repeat multiplies them).
  PlotOutput(Context& ctx, int layer, RecordBudget& budget)
      : ctx_(ctx), layer_(static_cast<uint8_t>(layer)), budget_(budget) {}

  void line(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint16_t width);
  void flash(int32_t x, int32_t y, const Aperture& ap);
  // A circular arc from start to end around the centre; full when start and
  // end coincide.
  void arc(int32_t sx, int32_t sy, int32_t ex, int32_t ey, int32_t cx, int32_t cy, bool clockwise, uint16_t width);
  // Region contours become filled solids; arcs are followed by chords.
  void contourTo(int32_t x, int32_t y);
  void contourArc(int32_t sx, int32_t sy, int32_t ex, int32_t ey, int32_t cx, int32_t cy, bool clockwise);
  void closeContour();
  // Step and repeat: the items made between begin and end are copied into
  // every other cell of an nx by ny grid of pitch (dx, dy).
  static constexpr int kMaxRepeatCells = 10000;
  void beginRepeat(int nx, int ny, int32_t dx, int32_t dy);
  void endRepeat();
  // Coordinates read without any implied decimals: a picture of 24 inches
  // or more was written in tenths and is scaled down once.
  void scaleDownWhenLarge();
  int items() const { return items_; }

 private:
  int32_t shiftX(int64_t x) const;
  int32_t shiftY(int64_t y) const;
  void copyItem(Handle h, int64_t dx, int64_t dy);
  Context& ctx_;
  uint8_t layer_;
  RecordBudget& budget_;
  int items_ = 0;
  std::vector<std::pair<int32_t, int32_t>> contour_;
  Handle repeatMark_ = 0;  // the last item before the repeated ones
  int repeatX_ = 1, repeatY_ = 1;
  int32_t repeatDx_ = 0, repeatDy_ = 0;
};

// ---- Dialogs -------------------------------------------------------------------

// Building the boxes and reading their answers.
DialogField dialogField(const char* name, DialogField::Kind kind, std::string label, std::string value = "",
                        std::vector<std::string> choices = {});
// A field's value as a number (`fallback` when absent or not a number).
int fieldInt(DialogBox& box, const char* name, int fallback);

struct GerberFormat {
  int digits = 3;
  bool incremental = false, trailing = false, useDefaults = false, metric = false;
};
// Asks for the format of a file that states none; false on Escape.
// The format box showing `fmt`, and the question asked with it.
DialogBox gerberFormatBox(const GerberFormat& fmt, bool aperturesDefined = false);
bool askGerberFormat(Context& ctx, GerberFormat& fmt, bool aperturesDefined = false);
// The format some writers (P-CAD) state only in G04 comments of a file
// without "%FS": digits ("Format 2.3"), zero suppression, addressing and
// units, as far as stated. True when a comment stated any of them.
bool formatFromComments(std::string_view first, GerberFormat& fmt);
// The box for an undefined aperture D-code, and the question: stores the answer in `ap` or sets
// `useDefaults`. Returns false when the box was cancelled.
DialogBox gerberApertureBox(int dcode);
bool askAperture(Context& ctx, int dcode, Aperture& ap, bool& useDefaults);

constexpr uint16_t kDefaultDrill = 1835;  // 0.028 inch: proposed for a tool without size

struct DrillFormat {
  bool useDefaults = false, metric = false;
};
DialogBox drillFormatBox(const DrillFormat& fmt);
bool askDrillFormat(Context& ctx, DrillFormat& fmt);
// The box for a tool without size proposing `proposal`, and the question
// for the tool's diameter in mils: 0 when cancelled or defaults chosen.
DialogBox drillToolBox(int tool, uint16_t proposal);
uint16_t askDrillTool(Context& ctx, int tool, uint16_t proposal, bool& useDefaults);

}  // namespace trelmo
