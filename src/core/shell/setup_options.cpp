#include "shell/setup_options.h"

#include "context.h"
#include "shell/command_line.h"
#include "shell/settings.h"

namespace trelmo {

namespace {

// A preference check box: its control id, text and stored value.
struct PreferenceBox {
  const char* id;
  const char* text;
  const char* setting;
  bool Preferences::*member;
};
constexpr PreferenceBox kPreferenceBoxes[] = {
    {"1535", "Display Log Files.", "Display Logs", &Preferences::displayLogs},
    {"1515", "Enable Popup Menus.", "Popup Menus", &Preferences::popupMenus},
    {"1510", "Enable Animated Icon.", "Animated Icon", &Preferences::animatedIcon},
    {"1580", "Enable Sound Blaster tones.", "Sound Blaster Tones", &Preferences::soundBlasterTones},
    {"1585", "Use Thick Cross-hair Cursor.", "Thick Cross-hair Cursor", &Preferences::thickCrossHair},
    {"1575", "Use Windows Explorer File Open box.", "Explorer File Open", &Preferences::explorerOpen},
    {"1570", "Expand Open File Name list box.", "Open File Name Expand", &Preferences::openExpand},
    {"1565", "Open Project from Schematic or PCB.", "Auto-open Project Files", &Preferences::autoOpenProject},
    {"1525", "Zoom In/Out with mouse buttons.", "Zoom with Mouse Buttons", &Preferences::zoomWithMouse},
    {"1520", "Un-Do beyond Save to disk.", "Un-Do Beyond Save to Disk", &Preferences::undoBeyondSave},
    {"1530", "Notify before Re-Do purge.", "Purge Re-Do Notification", &Preferences::purgeRedoNotify},
};

constexpr const char* kActionItems[][2] = {
    {"1540", "Save current window size and position."}, {"1550", "Save current Printer Setup parameters."},
    {"1560", "Save current Open File Name mask."},      {"1590", "Set factory default keystroke macros."},
    {"1545", "Set Explorer File Type registration."},
};

DialogField check(const char* id, const char* text, bool on) {
  return {id, DialogField::Check, text, on ? "1" : "0", {}, 0};
}
DialogField group(const char* name, const char* text) { return {name, DialogField::Label, text, "", {}, 0}; }

bool checked(DialogBox& box, const char* id) {
  const DialogField* f = box.field(id);
  return f && f->value == "1";
}

void storeWindowPlacement(Context& ctx) {
  const WindowPlacement w = ctx.host->windowPlacement();
  ctx.host->writeSetting("Window Position", formatWindowPosition({w.x, w.y, w.width, w.height, w.maximized}));
  if (w.screen != 0)
    ctx.host->writeSetting("Window Screen", std::to_string(w.screen));
  else
    ctx.host->deleteSetting("Window Screen");
}

void runActionItems(Context& ctx, DialogBox& box) {
  if (checked(box, "1540")) storeWindowPlacement(ctx);
  if (checked(box, "1550"))
    ctx.host->writeSetting("Printer Setup", ctx.shell.hooks.printerSetup ? ctx.shell.hooks.printerSetup(ctx) : "");
  if (checked(box, "1560"))
    ctx.host->writeSetting("Open File Name Mask Index", std::to_string(ctx.shell.prefs.openMaskIndex));
  if (checked(box, "1590")) {
    if (ctx.shell.hooks.factoryMacros)
      ctx.shell.hooks.factoryMacros(ctx);
    else
      ctx.host->sound(Sound::Beep);
  }
  if (checked(box, "1545")) {
    if (ctx.shell.hooks.registerFileTypes)
      ctx.shell.hooks.registerFileTypes(ctx);
    else
      ctx.host->sound(Sound::Beep);
  }
}

}  // namespace

DialogBox setupOptionsBox(const Context& ctx) {
  const Preferences& p = ctx.shell.prefs;
  DialogBox box{"SetupOptionsBox", "Setup Options", {}};
  box.fields.push_back(group("session", "Current Session Only"));
  box.fields.push_back(check("1500", "Always on top.", p.alwaysOnTop));
  box.fields.push_back(group("preferences", "User Preferences"));
  for (const PreferenceBox& b : kPreferenceBoxes) box.fields.push_back(check(b.id, b.text, p.*b.member));
  box.fields.push_back(check("1553", "Autosave every 4 minutes.", p.autosaveTicks != 0));
  box.fields.push_back(check("1555", "Enter sleep mode after 1 minute.", p.sleepTicks != 0));
  box.fields.push_back(group("actions", "Action Items"));
  for (const auto& item : kActionItems) box.fields.push_back(check(item[0], item[1], false));
  return box;
}

void applySetupOptions(Context& ctx, DialogBox& box) {
  Preferences& p = ctx.shell.prefs;
  Host& host = *ctx.host;
  const bool top = checked(box, "1500");
  if (top != p.alwaysOnTop) {
    p.alwaysOnTop = top;
    host.setAlwaysOnTop(top);
  }
  for (const PreferenceBox& b : kPreferenceBoxes) {
    p.*b.member = checked(box, b.id);
    host.writeSetting(b.setting, flagText(p.*b.member));
  }
  // A timer that stays on keeps the interval the user stored.
  const bool autosave = checked(box, "1553");
  if (autosave != (p.autosaveTicks != 0)) p.autosaveTicks = autosave ? kDefaultAutosaveTicks : 0;
  if (autosave && p.autosaveTicks == kDefaultAutosaveTicks) host.writeSetting("Autosave Timer", "4.0 minutes");
  if (!autosave) host.writeSetting("Autosave Timer", "Off");
  ctx.autosaveEnabled = autosave;
  const bool sleep = checked(box, "1555");
  if (sleep != (p.sleepTicks != 0)) p.sleepTicks = sleep ? kTicksPerMinute : 0;
  if (sleep && p.sleepTicks == kTicksPerMinute) host.writeSetting("Sleep Mode Timer", "1.0 minutes");
  if (!sleep) host.writeSetting("Sleep Mode Timer", "Off");
  runActionItems(ctx, box);
}

void setupOptions(Context& ctx) {
  DialogBox box = setupOptionsBox(ctx);
  if (!ctx.host->runDialog(box)) return;
  applySetupOptions(ctx, box);
}

}  // namespace trelmo
