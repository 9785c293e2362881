// S`: the screen parameters, that is which display the main window uses.
#include <algorithm>

#include "context.h"
#include "shell/dialog_values.h"
#include "shell/setup_boxes.h"

namespace trelmo {

namespace {

std::vector<std::string> screenChoices(const Context& ctx) {
  std::vector<std::string> out;
  const auto& screens = ctx.shell.screens;
  for (size_t n = 0; n < std::max<size_t>(screens.size(), 1); ++n)
    out.push_back("Screen " + std::to_string(n) + (n < screens.size() ? ": " + screens[n] : std::string()));
  return out;
}

}  // namespace

DialogBox screenParametersBox(const Context& ctx) {
  const std::vector<std::string> choices = screenChoices(ctx);
  const int current = std::clamp(ctx.shell.screenIndex, 0, static_cast<int>(choices.size()) - 1);
  DialogBox box{"ScreenParametersBox", "Screen Parameters", {}};
  box.fields.push_back(radioField("screen", "Show the main window on", choices, current));
  return box;
}

bool applyScreenParameters(Context& ctx, DialogBox& box) {
  FieldReader in(box);
  const int n = in.choice("screen", static_cast<int>(screenChoices(ctx).size()));
  if (!in.report(ctx)) return false;
  if (n == ctx.shell.screenIndex) return true;
  if (ctx.shell.hooks.selectScreen)
    ctx.shell.hooks.selectScreen(ctx, n);
  else
    ctx.shell.screenIndex = n;
  return true;
}

}  // namespace trelmo
