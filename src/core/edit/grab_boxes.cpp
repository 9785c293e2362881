#include "edit/grab_boxes.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "context.h"
#include "shell/dialog_values.h"

namespace trelmo {

std::string degreesText(uint16_t angle) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.4g", angle * 360.0 / 65536.0);
  return buf;
}

std::string factorText(int32_t f) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.5g", f / 65536.0);
  std::string s = buf;
  if (s.find('.') == std::string::npos) s += ".0";
  return s;
}

DialogBox rotationAngleBox(const Context& ctx) {
  DialogBox box;
  box.name = "RotationAngleBox";
  box.title = "Rotate N°";
  box.fields.push_back(numberField("angle", "Rotation angle (degrees):", degreesText(ctx.edit.rotationAngle)));
  return box;
}

DialogBox scalingFactorBox(const Context& ctx) {
  DialogBox box;
  box.name = "ScalingFactorBox";
  box.title = "Scale XY";
  box.fields.push_back(numberField("factor", "Scaling factor:", factorText(ctx.edit.scaleFactor)));
  return box;
}

DialogBox locateComponentBox(const Context&) {
  DialogBox box;
  box.name = "LocateCompBox";
  box.title = "Locate Component";
  box.fields.push_back(textField("pattern", "Pattern:", "", 32));
  box.fields.push_back(textField("ref", "Ref ID:", "", 32));
  box.fields.push_back(textField("value", "Type/value:", "", 32));
  box.fields.push_back(textField("modifier", "Modifier:", "", 32));
  box.fields.push_back(textField("pcb", "PCB Pattern:", "", 32));
  DialogField next;
  next.name = "next";
  next.kind = DialogField::Button;
  next.label = "Find &Next";
  next.value = "0";
  box.fields.push_back(next);
  return box;
}

bool askRotationAngle(Context& ctx, uint16_t& angle) {
  DialogBox box = rotationAngleBox(ctx);
  if (!ctx.host->runDialog(box)) return false;
  FieldReader reader(box);
  const std::string text = trimmedText(reader.text("angle"));
  char* end = nullptr;
  const double degrees = std::strtod(text.c_str(), &end);
  if (text.empty() || !end || *end != 0 || !std::isfinite(degrees) || std::fabs(degrees) > 1e6)
    reader.refuse("angle", "The rotation angle must be a number of degrees.");
  if (!reader.report(ctx)) return false;
  const long units = std::lround(degrees * 65536.0 / 360.0);
  angle = static_cast<uint16_t>(static_cast<unsigned long>(units) & 0xFFFF);
  ctx.edit.rotationAngle = angle;
  return true;
}

bool askScalingFactor(Context& ctx, int32_t& factor) {
  DialogBox box = scalingFactorBox(ctx);
  if (!ctx.host->runDialog(box)) return false;
  FieldReader reader(box);
  const int32_t f = reader.factor("factor");
  if (!reader.report(ctx)) return false;
  factor = f;
  ctx.edit.scaleFactor = f;
  return true;
}

}  // namespace trelmo
