// Every harness by name: the folder its seeds, dictionary and regression
// inputs are kept under, and its function.
#pragma once
#include "fuzz_target.h"

// X(name, function)
#define TRELMO_FUZZ_TARGETS(X)                \
  X(fuzz_reader_chain, fuzzReaderChain)       \
  X(fuzz_version4, fuzzVersion4)              \
  X(fuzz_version3, fuzzVersion3)              \
  X(fuzz_version2, fuzzVersion2)              \
  X(fuzz_gerber, fuzzGerber)                  \
  X(fuzz_excellon, fuzzExcellon)              \
  X(fuzz_dxf, fuzzDxf)                        \
  X(fuzz_hpgl, fuzzHpgl)                      \
  X(fuzz_tango_board, fuzzTangoBoard)         \
  X(fuzz_tango_schematic, fuzzTangoSchematic) \
  X(fuzz_protel, fuzzProtel)                  \
  X(fuzz_bmp, fuzzBmp)                        \
  X(fuzz_pcx, fuzzPcx)                        \
  X(fuzz_gif, fuzzGif)                        \
  X(fuzz_tiff, fuzzTiff)                      \
  X(fuzz_fits, fuzzFits)                      \
  X(fuzz_png, fuzzPng)                        \
  X(fuzz_jpeg, fuzzJpeg)                      \
  X(fuzz_netlist_in, fuzzNetlistIn)

namespace trelmo::fuzz {
#define TRELMO_FUZZ_DECLARE(name, function) int function(const uint8_t* data, size_t size);
TRELMO_FUZZ_TARGETS(TRELMO_FUZZ_DECLARE)
#undef TRELMO_FUZZ_DECLARE
}  // namespace trelmo::fuzz
