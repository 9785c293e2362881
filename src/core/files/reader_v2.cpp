#include "context.h"
#include "database/options.h"
#include "files/reader_chain.h"
#include "files/reader_formats.h"
#include "files/reader_old.h"

namespace trelmo {

namespace {

constexpr std::string_view kMagic = "TRELMO Version 2.";

// Version 2 files carry no setup of their own beyond what differs from
// these board defaults.
constexpr std::string_view kBoardDefaults[] = {
    "-y0:5,0,Pad Master",
    "-y1:7,0,Top Silk",
    "-y2:3,1,Top Mask",
    "-y3:4,2,Top Side",
    "-y4:0,11,VCC",
    "-y5:0,2,Mid Layer 1",
    "-y6:0,10,Mid Layer 2",
    "-y7:0,2,Mid Layer 3",
    "-y8:0,10,Mid Layer 4",
    "-y9:0,2,Mid Layer 5",
    "-y10:0,10,Mid Layer 6",
    "-y11:0,3,GND",
    "-y12:1,10,Bottom Side",
    "-y13:2,9,Bottom Mask",
    "-y14:8,8,Bottom Silk",
    "-y15:0,7,Special",
    "-y0",
    "-m-2000,-2000,20000,20000",
    "-gr3,25,1,5,25,100",
    "-gd100",
    "-gm3,2,3,1",
    "-gz0,0",
    "-l10",
    "-p45v25",
    "-t48",
    "-hp1204000000006000",
    "-hs1.000,0,0,0,0,0,0,0,0",
    "-hm3,2,3,1,0",
    "-nr0",
    "-nh2",
    "-nc10,14,8,12,24,10",
    "-dp10,5,0,25",
    "-dy",
    "-dyTSS:6,1",
    "-dyTSM:2,2",
    "-dyTOP:0,3",
    "-dyBOT:8,12",
    "-dyBSM:10,13",
    "-dyBSS:14,14",
    "-dyDRL:4",
    "-dyLST:7",
    "-dyDWG:5",
    "-b",
};

}  // namespace

char readVersion2(Context& ctx, InputFile& in, char hint) {
  const std::string_view head = in.firstBlock();
  if (hint != kHintNone || !head.starts_with(kMagic) || ctx.current == kNull) return 0;
  const int minor = head.size() > 17 ? (head[17] & 7) : 0;
  resetGridColors(ctx);
  for (const std::string_view line : kBoardDefaults) parseOptionV2(ctx, line);
  readOldLines(ctx, in, OldSyntax{2, minor}, parseOptionV2);
  return kFormatV2;
}

}  // namespace trelmo
