// Resequence Components (EQ): the components of the active file renumbered by
// position, prefix by prefix; with annotation the same numbers carried to the
// counterparts in the schematic sheets and the board of the design.
#include <cctype>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "context.h"
#include "database/design_files.h"
#include "edit/annotate_files.h"
#include "edit/block_boxes.h"
#include "edit/grab.h"
#include "edit/resequence.h"
#include "edit/undo.h"
#include "shell/dispatch.h"
#include "shell/function_codes.h"

namespace trelmo {

namespace {

bool startsWithLetter(const std::string& ref) { return !ref.empty() && ref[0] >= 'A' && ref[0] <= 'z'; }

char upperGate(char g) { return static_cast<char>(std::toupper(static_cast<unsigned char>(g))); }

class Resequencer {
 public:
  Resequencer(const ResequenceState& s, std::vector<FamilyFile>& family) : s_(s), family_(family) {}

  // Numbers every lettered component of family file `f`.
  void numberFile(size_t f) {
    for (;;) {
      const std::string prefix = firstPrefix(f);
      if (prefix.empty()) return;
      int64_t number = startFor(f, prefix);
      for (;;) {
        const int pick = nextCandidate(f, prefix);
        if (pick < 0) break;
        renumber(f, static_cast<size_t>(pick), number);
        number += s_.step;
      }
      next_[prefix] = number;
    }
  }

 private:
  // The prefix of the first lettered component not yet numbered.
  std::string firstPrefix(size_t f) const {
    for (const RefComponent& c : family_[f].components)
      if (!c.done && startsWithLetter(c.ref)) return parseReference(c.ref).prefix;
    return {};
  }

  int64_t startFor(size_t f, const std::string& prefix) const {
    const int index = family_[f].index;
    if (s_.sheetStep && index >= 1) return s_.start + int64_t{index - 1} * s_.sheetValue;
    // Sheet after sheet, a prefix goes on from where the last sheet left it.
    const auto it = next_.find(prefix);
    return it == next_.end() ? s_.start : it->second;
  }

  int nextCandidate(size_t f, const std::string& prefix) {
    std::vector<RefPlace> places;
    std::vector<int> which;
    const std::vector<RefComponent>& comps = family_[f].components;
    for (size_t i = 0; i < comps.size(); ++i) {
      if (comps[i].done || parseReference(comps[i].ref).prefix != prefix) continue;
      places.push_back(comps[i].place);
      which.push_back(static_cast<int>(i));
    }
    const int k = nextInOrder(places, s_.columns);
    return k < 0 ? -1 : which[static_cast<size_t>(k)];
  }

  static void give(RefComponent& c, const RefParts& parts, int64_t number) {
    const std::string ref = joinReference(parts, number);
    c.changed |= ref != c.ref;
    c.ref = ref;
    c.done = true;
  }

  void renumber(size_t f, size_t pick, int64_t number) {
    RefComponent& p = family_[f].components[pick];
    const RefParts pp = parseReference(p.ref);
    if (!s_.annotate && !pp.gate) return give(p, pp, number);
    const std::string value = p.value;
    const int numbering = family_[f].index;
    std::set<char> met;
    bool blocked = false;
    // The file being numbered first, so that its gate letters are met first.
    std::vector<size_t> order{f};
    for (size_t g = 0; g < family_.size(); ++g)
      if (g != f) order.push_back(g);
    for (size_t g : order) {
      for (RefComponent& c : family_[g].components) {
        if (c.done) continue;
        const RefParts cp = parseReference(c.ref);
        if (cp.prefix != pp.prefix || cp.number != pp.number || c.value != value) continue;
        const int index = family_[g].index;
        const bool sheetToSheet = g != f && numbering != 0 && index != 0;
        if (sheetToSheet && (!pp.gate || !cp.gate || blocked || met.count(upperGate(cp.gate)))) continue;
        give(c, cp, number);
        if (cp.gate)
          met.insert(upperGate(cp.gate));
        else
          blocked = true;
      }
    }
  }

  const ResequenceState& s_;
  std::vector<FamilyFile>& family_;
  std::map<std::string, int64_t> next_;
};

}  // namespace

int resequenceComponents(Context& ctx) {
  const Handle active = ctx.current;
  if (active == kNull) return 0;
  ResequenceState& s = resequenceState(ctx);
  const bool multi = s.multiSheet && s.multiFile == active;
  std::vector<FamilyFile> family = familyFiles(ctx, active, s.annotate || multi, s.annotate);
  if (family.empty()) return 0;
  Resequencer r(s, family);
  r.numberFile(0);
  if (multi) {
    for (size_t f = 1; f < family.size(); ++f)
      if (family[f].index > family[0].index) r.numberFile(f);
  }
  int changed = 0;
  for (FamilyFile& f : family) changed += writeReferences(ctx, f);
  ctx.screen.dirty.clear();
  ctx.host->redrawView();
  return changed;
}

void resequenceFunction(Context& ctx, uint16_t, int source) {
  if (ctx.current == kNull) return ctx.host->sound(Sound::Beop);
  if (!autoPurgeRedo(ctx)) return;
  dropGrabList(ctx);
  if ((source == kFromKeys || source == kFromMenuBar) && !askResequence(ctx)) return;
  resequenceComponents(ctx);
}

void installResequenceFunctions(Context& ctx) {
  resequenceState(ctx);
  registerFunction(ctx, fc('E', 'Q'), resequenceFunction);
}

}  // namespace trelmo
