// The built-in schematic symbols of the Place menu: item lines of the
// editor's item-text syntax around the connection point (0, 0), a negative
// layer meaning the current layer and each '*' standing for the signal name.
#pragma once
#include <string_view>

namespace trelmo {

// "signal", "bus", "pplus", "pminus", "ground", "earth", "voltage", "arrow",
// "dim"; empty for any other name.
std::string_view builtInSymbol(std::string_view name);

}  // namespace trelmo
