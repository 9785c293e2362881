// The message file built into the program (resources/messages.txt).
#pragma once
#include <string_view>

namespace trelmo {

std::string_view builtInMessageFile();

}  // namespace trelmo
