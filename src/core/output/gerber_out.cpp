// Gerber Out (FG): "GerberOutBox" chooses the entries of the output table and
// the board outline and edits the Gerber clearances, then the set is written
// beside the name chosen.
#include <algorithm>
#include <string>

#include "context.h"
#include "database/chains.h"
#include "database/options.h"
#include "files/import/gerber_reader.h"
#include "files/number_format.h"
#include "output/gerber_writer.h"
#include "output/output_functions.h"
#include "shell/function_codes.h"

namespace trelmo {

namespace {

constexpr const char* kKindNames[] = {"Copper (normal)",  "Plane (pwr/gnd)",  "Mask (solder resist)",
                                      "Paste (stencil)",  "Drill (Excellon)", "Symbols (drill)",
                                      "Silk (screening)", "Aperture (ASCII)"};
struct Clearance {
  const char* name;
  const char* label;
  int32_t Params::*member;
};
constexpr Clearance kClearances[] = {{"maskSwell", "Mask pad swell:", &Params::maskSwell},
                                     {"pasteShrink", "Paste pad shrink:", &Params::pasteShrink},
                                     {"planeSwell", "Plane pad swell:", &Params::planeSwell},
                                     {"planeHoleSwell", "Plane hole swell:", &Params::planeHoleSwell},
                                     {"solidFillLine", "Solid fill line size:", &Params::solidFillLine}};

std::string describe(const GerberEntry& e) {
  std::string s(e.name, 3);
  s += ": ";
  s += kKindNames[e.number & 7];
  if (e.number & 8) s += ", Bottom Side";
  std::string layers;
  for (int l = 0; l < 256; ++l)
    if (e.layers.test(l)) layers += (layers.empty() ? "" : ",") + std::to_string(l);
  if (!layers.empty()) s += ", layers " + layers;
  return s;
}

std::string dimension(int32_t v) {
  std::string s;
  appendDimension(s, v);
  return s;
}

// The outline choice's layers: "(none)" and each named layer.
std::vector<int> outlineChoices(const Params& p) {
  std::vector<int> layers = {-1};
  for (int l = 0; l < 256; ++l)
    if (!p.layers[l].unused()) layers.push_back(l);
  return layers;
}

}  // namespace

DialogBox gerberOutBox(const Context& ctx) {
  const Params& p = ctx.params;
  DialogBox box{"GerberOutBox", "Gerber Output", {}};
  for (int i : gerberEntries(p))
    box.fields.push_back(
        dialogField(("entry" + std::to_string(i)).c_str(), DialogField::Check, describe(p.gerber[i]), "1"));
  std::vector<std::string> names;
  int chosen = 0;
  const int guess = guessOutlineLayer(p);
  for (int l : outlineChoices(p)) {
    if (l >= 0 && l == guess) chosen = static_cast<int>(names.size());
    names.push_back(l < 0 ? std::string("(none)") : std::to_string(l) + " " + p.layers[l].name);
  }
  box.fields.push_back(dialogField("outline", DialogField::Choice, "Board outline:", std::to_string(chosen), names));
  for (const Clearance& c : kClearances)
    box.fields.push_back(dialogField(c.name, DialogField::Text, c.label, dimension(p.*c.member)));
  return box;
}

namespace {

bool chooseGerberOutput(Context& ctx, GerberSet& set) {
  Params& p = ctx.params;
  DialogBox box = gerberOutBox(ctx);
  if (!ctx.host->runDialog(box)) return false;
  const std::vector<int> layerOf = outlineChoices(p);
  const int chosen =
      std::max(0, static_cast<int>(std::find(layerOf.begin(), layerOf.end(), guessOutlineLayer(p)) - layerOf.begin()));
  set.entries.clear();
  for (int i : gerberEntries(p))
    if (const DialogField* f = box.field("entry" + std::to_string(i)); f && f->value == "1") set.entries.push_back(i);
  const int o = fieldInt(box, "outline", chosen);
  set.outlineLayer = o >= 0 && o < static_cast<int>(layerOf.size()) ? layerOf[o] : -1;
  for (const Clearance& c : kClearances)
    if (const DialogField* f = box.field(c.name)) p.*c.member = NumberReader{f->value}.dimension();
  ctx.rec(ctx.current).size |= kFileModified;
  return true;
}

std::string stem(const std::string& path) {
  const size_t slash = path.rfind('/'), dot = path.rfind('.');
  return dot != std::string::npos && (slash == std::string::npos || dot > slash) ? path.substr(0, dot) : path;
}

}  // namespace

void gerberOut(Context& ctx, int source) {
  if (ctx.current == kNull) return ctx.host->sound(Sound::Beep);
  GerberSet set;
  set.entries = gerberEntries(ctx.params);
  set.outlineLayer = guessOutlineLayer(ctx.params);
  if (source != kFromMacro && !chooseGerberOutput(ctx, set)) return;
  FileDialog pick;
  pick.save = true;
  pick.title = "Gerber Out";
  pick.fileName = stem(readText(ctx, ctx.current));
  pick.filters = {"All Files (*.*)"};
  if (!ctx.host->chooseFile(pick) || pick.fileName.empty()) return;
  if (!writeGerberSet(ctx, stem(pick.fileName), set)) {
    ctx.host->messageBox("TRELMO'98 Gerber Out Error", set.error);
    return;
  }
  ctx.host->statusText(std::to_string(set.written.size()) + " photo-plot and drill files written.");
}

}  // namespace trelmo
