// Function codes: two characters packed into 16 bits, the family letter in
// the high byte (PL = 0x504C). The same number is the menu command id.
#pragma once
#include <cstdint>
#include <string>

namespace trelmo {

constexpr uint16_t fc(char family, char member) {
  return static_cast<uint16_t>((static_cast<uint8_t>(family) << 8) | static_cast<uint8_t>(member));
}
constexpr char familyOf(uint16_t code) { return static_cast<char>(code >> 8); }
constexpr char memberOf(uint16_t code) { return static_cast<char>(code & 0xFF); }

// Where a code came from.
enum Source : int {
  kFromMacro = 0,    // code in angle brackets: the opening dialog is skipped
  kFromRepeat = 1,   // Enter or the left button repeating the current function
  kFromKeys = 2,     // typed letters or a popup menu
  kFromMenuBar = 3,  // the menu bar after mouse movement
};

// Codes the program uses beyond the menus.
constexpr uint16_t kEscapeToWindows = fc('M', 'S');
constexpr uint16_t kScreenBox = 0x5360;   // "&Screen Parameters"
constexpr uint16_t kLastScreen = 0x537F;  // 0x5360 + n (n > 0) selects screen n

// The twelve families in menu-bar order.
constexpr char kFamilies[12] = {'F', 'P', 'G', 'E', 'D', 'Q', 'U', 'S', 'B', 'N', 'Z', '?'};
bool isFamily(char letter);

// "PL" for 0x504C.
std::string codeName(uint16_t code);

}  // namespace trelmo
