#include <filesystem>

#include "context.h"
#include "shell/dispatch.h"
#include "shell/function_codes.h"

#ifndef TRELMO_VERSION
#define TRELMO_VERSION "4.0"
#endif

namespace trelmo {

namespace {

constexpr const char* kAboutText = "TRELMO'98 for Linux, version " TRELMO_VERSION
                                   "\n\nAn interactive editor for circuit boards, schematic sheets,\n"
                                   "drawing sheets and component libraries.\n\n"
                                   "Press Space to switch between WINDOWS mode and TRELMO mode;\n"
                                   "in TRELMO mode type the two letters of a function code.";

// The user manual: installed beside the templates, or in the source tree's
// docs folder while the program runs from its build folder.
std::string manualPath(const Context& ctx) {
  std::error_code ec;
  std::string installed = ctx.paths.resources + "/manual.md";
  if (std::filesystem::exists(installed, ec)) return installed;
  return (std::filesystem::path(ctx.paths.resources) / ".." / "docs" / "manual.md").lexically_normal().string();
}

}  // namespace

void helpFamily(Context& ctx, uint16_t code, int /*source*/) {
  switch (memberOf(code)) {
    case 'A':
      ctx.host->messageBox("About TRELMO", kAboutText);
      return;
    case 'O':
      ctx.host->showHelp(manualPath(ctx), "overview");
      return;
    case 'H':
      ctx.host->showHelp(manualPath(ctx), "");
      return;
    case 'M':
      ctx.host->showHelp(manualPath(ctx), "manual");
      return;
    case 'T':
      ctx.host->showHelp(manualPath(ctx), "how-to");
      return;
    default:
      ctx.host->sound(Sound::Beop);
      return;
  }
}

}  // namespace trelmo
