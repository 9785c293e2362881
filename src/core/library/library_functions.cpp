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

namespace {

// One run of the library box until it is confirmed or escaped. Each button
// acts once per run of the function, and a listing or search acts only when
// its value changed, so a box answered the same way every time ends.
class LibraryBoxSession {
 public:
  explicit LibraryBoxSession(Context& ctx) : ctx_(ctx), lib_(ctx.library), listing_(listingOf(ctx, lib_.chosen)) {}

  bool run() {
    for (int runs = 0; runs < kBoxRunsMax; ++runs) {
      DialogBox box = componentLibraryBox(ctx_, listing_);
      listedBefore_ = box.field("listing")->value;
      libraryBefore_ = box.field("library")->value;
      shown_ = fields(box);
      if (!ctx_.host->runDialog(box)) return false;
      typed_ = fields(box);
      if (button(box) || pickedLibrary(box) || pickedEntry(box) || searched(box)) continue;
      switch (confirm()) {
        case Outcome::kDone:
          return true;
        case Outcome::kFailed:
          return false;
        case Outcome::kAgain:
          break;
      }
    }
    return false;
  }

 private:
  enum class Outcome { kDone, kFailed, kAgain };

  static std::vector<std::string> fields(DialogBox& box) {
    std::vector<std::string> out;
    for (const char* key : kFieldKeys) out.push_back(trimmedText(box.field(key)->value));
    return out;
  }

  bool button(DialogBox& box) {
    if (box.field("modify")->value == "1" && !modified_) {
      modified_ = true;
      setupLibraryFiles(ctx_);
      listing_ = listingOf(ctx_, lib_.chosen);
      return true;
    }
    if (box.field("graphics")->value == "1" && !toggled_) {
      toggled_ = true;
      lib_.graphics = !lib_.graphics;
      return true;
    }
    return false;
  }

  bool pickedLibrary(DialogBox& box) {
    const std::vector<int> choices = libraryChoices(ctx_);
    const std::string& value = box.field("library")->value;
    const int choice = std::atoi(value.c_str());
    if (value == libraryBefore_ || choice < 0 || static_cast<size_t>(choice) >= choices.size()) return false;
    lib_.chosen = choices[static_cast<size_t>(choice)];
    listing_ = listingOf(ctx_, lib_.chosen);
    return true;
  }

  bool pickedEntry(DialogBox& box) {
    const std::string& picked = box.field("listing")->value;
    const int line = std::atoi(picked.c_str());
    if (picked == listedBefore_ || line < 0 || static_cast<size_t>(line) >= listing_.size()) return false;
    const uint32_t ref = listing_[static_cast<size_t>(line)].ref;
    if (ref == 0) return false;
    loadLibraryEntry(ctx_, ref & ~kFootprintEntry);
    return true;
  }

  // Enter in the Pattern (or alternate-pattern) field.
  bool searched(DialogBox& box) {
    if (box.field("list")->value != "1") return false;
    const bool footprints = hasWildcards(typed_[4]) && !hasWildcards(typed_[0]);
    const std::string& pattern = footprints ? typed_[4] : typed_[0];
    if (pattern == lastSearch_) return false;
    lastSearch_ = pattern;
    if (hasWildcards(pattern)) {
      for (size_t i = 0; i < 5; ++i) lib_.fields[i] = typed_[i];
      listing_ = searchLibraries(ctx_, pattern, footprints);
    } else if (!loadComponentByName(ctx_, pattern, false)) {
      ctx_.host->sound(Sound::Beep);
    }
    return true;
  }

  // Confirm: a pattern other than the loaded component's is loaded by name
  // first; the fields changed in the box win over the library's.
  Outcome confirm() {
    const bool loaded = lib_.loaded != kNull && ctx_.rec(lib_.loaded).next != lib_.loaded;
    if (!typed_[0].empty() && !hasWildcards(typed_[0]) && (!loaded || typed_[0] != lib_.fields[0]) &&
        !loadComponentByName(ctx_, typed_[0], false)) {
      ctx_.host->sound(Sound::Beep);
      return Outcome::kFailed;
    }
    for (size_t i = 1; i < 5; ++i)
      if (typed_[i] != shown_[i]) lib_.fields[i] = typed_[i];
    if (validReferenceId(lib_.fields[1])) return Outcome::kDone;
    refuseReferenceId(ctx_);
    if (typed_ == refused_) return Outcome::kFailed;  // confirmed again unchanged
    refused_ = typed_;
    return Outcome::kAgain;
  }

  Context& ctx_;
  LibraryState& lib_;
  std::vector<LibraryLine> listing_;
  std::string listedBefore_, libraryBefore_, lastSearch_;
  std::vector<std::string> shown_, typed_, refused_;
  bool modified_ = false, toggled_ = false;
};

}  // namespace

bool chooseComponent(Context& ctx) { return LibraryBoxSession(ctx).run(); }

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
