// Internals of the photo-plot (Gerber) and drill (Excellon) readers, shared
// by their source files and the tests.
#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "database/record.h"
#include "files/import/gerber_shapes.h"
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
// Names a data layer and sets its kind and side after a file function
// ("Copper,L1,Top", "Soldermask,Bot", "Legend,Top", "Profile,NP"...).
void describeLayer(Context& ctx, int layer, std::string_view fileFunction);
// A negative copper image (the dark objects are where copper is not) goes
// on a plane layer.
void negativeLayer(Context& ctx, int layer);
// The fields of an attribute ("name,value,value"), with \uXXXX escapes
// turned back into characters of the internal set.
std::vector<std::string> attributeFields(std::string_view text);

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

// The statements of a block aperture, as read (parameters without their "%").
struct BlockStatement {
  bool parameter = false;
  std::string text;
};
using BlockStatements = std::vector<BlockStatement>;

struct Aperture {
  uint8_t shape = kUndefined;
  uint16_t x = 0, y = 0;
  int32_t offsetX = 0, offsetY = 0;  // centre of a macro's pad from the flash point
  uint16_t angle = 0;                // rotation of that pad
  // The exact shape about the flash point (world units) when no pad can hold
  // it: macros of other shapes, polygons, apertures with holes, large ones.
  std::shared_ptr<const gerber::Polygons> outline;
  // A block aperture: the statements a flash of it carries out.
  std::shared_ptr<const BlockStatements> block;
};
// The area an aperture covers about its flash point.
gerber::Polygons apertureShape(const Aperture& ap);

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
  static Aperture standard(char letter, const std::vector<double>& params, bool metric);
  Aperture fromMacro(const std::string& body, const std::vector<double>& params, bool metric) const;
  std::vector<Aperture> table_;
  std::map<std::string, std::string> macros_;
};

// ---- Output ------------------------------------------------------------------

// What an object is part of, from the object attributes in force: its net,
// its component (Ref ID) and, for pads, its pin.
struct ObjectAttributes {
  std::string net, component, pin, footprint, value;
};

// The items a photo-plot file produces on its data layer, shifted by the
// relative zero point. Objects of clear polarity are taken out of the dark
// items made before them (what is left of a cut item becomes filled solids).
class PlotOutput {
 public:
  static constexpr size_t kMaxContour = 65536;
  // Items are made while the budget allows (step and repeat multiplies them).
  PlotOutput(Context& ctx, int layer, RecordBudget& budget);

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
  // Load polarity: clear objects cut what is dark so far.
  void setClear(bool clear);
  bool clear() const { return clear_; }
  // Mirror, rotation and scale of the apertures flashed and drawn from now on.
  gerber::Placement& placement() { return placement_; }
  // The attributes the next objects carry.
  ObjectAttributes& attributes() { return attributes_; }
  // Applies what is pending, ends a repeat and gathers the items of each
  // component named by the attributes into a component of the design.
  void finish();
  int items() const { return items_; }
  uint8_t layer() const { return layer_; }

 private:
  int32_t shiftX(int64_t x) const;
  int32_t shiftY(int64_t y) const;
  void copyItem(Handle h, int64_t dx, int64_t dy);
  // A new item of this file: its count, signal, pin and component.
  void made(Handle h);
  // Filled solids for an area (world units, already shifted), placed before `position`.
  static constexpr int kMaxSplits = 24;
  void solids(const gerber::Polygons& area, Handle position, const std::string& component, int depth = 0);
  void applyClear();
  gerber::Polygons shortenTrack(Handle h, const gerber::Polygons& rest, const gerber::Polygons& cut,
                                const ObjectAttributes& owner);
  void gatherComponents();
  Context& ctx_;
  uint8_t layer_;
  RecordBudget& budget_;
  int items_ = 0;
  Handle mark_ = 0;  // the last item before those of this file
  std::vector<std::pair<int32_t, int32_t>> contour_;
  Handle repeatMark_ = 0;  // the last item before the repeated ones
  int repeatX_ = 1, repeatY_ = 1;
  int32_t repeatDx_ = 0, repeatDy_ = 0;
  bool clear_ = false;
  gerber::Polygons cut_;  // clear objects not yet applied
  gerber::Placement placement_;
  ObjectAttributes attributes_;
  std::map<Handle, ObjectAttributes> owners_;  // items that belong to a component
};

// The area an item covers (world units): lines and arcs with their round
// ends, pads by their shape, filled solids by their outline; empty for others.
gerber::Polygons itemArea(const Context& ctx, Handle h);

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
