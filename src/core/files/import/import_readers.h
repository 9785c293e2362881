// The foreign-format readers of the reader chain. Each is handed the input
// rewound to its first byte and the hint, fills the current design file and
// returns its format code, or 0 to let the chain go on (it must then leave
// the design file and the parameter block as it found them... as far as the
// chain needs: the chain applies its common defaults only once).
#pragma once
#include "files/input_file.h"

namespace trelmo {

struct Context;

char readPicture(Context& ctx, InputFile& in, char hint);         // 'B'
char readGerber(Context& ctx, InputFile& in, char hint);          // 'G'
char readExcellon(Context& ctx, InputFile& in, char hint);        // 'E'
char readTangoSchematic(Context& ctx, InputFile& in, char hint);  // 'T'
char readTangoBoard(Context& ctx, InputFile& in, char hint);      // 'T'
char readProtel(Context& ctx, InputFile& in, char hint);          // 'P'
char readBinaryBoard(Context& ctx, InputFile& in, char hint);     // 'O'
char readDxf(Context& ctx, InputFile& in, char hint);             // 'X'
char readHpgl(Context& ctx, InputFile& in, char hint);            // 'H'

}  // namespace trelmo
