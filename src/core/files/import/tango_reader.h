// The Tango readers: a board (records of blank-separated fields in mils) and
// a schematic (keyword lines with decimal inches).
#pragma once
#include <array>
#include <cstdint>

#include "files/input_file.h"

namespace trelmo {

struct Context;

namespace tango {

// Tango layer number (modulo 32) to layer of the board setup.
constexpr std::array<uint8_t, 32> kBoardLayers = {7,  8,  10, 9, 11, 12, 13, 14, 3, 4, 5, 6, 16, 17, 0, 18,
                                                  19, 15, 1,  0, 0,  0,  0,  0,  0, 0, 0, 0, 0,  0,  0, 0};
inline uint8_t boardLayer(int32_t tangoLayer) { return kBoardLayers[static_cast<uint32_t>(tangoLayer) & 31]; }

bool isBoard(std::string_view head);
bool isSchematic(std::string_view head);
// Fill the current design file; the setup is applied first.
void readBoard(Context& ctx, InputFile& in);
void readSchematic(Context& ctx, InputFile& in);

}  // namespace tango
}  // namespace trelmo
