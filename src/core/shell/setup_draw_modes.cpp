// SM: how lines and arcs, pads and vias and text are drawn, and the tags.
#include "context.h"
#include "shell/dialog_values.h"
#include "shell/setup_boxes.h"

namespace trelmo {

namespace {

struct Flag {
  const char* name;
  const char* label;
  uint8_t Params::*byte;
  uint8_t bit;
};
constexpr Flag kFlags[] = {
    {"trackNames", "Track signal names.", &Params::drawLines, kTrackSignalNames},
    {"pinNumbers", "Pad pin numbers.", &Params::drawPads, kPadPinNumbers},
    {"padSignals", "Pad signal names.", &Params::drawPads, kPadSignalNames},
    {"maskPaste", "Pad mask/paste.", &Params::drawPads, kPadMaskPaste},
    {"readout", "Status line angle/distance readout.", &Params::drawTags, kTagReadout},
    {"origins", "Component insertion points.", &Params::drawTags, kTagOrigins},
    {"endpoints", "Track endpoints.", &Params::drawTags, kTagEndpoints},
    {"arcCenters", "Arc center points.", &Params::drawTags, kTagArcCenters},
};

struct Mode {
  const char* name;
  const char* label;
  uint8_t Params::*byte;
  std::vector<std::string> choices;
};
const Mode kModes[] = {
    {"lines", "Lines and arcs", &Params::drawLines, {"Centerline only", "Outline only", "Sparse fill", "Dense fill"}},
    {"pads",
     "Pads and vias",
     &Params::drawPads,
     {"Outline only", "Outline with hole", "Dense fill", "Dense fill/no hole"}},
    {"text", "Text", &Params::drawText, {"Disabled", "Thin lines", "Hollow lines", "Filled lines"}},
};

}  // namespace

DialogBox drawModesBox(const Context& ctx) {
  const Params& p = ctx.params;
  DialogBox box{"DrawModesBox", "Draw Modes", {}};
  for (const Mode& m : kModes) box.fields.push_back(radioField(m.name, m.label, m.choices, (p.*m.byte) & 3));
  for (const Flag& f : kFlags) box.fields.push_back(checkField(f.name, f.label, (p.*f.byte & f.bit) != 0));
  return box;
}

bool applyDrawModes(Context& ctx, DialogBox& box) {
  FieldReader in(box);
  Params next = ctx.params;
  // The low two bits of each byte are the mode; the flags are bits above.
  for (const Mode& m : kModes)
    next.*m.byte = static_cast<uint8_t>((next.*m.byte & ~3) | in.choice(m.name, static_cast<int>(m.choices.size())));
  for (const Flag& f : kFlags)
    next.*f.byte = static_cast<uint8_t>(in.check(f.name) ? (next.*f.byte | f.bit) : (next.*f.byte & ~f.bit));
  if (!in.report(ctx)) return false;
  for (const Mode& m : kModes) ctx.params.*m.byte = next.*m.byte;
  ctx.params.drawTags = next.drawTags;
  return true;
}

}  // namespace trelmo
