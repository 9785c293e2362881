// SC: the clearances used by flooding and the net scan, and the pad
// allowances of mask, paste and plane layers.
#include "context.h"
#include "shell/dialog_values.h"
#include "shell/setup_boxes.h"

namespace trelmo {

namespace {

struct Dimension {
  const char* name;
  const char* label;
  int32_t Params::*member;
};
constexpr Dimension kClearances[] = {
    {"floodToLine", "Flood to line clearance", &Params::floodToLine},
    {"floodToPad", "Flood to pad clearance", &Params::floodToPad},
    {"lineToLine", "Line to line clearance", &Params::lineToLine},
    {"lineToPad", "Line to pad clearance", &Params::lineToPad},
    {"padToPad", "Pad to pad clearance", &Params::padToPad},
    {"floodLine", "Flood line size", &Params::floodLineSize},
    {"ratnestLine", "Ratnest line size", &Params::ratnestLineSize},
};
constexpr Dimension kAllowances[] = {
    {"maskSwell", "Mask pad swell", &Params::maskSwell},
    {"pasteShrink", "Paste pad shrink", &Params::pasteShrink},
    {"planeSwell", "Plane pad swell", &Params::planeSwell},
    {"planeHoleSwell", "Plane hole swell", &Params::planeHoleSwell},
    {"solidFillLine", "Solid fill line size", &Params::solidFillLine},
};
constexpr int32_t kSmallestFillLine = 131;  // 0.002 inch

}  // namespace

DialogBox setupClearancesBox(const Context& ctx) {
  DialogBox box{"SetupClearancesBox", "Setup Clearances", {}};
  box.fields.push_back(labelField("clearances", "Clearances (inches with a point, mils without)"));
  for (const Dimension& d : kClearances)
    box.fields.push_back(numberField(d.name, d.label, dimensionText(ctx.params.*d.member)));
  box.fields.push_back(labelField("allowances", "Pad allowances"));
  for (const Dimension& d : kAllowances)
    box.fields.push_back(numberField(d.name, d.label, dimensionText(ctx.params.*d.member)));
  return box;
}

bool applySetupClearances(Context& ctx, DialogBox& box) {
  FieldReader in(box);
  Params& p = ctx.params;
  int32_t values[std::size(kClearances) + std::size(kAllowances)];
  size_t i = 0;
  for (const Dimension& d : kClearances) values[i++] = in.dimension(d.name);
  for (const Dimension& d : kAllowances) values[i++] = in.dimension(d.name);
  if (!in.report(ctx)) return false;
  i = 0;
  for (const Dimension& d : kClearances) p.*d.member = values[i++];
  for (const Dimension& d : kAllowances) p.*d.member = values[i++];
  // A fill line is never thinner than 0.002 inch while any allowance is set.
  const bool noAllowance = p.maskSwell == 0 && p.pasteShrink == 0 && p.planeSwell == 0 && p.planeHoleSwell == 0;
  if (p.solidFillLine < kSmallestFillLine && !noAllowance) p.solidFillLine = kSmallestFillLine;
  return true;
}

}  // namespace trelmo
