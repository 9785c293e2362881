#include "edit/annotate_files.h"

#include <algorithm>
#include <cctype>

#include "context.h"
#include "database/chains.h"
#include "database/design_files.h"
#include "edit/undo.h"
#include "library/library_listing.h"

namespace trelmo {

namespace {

std::string upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::vector<RefComponent> componentsOf(const Context& ctx, Handle file, StartCorner corner, bool centroid) {
  std::vector<RefComponent> out;
  for (Handle h = ctx.rec(file).next; h != file && h != kNull; h = ctx.rec(h).next) {
    const Record& r = ctx.rec(h);
    if (r.type() != kComponent || !ctx.pool.valid(r.ext)) continue;
    const Record& s = ctx.rec(r.ext);
    const std::vector<std::string> fields = splitAttributes(readText(ctx, r.ext));
    RefComponent c;
    c.header = h;
    c.ring = r.ext;
    c.ref = fields[1];
    c.value = fields[2].empty() ? std::string("?") : upper(fields[2]);
    const int32_t x = centroid ? static_cast<int32_t>((int64_t{r.x1} + r.w3) / 2) : s.x1;
    const int32_t y = centroid ? static_cast<int32_t>((int64_t{r.y1} + r.w4) / 2) : s.y1;
    c.place = orientedPlace(corner, x, y);
    out.push_back(std::move(c));
  }
  return out;
}

// The parameter text with field 1 (the Ref ID) replaced.
std::string withReference(const std::string& params, const std::string& ref) {
  const char sep = static_cast<char>(kFieldSeparator);
  const size_t first = params.find(sep);
  if (first == std::string::npos) return params + sep + ref;
  const size_t second = params.find(sep, first + 1);
  return params.substr(0, first + 1) + ref + (second == std::string::npos ? std::string() : params.substr(second));
}

// The texts of the component that show its Ref ID take the new length.
void fitReferenceTexts(Context& ctx, Handle ring, const std::string& ref, bool& continues) {
  for (Handle h = ctx.rec(ring).next; h != ring && h != kNull; h = ctx.rec(h).next) {
    if (ctx.rec(h).type() != kText || readText(ctx, h) != "&1") continue;
    recordModified(ctx, h, continues);
    continues = true;
    Record& r = ctx.rec(h);
    const int32_t length = textLengthOf(ref, r.size);
    r.w3 = item::textLength(r) < 0 ? -length : length;
  }
}

}  // namespace

std::vector<FamilyFile> familyFiles(Context& ctx, Handle active, bool all, bool boardToo) {
  std::vector<FamilyFile> out;
  const std::string activePath = filePath(ctx, active);
  const int activeIndex = familyIndex(activePath);
  if (activeIndex < 0) return out;
  const ResequenceState& s = resequenceState(ctx);
  out.push_back({active, activeIndex, componentsOf(ctx, active, s.corner, s.centroid)});
  if (!all) return out;
  const std::string base = upper(familyBase(activePath));
  const Handle ring = ctx.rings[kOpenFiles];
  for (Handle h = ctx.rec(ring).next; h != ring && h != kNull; h = ctx.rec(h).next) {
    const Handle file = ctx.rec(h).ext;
    if (file == active || !ctx.pool.valid(file)) continue;
    const std::string path = filePath(ctx, file);
    const int index = familyIndex(path);
    if (index < 0 || (index == 0 && !boardToo) || upper(familyBase(path)) != base) continue;
    out.push_back({file, index, componentsOf(ctx, file, s.corner, s.centroid)});
  }
  std::stable_sort(out.begin() + 1, out.end(),
                   [](const FamilyFile& a, const FamilyFile& b) { return a.index < b.index; });
  return out;
}

int writeReferences(Context& ctx, FamilyFile& f) {
  const Handle active = ctx.current;
  ctx.current = f.file;
  bool continues = false;
  int n = 0;
  for (RefComponent& c : f.components) {
    if (!c.changed) continue;
    const std::string params = withReference(readText(ctx, c.ring), c.ref);
    if (!recordModified(ctx, c.ring, continues)) break;
    continues = true;
    // The old text stays with the undo entry.
    ctx.rec(c.ring).ext = kNull;
    storeText(ctx, c.ring, params);
    fitReferenceTexts(ctx, c.ring, c.ref, continues);
    ++n;
  }
  if (n > 0) ctx.rec(f.file).size |= kFileModified;
  ctx.current = active;
  return n;
}

}  // namespace trelmo
