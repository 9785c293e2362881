// The Nets menu: hilight, name and clear, the scans, the log and the
// rat-nest.
#include <vector>

#include "context.h"
#include "database/signals.h"
#include "edit/hit_tests.h"
#include "edit/undo.h"
#include "nets/connectivity.h"
#include "nets/net_functions.h"
#include "nets/net_scan.h"
#include "nets/ratsnest.h"
#include "nets/shapes.h"
#include "shell/dialog_values.h"
#include "shell/dispatch.h"
#include "shell/function_codes.h"
#include "shell/messages.h"

namespace trelmo {

namespace {

// Every item of the current design, components included, unhidden.
template <typename F>
void forEachItem(Context& ctx, F f) {
  if (ctx.current == kNull) return;
  std::vector<Handle> rings{ctx.current};
  const size_t cap = ctx.pool.blockCount() * size_t{RecordPool::kRecordsPerBlock};
  size_t steps = 0;
  while (!rings.empty()) {
    const Handle ring = rings.back();
    rings.pop_back();
    for (Handle h = ctx.rec(ring).next; h != ring && h != kNull && ++steps <= cap; h = ctx.rec(h).next) {
      const Record& r = ctx.rec(h);
      if (r.hidden()) continue;
      if (r.type() == kComponent) {
        if (ctx.pool.valid(r.ext) && rings.size() < 64) rings.push_back(r.ext);
        continue;
      }
      f(h);
    }
  }
}

bool nameable(const Context& ctx, const Record& r) {
  switch (r.type()) {
    case kLine:
      return r.size > 0;
    case kArc:
      return item::radius(r) >= 1;
    case kPad:
      return true;
    case kText:
      // A text shows its signal only on a schematic layer; elsewhere its
      // extension is its own text, which naming must not destroy.
      return ctx.layer(r.layer).kind() == kSchematic;
    default:
      return false;
  }
}

}  // namespace

DialogBox selectSignalBox(const Context& ctx) {
  DialogBox box;
  box.name = "SelectSignalBox";
  box.title = "Select Signal";
  DialogField f;
  f.name = "signal";
  f.kind = DialogField::Choice;
  f.label = "Signal:";
  f.value = "0";
  for (Handle s : signalList(ctx)) f.choices.push_back(signalName(ctx, s));
  box.fields.push_back(f);
  return box;
}

DialogBox nameNetBox(const Context&) {
  DialogBox box;
  box.name = "NameNetBox";
  box.title = "Signal net name";
  box.fields.push_back(textField("name", "Signal name:", "", kSignalNameMax));
  return box;
}

void hilightNet(Context& ctx, Handle signal) {
  clearHilight(ctx);
  if (signal == kNull) return;
  forEachItem(ctx, [&](Handle h) {
    if (signalOf(ctx, h) == signal) ctx.rec(h).flags |= kHilight;
  });
  ctx.nets.currentSignal = signal;
  showStatus(ctx, signalName(ctx, signal), 0);
}

void hilightNetAtCursor(Context& ctx) {
  if (ctx.params.isSchematic()) ctx.params.currentLayer = 2;
  const int layer = ctx.params.currentLayer & 255;
  const int32_t x = ctx.view.cursorX, y = ctx.view.cursorY;
  if (const Hit pad = padUnder(ctx, x, y, layer)) {
    const Handle s = signalOf(ctx, pad.item);
    if (s == kNull) {
      clearHilight(ctx);
      ctx.rec(pad.item).flags |= kHilight;
    } else {
      hilightNet(ctx, s);
    }
    ctx.host->redrawView();
    return;
  }
  const Hit other = itemUnder(ctx, x, y, layer);
  Handle s = other ? signalOf(ctx, other.item) : kNull;
  if (s == kNull) {
    DialogBox box = selectSignalBox(ctx);
    if (!ctx.host->runDialog(box)) return;
    const std::vector<Handle> all = signalList(ctx);
    if (all.empty()) return;
    FieldReader reader(box);
    const int chosen = reader.choice("signal", static_cast<int>(all.size()));
    if (!reader.report(ctx) || chosen < 0 || chosen >= static_cast<int>(all.size())) return;
    s = all[chosen];
  }
  hilightNet(ctx, s);
  ctx.host->redrawView();
}

bool nameNet(Context& ctx) {
  if (!anyHilighted(ctx)) {
    ctx.host->sound(Sound::Beep);
    return false;
  }
  DialogBox box = nameNetBox(ctx);
  if (!ctx.host->runDialog(box)) return false;
  const std::string name = trimmedText(FieldReader(box).text("name"));
  std::vector<Handle> items;
  forEachItem(ctx, [&](Handle h) {
    const Record& r = ctx.rec(h);
    if (r.hilighted() && nameable(ctx, r)) items.push_back(h);
  });
  if (items.empty()) {
    ctx.host->sound(Sound::Beop);
    return false;
  }
  UndoTransaction undo(ctx);
  for (Handle h : items) {
    undo.modified(h);
    attachSignal(ctx, h, name);
  }
  return true;
}

void netFamily(Context& ctx, uint16_t code, int source) {
  if (ctx.current == kNull) return ctx.host->sound(Sound::Beop);
  const char m = memberOf(code);
  if (m != 'C' && m != 'H' && m != 'M' && !autoPurgeRedo(ctx)) return;
  switch (m) {
    case 'H':
      return hilightNetAtCursor(ctx);
    case 'N':
      nameNet(ctx);
      return;
    case 'C':
      clearHilight(ctx);
      ctx.host->redrawView();
      return;
    case 'S':
      netScanAtCursor(ctx);
      return;
    case '+':
      netScanStep(ctx, 1);
      return;
    case '-':
      netScanStep(ctx, -1);
      return;
    case 'G':
      netScanLog(ctx);
      return;
    case 'R':
    case 'L':
      if (ctx.params.isSchematic()) return ctx.host->sound(Sound::Beep);
      ratsnest(ctx, m == 'R');
      return;
    case 'M':
      signalImage(ctx);
      return;
    case 'U': {
      UndoTransaction undo(ctx);
      unratnest(ctx, undo);
      return;
    }
    default:
      (void)source;
      return ctx.host->sound(Sound::Beop);
  }
}

void installNetFunctions(Context& ctx) {
  for (char m : {'H', 'N', 'C', 'M', 'S', '+', '-', 'G', 'R', 'L', 'U'}) registerFunction(ctx, fc('N', m), netFamily);
  ctx.shell.hooks.hilightExists = [](const Context& c) { return anyHilighted(c); };
}

}  // namespace trelmo
