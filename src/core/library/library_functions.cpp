// Place Component (PC) with its library box, and Setup Library Files (SF).
#include "library/library_functions.h"

#include <string>
#include <vector>

#include "context.h"
#include "edit/grab.h"
#include "edit/undo.h"
#include "library/library_boxes.h"
#include "library/library_files.h"
#include "library/library_listing.h"
#include "shell/dialog_values.h"
#include "shell/dispatch.h"
#include "shell/function_codes.h"
#include "shell/messages.h"

namespace trelmo {

namespace {

constexpr int kBoxRunsMax = 64;  // a box answered the same way forever ends

const char* kFieldKeys[5] = {"pattern", "ref", "value", "modifier", "alternate"};

void setupLibraryFiles(Context& ctx) {
  DialogBox box = setupLibraryFilesBox(ctx);
  if (!ctx.host->runDialog(box)) return;
  applyLibraryFiles(ctx, box);
}

std::vector<LibraryLine> listingOf(Context& ctx, int library) {
  std::vector<LibraryLine> lines;
  listLibrary(ctx, library, {}, lines);
  return lines;
}

}  // namespace

bool chooseComponent(Context& ctx) {
  LibraryState& lib = ctx.library;
  std::vector<LibraryLine> listing = listingOf(ctx, lib.chosen);
  std::string lastSearch;
  std::vector<std::string> refused;
  bool modified = false, toggled = false;
  for (int run = 0; run < kBoxRunsMax; ++run) {
    DialogBox box = componentLibraryBox(ctx, listing);
    const std::string listedBefore = box.field("listing")->value;
    const std::string libraryBefore = box.field("library")->value;
    std::vector<std::string> shown;
    for (const char* key : kFieldKeys) shown.push_back(trimmedText(box.field(key)->value));
    if (!ctx.host->runDialog(box)) return false;
    std::vector<std::string> typed;
    for (const char* key : kFieldKeys) typed.push_back(trimmedText(box.field(key)->value));
    const std::vector<int> choices = libraryChoices(ctx);
    const int choice = std::atoi(box.field("library")->value.c_str());
    if (box.field("modify")->value == "1" && !modified) {
      modified = true;
      setupLibraryFiles(ctx);
      listing = listingOf(ctx, lib.chosen);
      continue;
    }
    if (box.field("graphics")->value == "1" && !toggled) {
      toggled = true;
      lib.graphics = !lib.graphics;
      continue;
    }
    if (box.field("library")->value != libraryBefore && choice >= 0 && static_cast<size_t>(choice) < choices.size()) {
      lib.chosen = choices[static_cast<size_t>(choice)];
      listing = listingOf(ctx, lib.chosen);
      continue;
    }
    const std::string& picked = box.field("listing")->value;
    const int line = std::atoi(picked.c_str());
    if (picked != listedBefore && line >= 0 && static_cast<size_t>(line) < listing.size() && listing[line].ref != 0) {
      loadLibraryEntry(ctx, listing[static_cast<size_t>(line)].ref & ~kFootprintEntry);
      continue;
    }
    // Enter in the Pattern (or alternate-pattern) field.
    if (box.field("list")->value == "1") {
      const bool footprints = hasWildcards(typed[4]) && !hasWildcards(typed[0]);
      const std::string& pattern = footprints ? typed[4] : typed[0];
      if (pattern != lastSearch) {
        lastSearch = pattern;
        if (hasWildcards(pattern)) {
          for (size_t i = 0; i < 5; ++i) lib.fields[i] = typed[i];
          listing = searchLibraries(ctx, pattern, footprints);
        } else if (!loadComponentByName(ctx, pattern, false)) {
          ctx.host->sound(Sound::Beep);
        }
        continue;
      }
    }
    // Confirm: a pattern other than the loaded component's is loaded by name
    // first; the fields typed in the box win over the library's.
    if (!typed[0].empty() && !hasWildcards(typed[0]) &&
        (lib.loaded == kNull || ctx.rec(lib.loaded).next == lib.loaded || typed[0] != lib.fields[0])) {
      if (!loadComponentByName(ctx, typed[0], false)) {
        ctx.host->sound(Sound::Beep);
        return false;
      }
    }
    for (size_t i = 1; i < 5; ++i)
      if (typed[i] != shown[i]) lib.fields[i] = typed[i];
    if (!validReferenceId(lib.fields[1])) {
      refuseReferenceId(ctx);
      if (typed == refused) return false;  // confirmed again unchanged
      refused = typed;
      continue;
    }
    return true;
  }
  return false;
}

void installLibraryFunctions(Context& ctx) {
  registerFunction(ctx, fc('P', 'C'), [](Context& c, uint16_t code, int source) {
    if (c.current == kNull) return c.host->sound(Sound::Beop);
    if (!autoPurgeRedo(c)) return;
    if (dropGrabList(c)) return;
    if (source == kFromKeys || source == kFromMenuBar) {
      if (!chooseComponent(c)) return;
      c.shell.currentFunction = code;
    }
    placeLoadedComponent(c);
  });
  registerFunction(ctx, fc('S', 'F'), [](Context& c, uint16_t, int) { setupLibraryFiles(c); });
}

}  // namespace trelmo
