// A whole photo-plot set: one file per chosen entry of the output table,
// the drill files, the profile and the aperture list.
#include <algorithm>
#include <cctype>
#include <functional>

#include "context.h"
#include "output/gerber_writer.h"

namespace trelmo {

namespace {

bool isCopperKind(int kind) { return kind == kGerberCopper || kind == kGerberPlane; }

std::string entryName(const GerberEntry& e) {
  std::string n;
  for (int i = 0; i < 3 && static_cast<unsigned char>(e.name[i]) > ' '; ++i) n += e.name[i];
  return n;
}

// The stack position of each copper entry: the first top copper entry is L1,
// the bottom one last, planes and other copper between in table order.
std::vector<CopperPosition> copperPositions(const Params& p, const std::vector<int>& entries) {
  std::vector<int> top, inner, bottom;
  for (int i : entries) {
    const int kind = p.gerber[i].number & 7;
    if (!isCopperKind(kind)) continue;
    if (kind == kGerberCopper && (p.gerber[i].number & kGerberBottom))
      bottom.push_back(i);
    else if (kind == kGerberCopper && top.empty())
      top.push_back(i);
    else
      inner.push_back(i);
  }
  std::vector<int> stack = top;
  stack.insert(stack.end(), inner.begin(), inner.end());
  stack.insert(stack.end(), bottom.begin(), bottom.end());
  std::vector<CopperPosition> pos(kGerberEntries);
  for (size_t k = 0; k < stack.size(); ++k)
    pos[stack[k]] = {static_cast<int>(k) + 1, std::max(2, static_cast<int>(stack.size()))};
  return pos;
}

bool writeOne(const std::string& path, GerberSet& set, const std::function<bool(ByteSink&)>& body) {
  FileSink sink(path);
  if (sink.open() && body(sink) && sink.finish()) {
    set.written.push_back(path);
    return true;
  }
  sink.abort();
  if (set.error.empty()) set.error = path + ": " + (sink.error.empty() ? "not written" : sink.error);
  return false;
}

}  // namespace

std::vector<int> gerberEntries(const Params& p) {
  std::vector<int> out;
  for (int i = 0; i < kGerberEntries; ++i)
    if (!p.gerber[i].empty()) out.push_back(i);
  return out;
}

int guessOutlineLayer(const Params& p) {
  for (int l = 1; l < 255; ++l) {
    if (p.layers[l].unused()) continue;
    std::string n = p.layers[l].name;
    std::transform(n.begin(), n.end(), n.begin(), [](unsigned char c) { return std::tolower(c); });
    if (n.find("outline") != std::string::npos || n.find("profile") != std::string::npos) return l;
  }
  return -1;
}

bool writeGerberSet(const Context& ctx, const std::string& base, GerberSet& set) {
  const Params& p = ctx.params;
  const std::vector<CopperPosition> positions = copperPositions(p, set.entries);
  std::string apertures;
  std::vector<int> lists;
  bool ok = true;
  for (int i : set.entries) {
    if (i < 0 || i >= kGerberEntries || p.gerber[i].empty()) continue;
    const GerberEntry& e = p.gerber[i];
    const std::string name = entryName(e);
    const int kind = e.number & 7;
    if (kind == kGerberApertureList) {
      lists.push_back(i);
      continue;
    }
    if (kind == kGerberDrill) {
      for (bool plated : {true, false}) {
        std::string path = base;
        path += plated ? "." : "-NPTH.";
        path += name;
        MemorySink probe;
        if (!writeExcellon(ctx, plated, probe)) continue;
        ok &= writeOne(path, set, [&](ByteSink& s) { return writeExcellon(ctx, plated, s); });
      }
      continue;
    }
    GerberFileJob job;
    job.kind = kind;
    job.bottom = (e.number & kGerberBottom) != 0;
    job.layers = e.layers;
    job.position = positions[i];
    std::string used, path = base;
    path += ".";
    path += name;
    ok &= writeOne(path, set, [&](ByteSink& s) { return writeGerberFile(ctx, job, s, &used); });
    apertures.append(path).append("\r\n").append(used).append("\r\n");
  }
  if (set.outlineLayer >= 0 && set.outlineLayer < 256) {
    GerberFileJob job;
    job.outline = true;
    job.layers.set(set.outlineLayer);
    ok &= writeOne(base + ".GKO", set, [&](ByteSink& s) { return writeGerberFile(ctx, job, s, nullptr); });
  }
  for (int i : lists)
    ok &= writeOne(base + "." + entryName(p.gerber[i]), set, [&](ByteSink& s) { return s.write(apertures); });
  return ok;
}

}  // namespace trelmo
