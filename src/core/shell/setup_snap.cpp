// SG and SS: the grid snap chosen from the snap table, and the table.
#include <algorithm>
#include <cstring>

#include "context.h"
#include "database/options.h"
#include "shell/dialog_values.h"
#include "shell/setup_boxes.h"

namespace trelmo {

namespace {

std::string entryText(const Params& p, int i) {
  return std::string(p.snapTable[i], strnlen(p.snapTable[i], kSnapEntryMax + 1));
}

std::vector<std::string> entries(const Params& p) {
  std::vector<std::string> out;
  for (int i = 0; i < kSnapEntries; ++i)
    if (p.snapTable[i][0] != 0) out.push_back(entryText(p, i));
  return out;
}

// Makes the entry the grid snap: its step and units, and its index.
bool chooseEntry(Params& p, const std::string& text, int index) {
  if (!readSnapStep(text, p.snapStep, p.units)) return false;
  p.snapIndex = index;
  return true;
}

// The entry the box starts on: the one that gives the current step, or none
// (-1) when the file's step is in no entry.
int shownEntry(const Params& p, const std::vector<std::string>& list) {
  for (size_t i = 0; i < list.size(); ++i) {
    uint32_t step = 0;
    int8_t units = 0;
    if (readSnapStep(list[i], step, units) && step == p.snapStep) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace

DialogBox gridSnapBox(const Context& ctx) {
  const std::vector<std::string> list = entries(ctx.params);
  const int chosen = shownEntry(ctx.params, list);
  DialogBox box{"GridSnapBox", "Grid Snap", {}};
  box.fields.push_back(radioField("snap", "Grid snap", list, chosen));
  return box;
}

bool applyGridSnap(Context& ctx, DialogBox& box) {
  FieldReader in(box);
  const std::vector<std::string> list = entries(ctx.params);
  if (list.empty()) {
    in.refuse("snap", "The snap table has no entries: Setup Snap Table (SS) adds them.");
    return in.report(ctx);
  }
  if (in.text("snap") == "-1") return true;  // none chosen: the step stays
  const int i = in.choice("snap", static_cast<int>(list.size()));
  if (!in.report(ctx)) return false;
  if (i == shownEntry(ctx.params, list)) return true;  // confirmed as it was: nothing changes
  if (!chooseEntry(ctx.params, list[i], i)) {
    in.refuse("snap", "The snap table entry \"" + list[i] + "\" is no grid snap.");
    return in.report(ctx);
  }
  snapCursor(ctx.view, ctx.params);
  return true;
}

DialogBox snapTableBox(const Context& ctx) {
  DialogBox box{"SnapTableBox", "Snap Table", {}};
  box.fields.push_back(labelField("help", "Inches (0.025\"), fractions (1/16\"), millimetres (0.5mm) or mils (25)"));
  for (int i = 0; i < kSnapEntries; ++i)
    box.fields.push_back(textField("entry" + std::to_string(i + 1), "Entry " + std::to_string(i + 1),
                                   entryText(ctx.params, i), kSnapEntryMax));
  return box;
}

bool applySnapTable(Context& ctx, DialogBox& box) {
  FieldReader in(box);
  std::vector<std::string> list;
  for (int i = 0; i < kSnapEntries; ++i) {
    const std::string key = "entry" + std::to_string(i + 1);
    const std::string text = trimmedText(in.text(key));
    uint32_t step = 0;
    int8_t units = 0;
    if (text.empty()) continue;  // empty entries close up
    if (text.size() > kSnapEntryMax || !readSnapStep(text, step, units))
      in.refuse(key, "The snap table entry \"" + text + "\" is no grid snap.");
    list.push_back(text);
  }
  if (!in.report(ctx)) return false;
  Params& p = ctx.params;
  const std::string before = entryText(p, std::clamp(p.snapIndex, 0, kSnapEntries - 1));
  std::memset(p.snapTable, 0, sizeof p.snapTable);
  for (size_t i = 0; i < list.size(); ++i) std::memcpy(p.snapTable[i], list[i].data(), list[i].size());
  p.snapIndex = std::clamp(p.snapIndex, 0, std::max(0, static_cast<int>(list.size()) - 1));
  // An entry that changed under the current index becomes the grid snap.
  if (!list.empty() && list[p.snapIndex] != before) {
    chooseEntry(p, list[p.snapIndex], p.snapIndex);
    snapCursor(ctx.view, p);
  }
  return true;
}

}  // namespace trelmo
