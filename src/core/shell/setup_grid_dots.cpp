// SD: the spacing of the background grid dots and the four colours kept
// with them.
#include <cstdint>

#include "context.h"
#include "database/options.h"
#include "shell/dialog_values.h"
#include "shell/setup_boxes.h"

namespace trelmo {

namespace {

struct Colour {
  const char* name;
  const char* label;
  uint32_t Params::*member;
};
constexpr Colour kColours[] = {
    {"gridColour", "Grid dot colour", &Params::gridColor},
    {"backgroundColour", "Background colour", &Params::backgroundColor},
    {"hilightColour", "Hilight colour", &Params::hilightColor},
    {"attentionColour", "Attention colour", &Params::attentionColor},
};

// The spacing as a "-gd" line writes it: the 0.32 fraction to the nearest
// unit, one inch or more as 1.0.
std::string spacingText(uint32_t spacing) {
  return dimensionText(static_cast<int32_t>((uint64_t{spacing} + 0x8000) >> 16));
}

// "0.1", "100" (mils), "2.5mm", "0.1\"": the text the "-gd" line takes, with
// the millimetre mark as one "m". Empty when it is no spacing.
std::string spacingOption(const std::string& typed) {
  std::string text = trimmedText(typed);
  bool mm = false;
  for (const char* suffix : {"mm", "MM", "m", "M", "\""}) {
    const std::string s = suffix;
    if (text.size() > s.size() && text.compare(text.size() - s.size(), s.size(), s) == 0) {
      mm = s != "\"";
      text.resize(text.size() - s.size());
      break;
    }
  }
  int digits = 0, points = 0;
  for (char c : text) {
    digits += c >= '0' && c <= '9';
    points += c == '.';
    if (!(c >= '0' && c <= '9') && c != '.') return {};
  }
  if (digits == 0 || points > 1 || (mm && points == 0)) return {};
  return text + (mm ? "m" : "");
}

}  // namespace

DialogBox gridDotsBox(const Context& ctx) {
  DialogBox box{"GridDotsBox", "Grid Dots", {}};
  box.fields.push_back(
      textField("spacing", "Grid dot spacing (inches, mils or mm)", spacingText(ctx.params.gridSpacing), 16));
  box.fields.push_back(labelField("colours", "Colours (hexadecimal RRGGBB)"));
  for (const Colour& c : kColours)
    box.fields.push_back(textField(c.name, c.label, colourText(ctx.params.*c.member), 6));
  return box;
}

bool applyGridDots(Context& ctx, DialogBox& box) {
  FieldReader in(box);
  const std::string spacing = spacingOption(in.text("spacing"));
  if (spacing.empty())
    in.refuse("spacing", "\"" + in.text("spacing") + "\" is not a valid value for Grid dot spacing.");
  std::string line = "-gd" + spacing;
  for (const Colour& c : kColours) line += "," + colourText(in.colour(c.name));
  if (!in.report(ctx)) return false;
  // The option line's own reader converts the spacing and the screen colours;
  // a spacing left as shown keeps its exact value.
  const uint32_t spacingBefore = ctx.params.gridSpacing;
  parseOptionV4(ctx, line);
  if (in.text("spacing") == spacingText(spacingBefore)) ctx.params.gridSpacing = spacingBefore;
  return true;
}

}  // namespace trelmo
