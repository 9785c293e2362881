// HP-GL import: recognition, the built-in setup and the plot.
#include <array>
#include <string_view>

#include "context.h"
#include "database/options.h"
#include "files/import/hpgl_lexer.h"
#include "files/import/hpgl_plotter.h"
#include "files/import/import_readers.h"
#include "files/reader_chain.h"

namespace trelmo {

namespace hpgl {

namespace {

constexpr size_t kScanBytes = 1024;
constexpr int kRecognised = 16;
constexpr std::array<std::string_view, 9> kCodes = {"AA", "CI", "PA", "PR", "PD", "PU", "PP", "SP", "VS"};

bool skipped(char c) {
  // Signs count with the numbers they start: relative moves are full of them.
  return c == '\t' || c == '\r' || c == '\n' || c == ' ' || c == ',' || c == '.' || c == '-' || c == '+' ||
         (c >= '0' && c <= '9');
}

void setup(Context& ctx) {
  parseOptionsV4(ctx, {"-gc0,0,0,0,0,0", "-gd.1,FFFFFF,909090,FFFFFF,FFFF00", "-gm3,6,3,0", "-gp7,0,1.0,0,0,0,0",
                       "-gs0.025,0,1,5,25,100", "-gx0,0,0,0", "-gz", "-y0", "-y0:00000000,00FFFFFF,0,Pad Master",
                       "-iv0,.05,.028", "-ip1,0,.1,.1,.048", "-it.048", "-dp.01,.005,.025,.025", "-dy"});
  parseOptionsV3(ctx, {"-y1:1,0,Pen 1", "-y2:2,0,Pen 2", "-y3:3,0,Pen 3", "-y4:4,0,Pen 4", "-y5:5,0,Pen 5",
                       "-y6:6,0,Pen 6", "-y7:7,0,Pen 7", "-y8:8,0,Pen 8", "-y9:9,0,Pen 9"});
}

}  // namespace

Scan scan(std::string_view head) {
  Scan s;
  head = head.substr(0, kScanBytes);
  size_t i = 0;
  while (i < head.size()) {
    const char c = head[i];
    if (skipped(c)) {
      ++i;
    } else if (c == ';') {
      ++s.count;
      ++i;
    } else if (c == 26) {
      break;
    } else if (c == 27) {
      ++s.count;
      i += escapeLength(head.substr(i));
    } else if (head.substr(i, 2) == "LB") {
      ++s.count;
      i += 2;
      while (i < head.size() && head[i] != 3) ++i;
      ++i;
    } else if (head.substr(i, 2) == "TC") {
      ++s.count;
      s.mils = true;
      i += 2;
    } else {
      bool known = false;
      for (std::string_view code : kCodes) known = known || head.substr(i, 2) == code;
      s.count += known ? 1 : -1;
      i += known ? 2 : 1;
    }
    if (s.count >= kRecognised) s.recognised = true;
  }
  return s;
}

}  // namespace hpgl

char readHpgl(Context& ctx, InputFile& in, char hint) {
  if (hint != kHintNone && hint != kHintHpgl) return 0;
  const hpgl::Scan s = hpgl::scan(in.firstBlock());
  if (hint == kHintNone && !s.recognised) return 0;
  if (ctx.current == kNull) return 0;
  in.rewind();
  hpgl::setup(ctx);
  hpgl::Lexer lex(in);
  hpgl::Plotter plotter(ctx, ctx.current, s.mils);
  plotter.run(lex);
  return kFormatHpgl;
}

}  // namespace trelmo
