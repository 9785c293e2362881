// Netlist In, the parts list: each listed part compared with the design's
// component of its reference, its pattern replaced or the part added from
// the libraries as the options say.
#include <algorithm>
#include <cctype>
#include <string>

#include "context.h"
#include "database/chains.h"
#include "database/geometry.h"
#include "database/rings.h"
#include "edit/undo.h"
#include "files/item_lines.h"
#include "library/library_listing.h"
#include "nets/log_writer.h"
#include "nets/netlist_in_work.h"
#include "output/report_text.h"
#include "screen/redraw.h"

namespace trelmo {

namespace {

constexpr int32_t kRowGap = 6554;  // 0.1 inch between components added

bool sameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
         });
}

std::string withoutGate(std::string ref) {
  if (!ref.empty() && ref.back() >= 'a' && ref.back() <= 't') ref.pop_back();
  return ref;
}

std::string joined(const ComponentFields& f) {
  size_t used = f.size();
  while (used > 1 && f[used - 1].empty()) --used;
  std::string text;
  for (size_t i = 0; i < used; ++i) {
    if (i) text += static_cast<char>(kFieldSeparator);
    text += f[i];
  }
  return text;
}

}  // namespace

const std::array<const char*, 16> kNetlistMessages = {
    "Signal/layer match      Name:  ", "Pin not found           Name:  ", "Component not found     Name:  ",
    "Component name invalid  Input: ", "Signal name invalid     Input: ", "Input line invalid      Data:  ",
    "Crosslinked pin         Name:  ", "Pattern not found       Name:  ", "Pattern mismatch        Input: ",
    "Component replaced      Input: ", "Type/value mismatch     Input: ", "Type/value replaced     Input: ",
    "Modifier mismatch       Input: ", "Modifier replaced       Input: ", "Unlinked pin            Name:  ",
    "Unused component        Name:  ",
};

NetlistWork::NetlistWork(Context& ctx, LogWriter& log, UndoTransaction& undo, const NetlistInOptions& options)
    : ctx_(ctx), log_(log), undo_(undo), options_(options) {
  if (!designExtents(ctx, box_)) box_[0] = box_[1] = 0, box_[2] = box_[3] = 10 * kInch;
  rowX_ = box_[0];
  rowY_ = rowBottom_ = box_[3];
  for (const ReportComponent& c : designComponents(ctx)) index(c.header);
}

void NetlistWork::message(long line, const std::string& reference, int index, const std::string& detail) {
  std::string text = reference.empty() ? "Line: " + std::to_string(line) : reference;
  putAt(text, 12, kNetlistMessages[static_cast<size_t>(index)]);
  log_.line(text + detail);
  ++messages_;
}

void NetlistWork::index(Handle header) {
  const std::string ref = componentFields(ctx_, header)[kReferenceField];
  if (ref.empty()) return;
  byReference_[ref].push_back(header);
  const std::string bare = withoutGate(ref);
  if (bare != ref && !bare.empty()) byReference_[bare].push_back(header);
}

void NetlistWork::unindex(Handle header) {
  for (auto& [ref, list] : byReference_) list.erase(std::remove(list.begin(), list.end(), header), list.end());
}

Handle NetlistWork::component(const std::string& reference) const {
  const auto it = byReference_.find(reference);
  if (it == byReference_.end() || it->second.empty()) return kNull;
  for (Handle h : it->second)
    if (componentFields(ctx_, h)[kReferenceField] == reference) return h;
  return it->second.front();
}

// The pattern loaded from the libraries into the scratch ring: its header
// there, or kNull when no library has it.
Handle NetlistWork::loadPattern(const std::string& pattern) {
  if (pattern.empty() || (!loadComponentByName(ctx_, pattern, false) && !loadComponentByName(ctx_, pattern, true)))
    return kNull;
  const Handle scratch = ctx_.library.loaded;
  const Handle source = scratch != kNull ? ctx_.rec(scratch).next : kNull;
  if (source == kNull || source == scratch || ctx_.rec(source).type() != kComponent) return kNull;
  return source;
}

// The loaded component copied into the design with its origin at (x, y).
Handle NetlistWork::copyLoaded(Handle source, int32_t x, int32_t y) {
  const Record& origin = ctx_.rec(ctx_.rec(source).ext);
  std::string lines;
  componentAsItemLines(ctx_, source, lines, origin.x1, origin.y1);
  const Handle file = ctx_.current;
  const Handle before = ctx_.rec(file).prev;
  const bool read = parseItemText(ctx_, file, lines, x, y);
  const Handle header = ctx_.rec(file).prev;
  if (!read || header == before || ctx_.rec(header).type() != kComponent) {
    while (ctx_.rec(file).prev != before) freeItemDeeply(ctx_, ctx_.rec(file).prev);
    return kNull;
  }
  undo_.added(header);
  return header;
}

