// SB: the readouts of the status bar. The polar readout and the units are
// the file's (its tags and its snap line); the readout factor lasts for the
// session.
#include <algorithm>
#include <cstdlib>

#include "context.h"
#include "shell/dialog_values.h"
#include "shell/setup_boxes.h"

namespace trelmo {

namespace {

const std::vector<std::string> kUnits = {"Inches", "Millimetres"};
const std::vector<std::string> kDecimals = {"0", "1", "2", "3", "4"};
constexpr int kMaxInchDecimals = 4, kMaxMmDecimals = 3;

// 16.16 as a plain number: "1.0", "25.4", "0.5".
std::string factorText(int32_t f) {
  std::string out = std::to_string(f >> 16) + ".";
  uint64_t frac = static_cast<uint32_t>(f) & 0xFFFF;
  int digits = 0;
  do {
    frac *= 10;
    out += static_cast<char>('0' + (frac >> 16));
    frac &= 0xFFFF;
  } while (frac != 0 && ++digits < 5);
  return out;
}

}  // namespace

DialogBox statusBarBox(const Context& ctx) {
  const Params& p = ctx.params;
  DialogBox box{"StatusBarBox", "Status Bar", {}};
  box.fields.push_back(checkField("polar", "Status line angle/distance readout.", p.drawTags & kTagReadout));
  box.fields.push_back(radioField("units", "Units", kUnits, p.units < 0 ? 1 : 0));
  DialogField decimals = radioField("decimals", "Decimals shown", kDecimals, std::min(std::abs(p.units), 4));
  decimals.kind = DialogField::Choice;
  box.fields.push_back(decimals);
  box.fields.push_back(numberField("factor", "Readout factor (1.0 = none)", factorText(ctx.view.readoutFactor)));
  return box;
}

bool applyStatusBar(Context& ctx, DialogBox& box) {
  FieldReader in(box);
  const bool polar = in.check("polar");
  const bool mm = in.choice("units", 2) == 1;
  const int decimals = in.choice("decimals", static_cast<int>(kDecimals.size()));
  const int32_t factor = in.factor("factor");
  if (!in.report(ctx)) return false;
  Params& p = ctx.params;
  p.drawTags = static_cast<uint8_t>(polar ? (p.drawTags | kTagReadout) : (p.drawTags & ~kTagReadout));
  // Millimetres show one to three decimals: a snap line keeps no more, and
  // no decimals would read as inches (the count's sign is the unit).
  const int shown = mm ? std::clamp(decimals, 1, kMaxMmDecimals) : std::min(decimals, kMaxInchDecimals);
  p.units = static_cast<int8_t>(mm ? -shown : shown);
  ctx.view.readoutFactor = factor;
  return true;
}

}  // namespace trelmo
