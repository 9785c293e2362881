// Tango schematic and board import: recognition and the chain's entry points.
#include "context.h"
#include "files/import/import_readers.h"
#include "files/import/tango_common.h"
#include "files/import/tango_reader.h"
#include "files/reader_chain.h"

namespace trelmo {

namespace tango {

bool isBoard(std::string_view head) { return head.starts_with(";Tango-PCB") || head.starts_with("VERSION "); }

bool isSchematic(std::string_view head) { return head.starts_with("TangoPRO_ASCII"); }

}  // namespace tango

char readTangoSchematic(Context& ctx, InputFile& in, char hint) {
  if (hint != kHintNone && hint != kFormatTango) return 0;
  if (ctx.current == kNull || !tango::isSchematic(in.firstBlock())) return 0;
  in.rewind();
  tango::readSchematic(ctx, in);
  return kFormatTango;
}

char readTangoBoard(Context& ctx, InputFile& in, char hint) {
  if (hint != kHintNone) return 0;
  if (ctx.current == kNull || !tango::isBoard(in.firstBlock())) return 0;
  in.rewind();
  tango::readBoard(ctx, in);
  return kFormatTango;
}

}  // namespace trelmo