// At the next place of the row: the previous component's right edge plus
// 0.1 inch, or a new row 0.1 inch lower when the box's right edge is passed.
Handle NetlistWork::addToRow(const std::string& pattern) {
  const Handle source = loadPattern(pattern);
  if (source == kNull) return kNull;
  const Record& r = ctx_.rec(source);
  const Record& origin = ctx_.rec(r.ext);
  const int64_t width = int64_t{r.w3} - r.x1, height = int64_t{r.w4} - r.y1;
  if (rowX_ > box_[0] && rowX_ + width > box_[2]) {
    rowX_ = box_[0];
    rowY_ = rowBottom_ - kRowGap;
  }
  const int64_t x = int64_t{rowX_} - (int64_t{r.x1} - origin.x1), y = int64_t{rowY_} - (int64_t{r.w4} - origin.y1);
  const Handle header = copyLoaded(source, clamp32(x), clamp32(y));
  if (header == kNull) return kNull;
  rowX_ = clamp32(int64_t{rowX_} + width + kRowGap);
  rowBottom_ = clamp32(std::min<int64_t>(rowBottom_, int64_t{rowY_} - height));
  return header;
}

void NetlistWork::setFields(Handle header, const ComponentFields& fields) {
  const Handle sentinel = ctx_.rec(header).ext;
  undo_.modified(sentinel);
  // The old text stays with the undo entry.
  const Handle old = ctx_.rec(sentinel).ext;
  ctx_.rec(sentinel).ext = kNull;
  if (!storeText(ctx_, sentinel, joined(fields))) ctx_.rec(sentinel).ext = old;
  undo_.touch(header);
}

Handle NetlistWork::replacePattern(const NetlistPart& p, Handle old, const std::string& pattern) {
  const Record& origin = ctx_.rec(ctx_.rec(old).ext);
  const Handle source = loadPattern(pattern);
  const Handle header = source != kNull ? copyLoaded(source, origin.x1, origin.y1) : kNull;
  ComponentFields fields = componentFields(ctx_, old);
  if (header == kNull) {
    message(p.line, p.reference, kPatternNotFound, pattern);
    return kNull;
  }
  message(p.line, p.reference, kComponentReplaced, pattern + " File: " + fields[kPatternField]);
  fields[kPatternField] = pattern;
  setFields(header, fields);
  unindex(old);
  undo_.removed(old);
  index(header);
  return header;
}

void NetlistWork::compareValues(const NetlistPart& p, Handle header) {
  ComponentFields fields = componentFields(ctx_, header);
  const bool replace = options_.replaceValues;
  const std::string value = p.value == "?" ? std::string() : p.value;
  if (value != fields[kValueField])
    message(p.line, p.reference, replace ? kValueReplaced : kValueMismatch, value + " File: " + fields[kValueField]);
  if (!p.modifier.empty() && p.modifier != fields[kModifierField])
    message(p.line, p.reference, replace ? kModifierReplaced : kModifierMismatch,
            p.modifier + " File: " + fields[kModifierField]);
  if (!replace) return;
  fields[kValueField] = value;
  if (!p.modifier.empty()) fields[kModifierField] = p.modifier;
  setFields(header, fields);
}

void NetlistWork::part(const NetlistPart& p) {
  if (p.reference.empty()) return;
  const bool noPattern = p.pattern.empty() || p.pattern[0] == '?';
  Handle header = component(p.reference);
  if (header == kNull) {
    header = noPattern ? kNull : addToRow(p.pattern);
    if (header == kNull) return message(p.line, p.reference, kPatternNotFound, p.pattern);
    // A new part takes every field of the line.
    ComponentFields fields = componentFields(ctx_, header);
    fields[kPatternField] = p.pattern;
    fields[kReferenceField] = p.reference;
    fields[kValueField] = p.value == "?" ? std::string() : p.value;
    fields[kModifierField] = p.modifier;
    setFields(header, fields);
    index(header);
    return;
  }
  const std::string designPattern = componentFields(ctx_, header)[kPatternField];
  const std::string pattern = noPattern ? designPattern : p.pattern;
  if (!sameText(pattern, designPattern)) {
    if (!options_.replacePatterns) {
      message(p.line, p.reference, kPatternMismatch, pattern + " File: " + designPattern);
    } else {
      header = replacePattern(p, header, pattern);
      if (header == kNull) return;
    }
  }
  compareValues(p, header);
}

}  // namespace trelmo
