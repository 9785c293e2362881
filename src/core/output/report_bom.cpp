// BOM Out: the bill of materials, grouped by value, modifier and pattern,
// then every component with its position; and the same as CSV.
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "context.h"
#include "database/chains.h"
#include "output/byte_sink.h"
#include "output/plot_worker.h"
#include "output/report_functions.h"
#include "output/report_text.h"

namespace trelmo {

namespace {

constexpr size_t kReferenceColumn = 46;

// Components that have attributes, in the bill's order.
std::vector<ReportComponent> billComponents(const Context& ctx) {
  std::vector<ReportComponent> list;
  for (ReportComponent& c : designComponents(ctx)) {
    bool any = false;
    for (const std::string& f : c.fields) any = any || !f.empty();
    if (any) list.push_back(std::move(c));
  }
  sortByKey(list, [](const ReportComponent& c) { return billSortKey(c.fields); });
  return list;
}

// Type/value, modifier and pattern in their columns, cut to fit.
std::string groupColumns(const ComponentFields& f) {
  std::string line(41, ' ');
  line.replace(0, std::min<size_t>(f[kValueField].size(), 14), f[kValueField].substr(0, 14));
  line.replace(14, std::min<size_t>(f[kModifierField].size(), 14), f[kModifierField].substr(0, 14));
  line.replace(28, std::min<size_t>(f[kPatternField].size(), 13), f[kPatternField].substr(0, 13));
  return line;
}

// The references of a group from column 46: each followed by one blank and
// blanks up to the next column 46 + 6k (one blank only when 5 or 6 would
// be needed); one that would start past column 76 goes on a new line.
void groupLines(const std::string& columns, const std::vector<const ReportComponent*>& group, ReportText& out) {
  std::string line = columns;
  putRight(line, 43, std::to_string(group.size()));
  size_t column = kReferenceColumn;
  for (const ReportComponent* c : group) {
    if (column > 76) {
      out.line(line);
      line.clear();
      column = kReferenceColumn;
    }
    putAt(line, column, c->reference());
    column += c->reference().size() + 1;
    const size_t step = (6 - (column - kReferenceColumn) % 6) % 6;
    column += (step + 1 == 5 || step + 1 == 6) ? 0 : step;
  }
  out.line(line);
  out.line("");
}

void groupSection(const std::vector<ReportComponent>& sorted, ReportText& out) {
  std::vector<const ReportComponent*> group;
  std::string columns;
  for (const ReportComponent& c : sorted) {
    std::string next = groupColumns(c.fields);
    if (!group.empty() && next != columns) {
      groupLines(columns, group, out);
      group.clear();
    }
    columns = std::move(next);
    group.push_back(&c);
  }
  if (!group.empty()) groupLines(columns, group, out);
}

std::string rotationText(uint16_t angle) { return std::to_string(std::lround(angle * 360.0 / 65536.0)); }

void positionSection(const Context& ctx, std::vector<ReportComponent> list, ReportText& out) {
  sortByKey(list, [](const ReportComponent& c) { return referenceForm(c.reference()).substr(0, 64); });
  out.formFeed();
  out.line(" NAME         ROTATE  X POS   Y POS    PATTERN       VALUE         MODIFIER");
  out.line("");
  std::string previous;
  bool first = true;
  for (const ReportComponent& c : list) {
    const Record& header = ctx.rec(c.header);
    const Record& origin = ctx.rec(header.ext);
    const std::string key = c.reference().substr(0, 24);
    std::string line = (!first && key == previous) ? "*" : " ";
    putAt(line, 1, c.reference());
    putRight(line, 18, rotationText(header.size));
    putRight(line, 26, inchText(int64_t{origin.x1} - ctx.params.zeroX));
    putRight(line, 34, inchText(int64_t{origin.y1} - ctx.params.zeroY));
    putAt(line, 39, c.fields[kPatternField]);
    putAt(line, 53, c.fields[kValueField]);
    putAt(line, 67, c.fields[kModifierField]);
    out.line(line);
    previous = key;
    first = false;
  }
}

// RFC 4180: a field with a comma, quote or line break is quoted, quotes
// doubled.
std::string csvField(const std::string& s) {
  if (s.find_first_of(",\"\r\n") == std::string::npos) return s;
  std::string q = "\"";
  for (char c : s) {
    if (c == '"') q += '"';
    q += c;
  }
  return q + "\"";
}

// Stored text as UTF-8: the symbol bytes become their characters.
std::string utf8(const std::string& stored) {
  std::string out;
  for (char ch : stored) {
    switch (static_cast<unsigned char>(ch)) {
      case kDegree:
        out += "\u00B0";
        break;
      case kMicro:
        out += "\u00B5";
        break;
      case kHalf:
        out += "\u00BD";
        break;
      case kQuarter:
        out += "\u00BC";
        break;
      case kOhm:
        out += "\u03A9";
        break;
      default:
        if (static_cast<unsigned char>(ch) >= 32 && static_cast<unsigned char>(ch) < 127) out += ch;
    }
  }
  return out;
}

}  // namespace

std::string pc8ToAnsi(const std::string& line) {
  std::string out;
  int owed = 0;
  for (size_t i = 0; i < line.size(); ++i) {
    const auto c = static_cast<unsigned char>(line[i]);
    if (c == kOhm) {
      out += "ohms";
      owed += 3;
    } else if (c == ' ' && owed > 0 && i + 1 < line.size() && line[i + 1] == ' ') {
      --owed;  // the first blank of a pair gives back a column
    } else {
      const unsigned char ansi = c == kDegree ? 176 : c == kHalf ? 189 : c == kQuarter ? 188 : c == kMicro ? 181 : c;
      out += static_cast<char>(ansi);
    }
  }
  return out;
}

std::string billText(const Context& ctx, const BillOptions& options) {
  const std::string date = options.date.empty() ? todayText() : options.date;
  const std::vector<ReportComponent> sorted = billComponents(ctx);
  ReportText out;
  if (options.ansi) out.filter = pc8ToAnsi;
  const std::string rule(80, '-');
  out.line(titleLine("BILL OF MATERIALS", designName(ctx), 72, date));
  out.line(rule);
  out.line("TYPE/VALUE    MODIFIER      PATTERN      QTY  COMPONENT REFERENCE IDENTIFICATION");
  out.line(rule);
  out.line("");
  groupSection(sorted, out);
  positionSection(ctx, sorted, out);
  out.formFeed();
  return out.bytes();
}

std::string billCsv(const Context& ctx) {
  struct Row {
    std::string value, pattern;
    std::vector<std::string> refs;
  };
  std::vector<Row> rows;
  std::map<std::pair<std::string, std::string>, size_t> seen;
  for (const ReportComponent& c : billComponents(ctx)) {
    const auto key = std::make_pair(c.fields[kValueField], c.fields[kPatternField]);
    auto [it, fresh] = seen.try_emplace(key, rows.size());
    if (fresh) rows.push_back({key.first, key.second, {}});
    rows[it->second].refs.push_back(c.reference());
  }
  std::string out = "Value,Footprint,Quantity,References\r\n";
  for (const Row& r : rows) {
    std::string refs;
    for (const std::string& ref : r.refs) refs += (refs.empty() ? "" : " ") + utf8(ref);
    out += csvField(utf8(r.value)) + "," + csvField(utf8(r.pattern)) + "," + std::to_string(r.refs.size()) + "," +
           csvField(refs) + "\r\n";
  }
  return out;
}

ReportStatus writeBill(Context& ctx, const BillOptions& options) {
  const std::string text = options.csv ? billCsv(ctx) : billText(ctx, options);
  if (!options.printer) return writeReportFile(options.path, text) ? ReportStatus::kWritten : ReportStatus::kFileError;
  std::string failure;
  std::unique_ptr<ByteSink> job = ctx.output.openRawJob ? ctx.output.openRawJob(ctx, "Bill of Materials", failure)
                                                        : openCupsJob(ctx, "Bill of Materials", failure);
  if (!job) {
    ctx.host->messageBox("TRELMO'98 Printer Error", failure);
    return ReportStatus::kFileError;
  }
  if (!job->write(text) || !job->finish()) {
    job->abort();
    return ReportStatus::kFileError;
  }
  return ReportStatus::kWritten;
}

}  // namespace trelmo
