#include "output/report_text.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "context.h"
#include "database/design_files.h"
#include "output/byte_sink.h"

namespace trelmo {

void putAt(std::string& line, size_t column, std::string_view text) {
  if (line.size() < column + text.size()) line.resize(column + text.size(), ' ');
  line.replace(column, text.size(), text);
}

void putRight(std::string& line, size_t last, std::string_view text) {
  const size_t end = last + 1;
  if (text.size() > end) text.remove_prefix(text.size() - end);
  putAt(line, end - text.size(), text);
}

std::string inchText(int64_t v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.3f", static_cast<double>(v) / kInch);
  return buf;
}

std::string todayText() {
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d/%02d/%02d", (tm.tm_mon + 1) % 100, tm.tm_mday % 100, tm.tm_year % 100);
  return buf;
}

std::string titleLine(std::string_view title, std::string_view name, size_t dateColumn, std::string_view date) {
  std::string line(title);
  const long column =
      (static_cast<long>(title.size()) + static_cast<long>(dateColumn) - static_cast<long>(name.size())) / 2;
  putAt(line, static_cast<size_t>(std::max(column, 0L)), name);
  putAt(line, dateColumn, date);
  return line;
}

void ReportText::line(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (filter) {
    std::string converted = filter(std::string(text));
    while (!converted.empty() && converted.back() == ' ') converted.pop_back();
    bytes_ += converted;
  } else {
    bytes_ += text;
  }
  bytes_ += "\r\n";
}

std::string designName(const Context& ctx) {
  const std::string path = ctx.current != kNull ? filePath(ctx, ctx.current) : std::string();
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string reportPath(const Context& ctx, std::string_view extension) {
  const std::string path = ctx.current != kNull ? filePath(ctx, ctx.current) : std::string();
  const size_t slash = path.rfind('/');
  const size_t dot = path.rfind('.');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  return (hasExtension ? path.substr(0, dot) : path) + std::string(extension);
}

bool writeReportFile(const std::string& path, const std::string& bytes) {
  FileSink sink(path);
  if (!sink.open()) return false;
  if (!sink.write(bytes.data(), bytes.size())) {
    sink.abort();
    return false;
  }
  return sink.finish();
}

std::vector<ReportComponent> designComponents(const Context& ctx) {
  std::vector<ReportComponent> out;
  if (ctx.current == kNull) return out;
  const Handle ring = ctx.current;
  const size_t cap = ctx.pool.blockCount() * size_t{RecordPool::kRecordsPerBlock};
  size_t steps = 0;
  for (Handle h = ctx.rec(ring).next; h != ring && h != kNull && ++steps <= cap; h = ctx.rec(h).next) {
    const Record& r = ctx.rec(h);
    if (r.type() != kComponent || r.hidden() || !ctx.pool.valid(r.ext)) continue;
    out.push_back({h, componentFields(ctx, h)});
  }
  return out;
}

void sortByKey(std::vector<ReportComponent>& list, std::string (*key)(const ReportComponent&)) {
  std::vector<std::pair<std::string, ReportComponent>> keyed;
  keyed.reserve(list.size());
  for (auto it = list.rbegin(); it != list.rend(); ++it) keyed.emplace_back(key(*it), std::move(*it));
  std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  list.clear();
  for (auto& k : keyed) list.push_back(std::move(k.second));
}

std::vector<Handle> componentPads(const Context& ctx, Handle header) {
  std::vector<Handle> pads;
  std::vector<Handle> rings{ctx.rec(header).ext};
  std::vector<Handle> resume;  // where each outer ring goes on
  const size_t cap = ctx.pool.blockCount() * size_t{RecordPool::kRecordsPerBlock};
  size_t steps = 0;
  Handle ring = rings.back();
  Handle h = ctx.rec(ring).next;
  while (++steps <= cap) {
    if (h == ring || h == kNull) {
      if (resume.empty()) break;
      rings.pop_back();
      ring = rings.back();
      h = resume.back();
      resume.pop_back();
      continue;
    }
    const Record& r = ctx.rec(h);
    if (!r.hidden() && r.type() == kPad) pads.push_back(h);
    if (!r.hidden() && r.type() == kComponent && ctx.pool.valid(r.ext) && rings.size() < 64) {
      resume.push_back(r.next);
      rings.push_back(r.ext);
      ring = r.ext;
      h = ctx.rec(ring).next;
      continue;
    }
    h = r.next;
  }
  return pads;
}

}  // namespace trelmo
