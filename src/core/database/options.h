// Setup parameter block: start-up values, option-line parsers, number
// formats, park and restore.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "database/params.h"
#include "database/pool.h"

namespace trelmo {

struct Context;

// The values of the block at program start.
void startupParams(Params& p);
// Parse one dash-option line into the block; false when the line is not a
// recognised option (it is then ignored).
bool parseOptionV4(Context& ctx, std::string_view line);
bool parseOptionV3(Context& ctx, std::string_view line);
// Version 2's built-in defaults use the version 3 syntax without the
// ratsnest remapping and without setting the sequence.
bool parseOptionV2(Context& ctx, std::string_view line);
void parseOptionsV4(Context& ctx, std::initializer_list<std::string_view> lines);
// A snap step written as in a "-gs" line and nothing else ("0.025\"",
// "1/3\"", "1.0mm", "25"): sets the step (0.32 fraction of an inch) and the
// units setting; false, leaving both alone, when the text is no valid step.
bool readSnapStep(std::string_view text, uint32_t& step, int8_t& units);
void parseOptionsV3(Context& ctx, std::initializer_list<std::string_view> lines);

// The 16-entry palettes of version 3 files.
extern const uint32_t kDisplayPalette[16];
extern const uint32_t kPlotPalette[16];

// Number fields of option and item lines. Each reader advances `pos` past
// what it used; a field with no digits reads 0.
struct NumberReader {
  std::string_view s;
  size_t pos = 0;
  bool atEnd() const { return pos >= s.size(); }
  char peek() const { return pos < s.size() ? s[pos] : '\0'; }
  bool skip(char c) {  // skips one c when it is next
    if (pos >= s.size() || s[pos] != c) return false;
    ++pos;
    return true;
  }
  int32_t integer();
  uint32_t hex();
  int32_t dimension();                 // inches with a point, mils without
  int32_t oldDimension();              // integer mils
  int32_t plainNumber();               // 16.16, up to 9 fraction digits
  uint16_t angle();                    // degrees into a binary angle
  std::string token(char stop = ',');  // up to stop or blank
};

// Units: millimetres to inches as a 0.32 fraction, and back for display.
constexpr uint32_t kMmToInch32 = 169093201u;
int32_t mmToInch(int64_t mm1616);

// Park the block of the current file into a chain of pool records hung in
// front of the file's undo context, and restore it.
bool parkParams(Context& ctx, Handle fileSentinel);
bool restoreParams(Context& ctx, Handle fileSentinel);
// Converts the "-gd" colours and the 256 display colours for the screen.
void convertColors(Context& ctx);

}  // namespace trelmo
