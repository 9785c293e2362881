// The drill reader: tool sizes and hole positions become round vias on the
// pad master layer.
#include <algorithm>
#include <array>
#include <string>

#include "context.h"
#include "database/rings.h"
#include "files/import/gerber_reader.h"
#include "files/import/import_readers.h"
#include "files/reader_chain.h"
#include "files/reader_formats.h"

namespace trelmo {

namespace {

constexpr int kTools = 32;
constexpr uint16_t kSmallestDrill = 65;
constexpr int kMaxRepeat = 10000;

int32_t clamp32(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN + 1, INT32_MAX)); }

bool startsWith(std::string_view s, std::string_view p) { return s.substr(0, p.size()) == p; }

class DrillReader {
 public:
  DrillReader(Context& ctx, InputFile& in, const DrillFormat& fmt)
      : ctx_(ctx), in_(in), fmt_(fmt), budget_(ctx, in.size()) {}

  void run() {
    ReadProgress progress(ctx_, in_);
    std::string line;
    // Repeats make many holes of one line: the budget stops a runaway file,
    // keeping the holes made so far.
    while (!budget_.exceeded() && in_.nextLine(line)) {
      processLine(line);
      progress.update();
    }
    progress.done();
  }

 private:
  void processLine(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    if (startsWith(s, ";")) return toolNote(s.substr(1));
    if (unitStatement(s)) return;
    bool point = false;
    int repeat = 0;
    int32_t step[2] = {0, 0};
    for (size_t i = 0; i < s.size();) {
      char c = s[i++];
      if (c == '%') {
        header_ = !header_;
      } else if (c == 'M') {
        int m = readInteger(s, i);
        if (m == 71 || m == 72) fmt_.metric = m == 71;
      } else if (c == 'T') {
        tool(s, i);
      } else if (c == 'R') {
        repeat = std::min(readInteger(s, i), kMaxRepeat);
      } else if (c == 'X' || c == 'Y') {
        DigitRun run = readDigits(s, i);
        int32_t v = toUnits(drillCoordinate(run, fmt_.metric ? 3 : 2, fractionDigits()), fmt_.metric);
        if (repeat)
          step[c == 'Y'] = v;
        else
          (c == 'X' ? x_ : y_) = v;
        point = true;
      } else if (c == ' ' || header_) {
        continue;
      } else {
        return;  // not drill data: the line gives nothing
      }
    }
    if (!point) return;
    if (!repeat) return hole();
    // "R" n with an X and Y step: n more holes, each a step from the last.
    for (int k = 0; k < repeat && !budget_.exceeded(); ++k) {
      x_ = clamp32(int64_t{x_} + step[0]), y_ = clamp32(int64_t{y_} + step[1]);
      hole();
    }
  }

  // "INCH" or "METRIC", with ",TZ" (leading zeros left out) or ",LZ".
  bool unitStatement(std::string_view s) {
    bool inch = startsWith(s, "INCH"), metric = startsWith(s, "METRIC");
    if (!inch && !metric) return false;
    fmt_.metric = metric;
    if (s.find(",TZ") != std::string_view::npos) trailingKept_ = true;
    if (s.find(",LZ") != std::string_view::npos) trailingKept_ = false;
    return true;
  }

  // With trailing zeros kept the implied point counts from the right.
  int fractionDigits() const { return trailingKept_ ? (fmt_.metric ? 3 : 4) : -1; }

  // Tool notes of headerless files: "T01 Holesize 1. = 12.000000 ... MILS".
  void toolNote(std::string_view s) {
    if (!startsWith(s, "T")) return;
    size_t i = 1;
    int n = readInteger(s, i);
    size_t eq = s.find('=', i);
    if (n <= 0 || n >= kTools || eq == std::string_view::npos || s.find("Holesize") == std::string_view::npos) return;
    size_t p = eq + 1;
    while (p < s.size() && s[p] == ' ') ++p;
    double v = readDecimal(s, p);
    bool mm = s.find(" MM") != std::string_view::npos;
    bool mils = s.find("MILS") != std::string_view::npos;
    proposal_[n] = toSize(mils ? v / 1000 : v, mm);
  }

  void tool(std::string_view s, size_t& i) {
    int n = std::min(readInteger(s, i), kTools - 1);
    if (i < s.size() && (s[i] == 'C' || s[i] == '=')) {
      DigitRun run = readDigits(s, ++i);
      // A size without a point is in mils (thousandths of a millimetre in a
      // metric file).
      double v = run.point ? run.decimal : static_cast<double>(run.value) / 1000;
      if (run.negative) v = 0;
      tools_[n] = toSize(v, fmt_.metric);
    }
    if (n != 0 && tools_[n] == 0 && !fmt_.useDefaults) {
      uint16_t proposal = proposal_[n] ? proposal_[n] : kDefaultDrill;
      tools_[n] = askDrillTool(ctx_, n, proposal, fmt_.useDefaults);
    }
    diameter_ = tools_[n] < kSmallestDrill ? kDefaultDrill : tools_[n];
  }

  void hole() {
    if (!budget_.allows()) return;
    int32_t x = clamp32(int64_t{x_} + ctx_.params.zeroX), y = clamp32(int64_t{y_} + ctx_.params.zeroY);
    createItem(ctx_.pool, ctx_.current, kPad, 0, item::kRoundVia, x, y, pack16(diameter_, diameter_),
               pack16(diameter_, 0), kNull);
  }

  Context& ctx_;
  InputFile& in_;
  DrillFormat fmt_;
  RecordBudget budget_;
  std::array<uint16_t, kTools> tools_{}, proposal_{};
  uint16_t diameter_ = kDefaultDrill;
  int32_t x_ = 0, y_ = 0;
  bool header_ = false, trailingKept_ = false;
};

}  // namespace

char readExcellon(Context& ctx, InputFile& in, char hint) {
  if (hint != kHintNone && hint != kHintExcellon) return 0;
  DrillFacts facts = scanExcellon(in.firstBlock());
  if (!isExcellon(facts)) return 0;
  DrillFormat fmt;
  if (!facts.start && !facts.toolDefinition && !askDrillFormat(ctx, fmt)) return 0;
  applyImportSetup(ctx, "DRL:4");
  in.rewind();
  DrillReader(ctx, in, fmt).run();
  return kFormatExcellon;
}

}  // namespace trelmo
