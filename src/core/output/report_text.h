// What the text reports share: lines built by columns, ended by CR LF, the
// title line with the design's name centred and the date at the right, the
// components they list and the delivery of the finished text to a file or
// the printer.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "database/component_keys.h"
#include "database/record.h"

namespace trelmo {

struct Context;

// Writes text at column (blanks fill up to it), over what stood there.
void putAt(std::string& line, size_t column, std::string_view text);
// The same with the text's last character at column `last`.
void putRight(std::string& line, size_t last, std::string_view text);
// Inches relative to the zero point, three decimals.
std::string inchText(int64_t v);

// Today as "MM/DD/YY".
std::string todayText();
// Title at column 0, the name centred between it and the date, the date at
// dateColumn.
std::string titleLine(std::string_view title, std::string_view name, size_t dateColumn, std::string_view date);

// The text of a report: lines without trailing blanks, each ended by CR LF.
class ReportText {
 public:
  void line(std::string_view text);
  void formFeed() { bytes_ += '\f'; }
  const std::string& bytes() const { return bytes_; }
  // Applied to each line before it is kept (the PC8 conversion).
  std::string (*filter)(const std::string&) = nullptr;

 private:
  std::string bytes_;
};

// The current design's file name without its folder.
std::string designName(const Context& ctx);
// The design's path with the extension replaced by `extension` (".bom").
std::string reportPath(const Context& ctx, std::string_view extension);

// Puts the text in place of the file (written beside it first); false when
// it could not be written whole, and the old file is kept.
bool writeReportFile(const std::string& path, const std::string& bytes);

// A top-level component of the design and its attribute fields.
struct ReportComponent {
  Handle header = kNull;
  ComponentFields fields;
  const std::string& reference() const { return fields[kReferenceField]; }
};
// Unhidden components of the design's own ring, in list order.
std::vector<ReportComponent> designComponents(const Context& ctx);
// Sorted by key, ascending; equal keys end up in reverse list order.
void sortByKey(std::vector<ReportComponent>& list, std::string (*key)(const ReportComponent&));
// The pads of a component in ring order, those of nested components included.
std::vector<Handle> componentPads(const Context& ctx, Handle header);

}  // namespace trelmo
