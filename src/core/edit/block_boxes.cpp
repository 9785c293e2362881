#include "edit/block_boxes.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "context.h"
#include "database/chains.h"
#include "database/design_files.h"
#include "edit/block.h"
#include "edit/grab_boxes.h"
#include "edit/resequence.h"
#include "shell/dialog_values.h"

namespace trelmo {

namespace {

constexpr const char* kIllegalRef =
    "The Reference ID field contains an illegal\ncharacter.\n\nOnly alphabetic characters and numbers\nare allowed.  "
    "Blanks, tabs, and special\ncharacters are not.";

// Degrees as a 16-bit angle; false when the text is no number.
bool readDegrees(const std::string& typed, uint16_t& angle) {
  const std::string text = trimmedText(typed);
  char* end = nullptr;
  const double degrees = std::strtod(text.c_str(), &end);
  if (text.empty() || !end || *end != 0 || !std::isfinite(degrees) || std::fabs(degrees) > 1e6) return false;
  const long units = std::lround(degrees * 65536.0 / 360.0);
  angle = static_cast<uint16_t>(static_cast<unsigned long>(units) & 0xFFFF);
  return true;
}

std::string rowName(int n) { return "Layer" + std::to_string(n); }

DialogField column(const char* name, DialogField::Kind kind, const char* label) {
  DialogField f;
  f.name = name;
  f.kind = kind;
  f.label = label;
  return f;
}

bool legalReference(const std::string& ref) {
  for (unsigned char c : ref)
    if (c < 33 || c > 126) return false;
  return true;
}

// The extension of the current file, upper case.
std::string upperExtension(const Context& ctx) {
  if (ctx.current == kNull) return {};
  const std::string name = filePath(ctx, ctx.current);
  const size_t dot = name.rfind('.');
  std::string ext = dot == std::string::npos ? std::string() : name.substr(dot + 1);
  for (char& c : ext)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return ext;
}

// The family index of the current file (-1 outside the naming scheme).
int currentFamilyIndex(const Context& ctx) {
  return ctx.current == kNull ? -1 : familyIndex(filePath(ctx, ctx.current));
}

}  // namespace

DialogBox blockLayersBox(const Context& ctx) {
  DialogBox box{"BlockLayersBox", "Block Layers", {}};
  DialogField table;
  table.name = "layers";
  table.kind = DialogField::Table;
  table.label = "Layers the block functions act on";
  table.columns = {column("Name", DialogField::Label, "Name"), column("Selected", DialogField::Check, "Selected")};
  const BlockDefinition* b = blockOf(ctx);
  for (int n = 0; n < 256; ++n) {
    const LayerEntry& l = ctx.layer(n);
    if (l.name[0] == 0) continue;
    const bool on = b ? b->layers[n] : false;
    table.rows.push_back({rowName(n), {std::string(l.name, strnlen(l.name, sizeof l.name)), checkText(on)}});
  }
  box.fields.push_back(std::move(table));
  return box;
}

DialogBox blockRotationBox(const Context& ctx) {
  const BlockDefinition* b = blockOf(ctx);
  DialogBox box{"BlockRotationBox", "Block Rotate/Scale/Mirror", {}};
  box.fields.push_back(numberField("angle", "Rotation angle (degrees):", degreesText(b ? b->angle : 0)));
  box.fields.push_back(numberField("factor", "Scaling factor:", factorText(b ? b->scale : 65536)));
  box.fields.push_back(checkField("mirrorx", "Mirror &X", b && (b->mode & kBlockMirrorX)));
  box.fields.push_back(checkField("mirrory", "Mirror &Y", b && (b->mode & kBlockMirrorY)));
  return box;
}

DialogBox buildComponentBox(const Context&) {
  DialogBox box{"BuildCompBox", "Build Component", {}};
  box.fields.push_back(textField("pattern", "Pattern:", "", 23));
  box.fields.push_back(textField("ref", "Ref ID:", "", 23));
  box.fields.push_back(textField("value", "Type/value:", "", 23));
  box.fields.push_back(textField("modifier", "Modifier:", "", 23));
  box.fields.push_back(textField("pcb", "PCB Pattern:", "", 23));
  box.fields.push_back(numberField("rotation", "Rotation:", "0"));
  return box;
}

DialogBox resequenceBox(const Context& ctx) {
  const ResequenceState* s = ctx.edit.resequence.get();
  const ResequenceState defaults;
  if (!s) s = &defaults;
  const std::string ext = upperExtension(ctx);
  const int index = currentFamilyIndex(ctx);
  const bool schematic = index >= 1;
  const bool firstSheet = ext == "SH1" || ext == "S01";
  const bool multi = firstSheet && s->multiFile == ctx.current;
  DialogBox box{"ResequenceComponentsBox", "Resequencing", {}};
  box.fields.push_back(radioField("locate", "Locate by", {"Component centroid point", "Component insertion point"},
                                  s->centroid ? 0 : 1));
  box.fields.push_back(radioField("pattern", "Pattern", {"Horizontal rows", "Vertical columns"}, s->columns ? 1 : 0));
  box.fields.push_back(radioField("corner", "Start from", {"Upper left", "Lower left", "Upper right", "Lower right"},
                                  static_cast<int>(s->corner)));
  box.fields.push_back(numberField("start", "Start value", std::to_string(s->start)));
  box.fields.push_back(numberField("step", "Step value", std::to_string(s->step)));
  const char* annotateLabel = schematic    ? "Forward annotate to PCB"
                              : index == 0 ? "Back annotate to schematic"
                                           : "Fwd/back annotation";
  box.fields.push_back(checkField("annotate", annotateLabel, s->annotate && index >= 0));
  box.fields.push_back(checkField("multisheet", "Multi-sheet schematic", multi && s->multiSheet));
  box.fields.push_back(checkField("sheetstep", "Sheet start-step", multi && s->sheetStep));
  box.fields.push_back(numberField("sheetvalue", "Start-step value:", std::to_string(s->sheetValue)));
  return box;
}

bool askBlockLayers(Context& ctx) {
  BlockDefinition* b = blockOf(ctx);
  if (!b) return false;
  DialogBox box = blockLayersBox(ctx);
  if (!ctx.host->runDialog(box)) return false;
  FieldReader in(box);
  std::array<bool, 256> layers = b->layers;
  for (int n = 0; n < 256; ++n)
    if (ctx.layer(n).name[0] != 0) layers[n] = in.check(rowName(n) + ".Selected");
  if (!in.report(ctx)) return false;
  b->layers = layers;
  return true;
}

bool askBlockRotation(Context& ctx) {
  BlockDefinition* b = blockOf(ctx);
  if (!b) return false;
  DialogBox box = blockRotationBox(ctx);
  if (!ctx.host->runDialog(box)) return false;
  FieldReader in(box);
  uint16_t angle = 0;
  if (!readDegrees(in.text("angle"), angle)) in.refuse("angle", "The rotation angle must be a number of degrees.");
  const int32_t factor = in.factor("factor");
  const bool mx = in.check("mirrorx"), my = in.check("mirrory");
  if (!in.report(ctx)) return false;
  b->angle = angle;
  b->scale = factor;
  b->mode = static_cast<uint8_t>((b->mode & ~(kBlockMirrorX | kBlockMirrorY)) | (mx ? kBlockMirrorX : 0) |
                                 (my ? kBlockMirrorY : 0));
  return true;
}

bool askBuildComponent(Context& ctx, std::array<std::string, 5>& fields, uint16_t& rotation) {
  DialogBox box = buildComponentBox(ctx);
  static const char* const kKeys[5] = {"pattern", "ref", "value", "modifier", "pcb"};
  for (;;) {
    if (!ctx.host->runDialog(box)) return false;
    FieldReader in(box);
    for (size_t i = 0; i < 5; ++i) fields[i] = trimmedText(in.text(kKeys[i]));
    if (!readDegrees(in.text("rotation"), rotation)) in.refuse("rotation", "The rotation must be a number of degrees.");
    if (!in.report(ctx)) return false;
    if (legalReference(fields[1])) break;
    ctx.host->messageBox("Invalid Reference ID", kIllegalRef);
  }
  for (std::string& f : fields) f = toInternal(f);
  return !fields[0].empty();
}

bool askResequence(Context& ctx) {
  ResequenceState& s = resequenceState(ctx);
  DialogBox box = resequenceBox(ctx);
  if (!ctx.host->runDialog(box)) return false;
  FieldReader in(box);
  const bool centroid = in.choice("locate", 2) == 0;
  const bool columns = in.choice("pattern", 2) == 1;
  const int corner = in.choice("corner", 4);
  const auto start = static_cast<int32_t>(in.integer("start", 0, 999999));
  const auto step = static_cast<int32_t>(in.integer("step", 1, 99999));
  const bool annotate = in.check("annotate");
  const bool multi = in.check("multisheet"), sheetStep = in.check("sheetstep");
  const auto sheetValue = static_cast<int32_t>(in.integer("sheetvalue", 0, 999999));
  if (!in.report(ctx)) return false;
  const std::string ext = upperExtension(ctx);
  const bool family = currentFamilyIndex(ctx) >= 0;
  s.centroid = centroid;
  s.columns = columns;
  s.corner = static_cast<StartCorner>(corner);
  s.start = start, s.step = step;
  s.annotate = annotate && family;
  const bool firstSheet = ext == "SH1" || ext == "S01";
  s.multiSheet = multi && firstSheet;
  s.sheetStep = sheetStep && firstSheet;
  s.sheetValue = sheetValue;
  s.multiFile = firstSheet ? ctx.current : kNull;
  return true;
}

}  // namespace trelmo
