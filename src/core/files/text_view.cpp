#include <cstdio>
#include <string>

#include "context.h"
#include "database/options.h"
#include "files/reader_chain.h"
#include "files/reader_formats.h"
#include "files/reader_items.h"

namespace trelmo {

namespace {

constexpr size_t kTextLineMax = 512;
constexpr int64_t kLinesPerPage = 1000000;
constexpr uint16_t kTextHeight = 42;
constexpr uint8_t kViewFont = 0xF0;  // anchor 0, font 15

void viewSetup(Context& ctx, bool hexdump) {
  parseOptionV3(ctx, "-y0:7,7,TXT");
  parseOptionV3(ctx, "-y0");
  parseOptionV3(ctx, hexdump ? "-m-100,-32000,100,100" : "-m-100,-32000,1000,100");
  parseOptionsV3(ctx, {"-gr3,1,1,10,100", "-gm3,2,3,1", "-l10", "-p45v25", "-t6"});
  parseOptionV4(ctx, "-gd1,0000FF,FFFFFF,00FF00,FF0000");
}

// Places one text item per line: 1 mil per line down the page, a new page
// one inch to the right after a million lines.
class LinePlacer {
 public:
  explicit LinePlacer(Context& ctx) : ctx_(ctx), items_(ctx, ctx.current, ItemSyntax::kFile) {}
  void add(std::string_view text) {
    if (++line_ > kLinesPerPage) {
      line_ = 1;
      ++page_;
    }
    if (text.empty()) return;
    const int32_t x = static_cast<int32_t>(page_ * kInch);
    const int32_t y = static_cast<int32_t>(-(line_ * kInch + 500) / 1000);
    const Handle h = items_.add(kText, 0, kTextHeight, x, y, 0, 0);
    if (h == kNull) return;
    const int64_t length = int64_t{kTextHeight} * static_cast<int64_t>(text.size());
    item::setText(ctx_.rec(h), static_cast<int32_t>(length), 0, kViewFont);
    items_.storeTextTo(h, text);
  }
  bool failed() const { return items_.failed(); }

 private:
  Context& ctx_;
  ItemBuilder items_;
  int64_t line_ = 0;
  int64_t page_ = 0;
};

bool plainText(std::string_view head) {
  int odd = 0;
  const size_t n = head.size() < 1024 ? head.size() : 1024;
  for (size_t i = 0; i < n; ++i) {
    const unsigned char c = static_cast<unsigned char>(head[i]);
    const bool ok =
        (c >= 32 && c <= 127) || c == '\r' || c == '\n' || c == '\t' || c == 171 || c == 172 || c == 230 || c == 234;
    if (!ok && ++odd > 16) return false;
  }
  return true;
}

}  // namespace

std::string hexdumpRow(uint64_t offset, const uint8_t* bytes, size_t n) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  char head[24];
  std::snprintf(head, sizeof head, "%06llX:   ", static_cast<unsigned long long>(offset));
  std::string row(head);
  for (size_t i = 0; i < 16; ++i) {
    if (i < n) {
      row.push_back(kHex[bytes[i] >> 4]);
      row.push_back(kHex[bytes[i] & 15]);
    } else {
      row.append("  ");
    }
    row.push_back(' ');
    if (i % 4 == 3) row.push_back(' ');
  }
  row.append("   |");
  for (size_t i = 0; i < n; ++i) row.push_back(bytes[i] < 32 || bytes[i] > 126 ? '.' : static_cast<char>(bytes[i]));
  row.push_back('|');
  return row;
}

char readTextView(Context& ctx, InputFile& in, char hint) {
  if (ctx.current == kNull) return 0;
  if (hint != kHintText && !(hint == kHintNone && plainText(in.firstBlock()))) return 0;
  viewSetup(ctx, false);
  LinePlacer placer(ctx);
  ReadProgress progress(ctx, in);
  std::string line;
  while (!placer.failed() && in.nextRawLine(line, kTextLineMax)) {
    placer.add(line);
    progress.update();
  }
  progress.done();
  return kFormatText;
}

char readHexdump(Context& ctx, InputFile& in, char) {
  if (ctx.current == kNull) return 0;
  viewSetup(ctx, true);
  LinePlacer placer(ctx);
  ReadProgress progress(ctx, in);
  uint8_t bytes[16];
  uint64_t offset = 0;
  size_t n;
  while (!placer.failed() && (n = in.read(bytes, sizeof bytes)) > 0) {
    placer.add(hexdumpRow(offset, bytes, n));
    offset += n;
    progress.update();
  }
  progress.done();
  return kFormatText;
}

}  // namespace trelmo
