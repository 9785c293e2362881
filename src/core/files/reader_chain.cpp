#include "files/reader_chain.h"

#include "context.h"
#include "database/options.h"
#include "files/import/import_readers.h"
#include "files/pool_limit.h"
#include "files/reader_formats.h"

namespace trelmo {

namespace {

using Reader = char (*)(Context&, InputFile&, char);

struct ChainStep {
  Reader read;
  char hint;  // the one File Open hint besides "automatic" that selects it; 0 = none
};

// The readers in the order they are tried. Those without a hint of their own
// run only when no hint was given; the data file readers and the views check
// their hints themselves.
constexpr ChainStep kChain[] = {
    {readVersion4, 0},         {readVersion3, 0},         {readVersion2, 0},
    {readPicture, 0},          {readGerber, kHintGerber}, {readExcellon, kHintExcellon},
    {readTangoSchematic, 'T'}, {readTangoBoard, 0},       {readProtel, 0},
    {readBinaryBoard, 0},      {readDxf, kHintDxf},       {readHpgl, kHintHpgl},
};

}  // namespace

char readFile(Context& ctx, const std::string& path, char hint) {
  FileFailure why;
  return readFile(ctx, path, hint, why);
}

char readFile(Context& ctx, const std::string& path, char hint, FileFailure& why) {
  ctx.params.format = 0;
  InputFile in;
  if (!in.open(path)) {
    why = FileFailure::ofError(in.error());
    return 0;
  }
  const PoolWatch watch(ctx.pool);
  const char code = readerChain(ctx, in, hint);
  // A file read only in part must not look opened: saved, it would replace
  // the whole file with the part.
  if (code != 0 && watch.ranOut()) {
    reportPoolLimit(ctx, "The file \"" + path + "\" could not be read whole; nothing of it was kept.");
    why = {"the design does not fit in the record pool"};
    return 0;
  }
  ctx.params.format = code;
  if (code == 0) why = {"no design file is current"};
  return code;
}

char readerChain(Context& ctx, InputFile& in, char hint) {
  if (ctx.current == kNull) return 0;
  parseOptionsV4(ctx, {"-gd0,FFFFFF,909090,FFFFFF,FFFF00", "-y1", "-dy", "-b", "-gz0,0"});
  for (const ChainStep& step : kChain) {
    if (hint != kHintNone && hint != step.hint) continue;
    in.rewind();
    if (const char code = step.read(ctx, in, hint)) return code;
  }
  in.rewind();
  if (const char code = readTextView(ctx, in, hint)) return code;
  in.rewind();
  return readHexdump(ctx, in, hint);
}

const char* formatName(char code) {
  switch (code) {
    case kFormatV4:
      return "TRELMO Version 4.x Data File";
    case kFormatV3:
      return "TRELMO Version 3.x Data File";
    case kFormatV2:
      return "TRELMO Version 2.x Data File";
    case kFormatGerber:
      return "Gerber Photo Plot";
    case kFormatExcellon:
      return "Excellon Drill Holes";
    case kFormatTango:
      return "Tango Data";
    case kFormatProtel:
      return "Protel Data";
    case kFormatDxf:
      return "AutoCAD DXF";
    case kFormatHpgl:
      return "HPGL Pen Plot";
    case kFormatPicture:
      return "Pixel Image";
    case kFormatText:
      return "ASCII Text";
    default:
      return "Unknown";
  }
}

void ReadProgress::report(uint64_t block) {
  lastBlock_ = block;
  const uint64_t size = in_.size();
  const int percent = size == 0 ? 100 : static_cast<int>(in_.position() * 100 / size);
  ctx_.host->progress(percent > 100 ? 100 : percent);
}

void ReadProgress::done() { ctx_.host->progress(100); }

}  // namespace trelmo
