#include "resources/menus.h"

namespace trelmo {

namespace {

constexpr MenuItem kReOpen[] = {
    {fc('F', '0'), "&0:"}, {fc('F', '1'), "&1:"}, {fc('F', '2'), "&2:"}, {fc('F', '3'), "&3:"}, {fc('F', '4'), "&4:"},
    {fc('F', '5'), "&5:"}, {fc('F', '6'), "&6:"}, {fc('F', '7'), "&7:"}, {fc('F', '8'), "&8:"}, {fc('F', '9'), "&9:"},
};
constexpr MenuItem kFileMenu[] = {
    {fc('F', 'W'), "Ne&w"},
    {fc('F', 'O'), "&Open"},
    {fc('F', 'R'), "&Re-Open", kReOpen},
    {fc('F', 'T'), "&Total Recall"},
    kSeparator,
    {fc('F', 'D'), "Loa&d"},
    {fc('F', 'C'), "&Close"},
    {fc('F', 'E'), "&Erase"},
    kSeparator,
    {fc('F', 'S'), "&Save"},
    {fc('F', 'A'), "Save &As ..."},
    kSeparator,
    {fc('F', 'I'), "&Information"},
    {fc('F', 'N'), "&Next"},
    {fc('F', 'V'), "Pre&v"},
    {fc('F', 'L'), "Se&lect"},
    kSeparator,
    {fc('F', 'G'), "&Gerber Out"},
    {fc('F', 'P'), "&Printer Out"},
    {fc('F', 'B'), "&BOM Out"},
    kSeparator,
    {fc('F', 'X'), "E&xit/Quit"},
};
constexpr MenuItem kPlaceMenu[] = {
    {fc('P', 'L'), "&Line"},
    {fc('P', 'O'), "&Ortho-line"},
    {fc('P', 'E'), "V&ertex"},
    {fc('P', 'A'), "&Arc/circle/ellipse"},
    {fc('P', 'Y'), "Arc graphicall&y"},
    {fc('P', 'P'), "&Pad"},
    {fc('P', 'V'), "&Via"},
    {fc('P', 'T'), "&Text"},
    {fc('P', 'C'), "&Component"},
    {fc('P', 'F'), "&Filled Solid"},
    {fc('P', 'S'), "&Signal Port"},
    {fc('P', 'B'), "&Bus Port"},
    {fc('P', '+'), "&+/- Port"},
    {fc('P', 'G'), "Signal &GND"},
    {fc('P', 'H'), "Eart&h GND"},
    {fc('P', 'M'), "Na&med GND"},
    {fc('P', 'N'), "Signal &Name"},
    {fc('P', 'D'), "Signal &Dot"},
    {fc('P', 'W'), "Signal &Wire"},
    {fc('P', 'I'), "Bus W&ire"},
    {fc('P', 'R'), "A&rrowhead"},
    {fc('P', 'X'), "&XY Dimension"},
};
constexpr MenuItem kGrabMenu[] = {
    {fc('G', 'L'), "&Line"},         {fc('G', 'E'), "V&ertex"},        {fc('G', 'A'), "&Arc edge"},
    {fc('G', 'G'), "Arc ori&gin"},   {fc('G', 'D'), "Arc en&d point"}, {fc('G', 'P'), "&Pad/via"},
    {fc('G', 'T'), "&Text"},         {fc('G', 'C'), "&Component"},     {fc('G', 'O'), "Comp &Only"},
    {fc('G', 'F'), "&Filled Solid"}, {fc('G', 'I'), "&Item"},          kSeparator,
    {fc('G', 'R'), "&Rotate 90°"},   {fc('G', 'N'), "Rotate &N°"},     {fc('G', 'X'), "Mirror &X"},
    {fc('G', 'Y'), "Mirror &Y"},     {fc('G', 'M'), "&Mirror T/B"},    {fc('G', 'S'), "&Scale XY"},
};
constexpr MenuItem kEditMenu[] = {
    {fc('E', 'L'), "&Line"},
    {fc('E', 'A'), "&Arc/circle"},
    {fc('E', 'P'), "&Pad/via"},
    {fc('E', 'T'), "&Text data"},
    {fc('E', 'X'), "Te&xt parameters"},
    {fc('E', 'I'), "S&ingle Component"},
    {fc('E', 'C'), "&Components"},
    {fc('E', 'E'), "Locate T&ext"},
    {fc('E', 'O'), "L&ocate Component"},
    {fc('E', 'K'), "&Krump Component"},
    {fc('E', 'F'), "Krump &Filled Solid"},
    {fc('E', 'R'), "Convert Line to A&rc"},
    {fc('E', 'Q'), "Rese&quence Components"},
    {fc('E', 'G'), "&Grid Align Components"},
    {fc('E', 'D'), "Gri&d Align Text"},
    {fc('E', 'S'), "&Snap Item"},
};
constexpr MenuItem kDeleteMenu[] = {
    {fc('D', 'L'), "&Line"},        {fc('D', 'M'), "&Multi-line"},    {fc('D', 'E'), "V&ertex"},
    {fc('D', 'A'), "&Arc/circle"},  {fc('D', 'P'), "&Pad/via"},       {fc('D', 'T'), "&Text"},
    {fc('D', 'C'), "&Component"},   {fc('D', 'F'), "&Filled Solid"},  kSeparator,
    {fc('D', 'I'), "&Iso-islands"}, {fc('D', 'G'), "&Grabbed Items"}, {fc('D', 'H'), "&Hilighted Items"},
};
constexpr MenuItem kQueryMenu[] = {
    {fc('Q', 'L'), "&Line"},
    {fc('Q', 'A'), "&Arc/circle"},
    {fc('Q', 'P'), "&Pad/via"},
    {fc('Q', 'T'), "&Text"},
    {fc('Q', 'C'), "&Component"},
    {fc('Q', 'R'), "&Raft Boxes"},
    kSeparator,
    {fc('Q', 'I'), "&Image Editor"},
    {fc('Q', 'V'), "&View Window"},
    {fc('Q', 'Z'), "&Zoom Window"},
};
constexpr MenuItem kUnDoMenu[] = {
    {fc('U', 'U'), "&Un-Do Event"},
    {fc('U', 'A'), "Un-Do &All"},
    {fc('U', 'E'), "Re-Do &Event"},
    {fc('U', 'R'), "&Re-Do All"},
    kSeparator,
    {fc('U', 'S'), "Purge Un-Do &Stack"},
    {fc('U', 'P'), "&Purge Re-Do Stack"},
};
constexpr MenuItem kPixelImage[] = {
    {fc('S', '0'), "&Load new image"},          {fc('S', '='), "A&ttach new image"},
    {fc('S', '1'), "Sa&ve current image"},      {fc('S', '2'), "&Release current image"},
    {fc('S', '3'), "Select &Alternate image"},  {fc('S', '4'), "&Move the image"},
    {fc('S', '5'), "&Ortho-rectify the image"}, {fc('S', '>'), "&Scale/align the image"},
    {fc('S', '7'), "&Gamma control"},           {fc('S', '6'), "&Change resolution"},
    {fc('S', '8'), "Mirror on &X axis"},        {fc('S', '9'), "Mirror on &Y axis"},
    {fc('S', ':'), "Rotate by &90°"},           {fc('S', ';'), "Rotate by &180°"},
    {fc('S', '<'), "Rotate by &270°"},
};
constexpr MenuItem kScreen[] = {
    {fc('S', '`'), "&Screen Parameters"},
};
constexpr MenuItem kSetupMenu[] = {
    {fc('S', 'L'), "&Layers"},
    {fc('S', 'M'), "Draw &Modes"},
    {fc('S', 'D'), "Grid &Dots"},
    kSeparator,
    {fc('S', 'I'), "Pixel &Image", kPixelImage},
    {fc('S', 'F'), "Library &Files"},
    {fc('S', 'V'), "&Via Parameters"},
    {fc('S', 'X'), "&XY Dimension Lines"},
    kSeparator,
    {fc('S', 'C'), "&Clearances"},
    {fc('S', 'S'), "&Snap Table"},
    {fc('S', 'G'), "&Grid Snap"},
    {fc('S', 'P'), "Zero &Point"},
    kSeparator,
    {fc('S', 'B'), "Status &Bar"},
    {fc('S', 'W'), "Mirror Vie&w"},
    {fc('S', 'T'), "Or&tho Mode"},
    kSeparator,
    {0, "Scr&een", kScreen},
    {fc('S', 'K'), "&Keystroke Macros"},
    {fc('S', 'O'), "&Options"},
};
constexpr MenuItem kBlockMenu[] = {
    {fc('B', 'G'), "Rectan&gle"},
    {fc('B', 'I'), "Polyl&ine"},
    kSeparator,
    {fc('B', 'P'), "Animated &Perimeter"},
    {fc('B', 'E'), "R&elease"},
    kSeparator,
    {fc('B', 'M'), "&Move"},
    {fc('B', 'C'), "&Copy"},
    {fc('B', 'D'), "&Delete Inside"},
    {fc('B', 'U'), "Delete O&utside"},
    {fc('B', 'H'), "&Hilight Mismatches"},
    {fc('B', 'B'), "&Build Component"},
    {fc('B', 'N'), "&Nest Component"},
    kSeparator,
    {fc('B', 'F'), "&Flood Fill"},
    {fc('B', 'T'), "&Track Isolation"},
    {fc('B', 'O'), "Isolation &Output"},
    kSeparator,
    {fc('B', 'L'), "&Layers"},
    {fc('B', 'R'), "&Rotate/Scale/Mirror"},
};
constexpr MenuItem kNetsMenu[] = {
    {fc('N', 'I'), "Netlist &In"},
    {fc('N', 'O'), "Netlist &Out"},
    {fc('N', 'P'), "&Pinlist Out"},
    {fc('N', 'R'), "&Rat-nest"},
    {fc('N', 'L'), "Rat-&Line"},
    kSeparator,
    {fc('N', 'U'), "&Un-ratnest"},
    {fc('N', 'H'), "&Hilight Net"},
    {fc('N', 'N'), "&Name Net"},
    {fc('N', 'M'), "I&mage"},
    kSeparator,
    {fc('N', 'C'), "&Clear Hilight"},
    kSeparator,
    {fc('N', 'S'), "Net &Scan"},
    {fc('N', '+'), "Net Scan &+"},
    {fc('N', '-'), "Net Scan &-"},
    {fc('N', 'G'), "Net Scan Lo&g"},
};
constexpr MenuItem kZoomMenu[] = {
    {fc('Z', 'I'), "&In [1.414x]"}, {fc('Z', 'O'), "&Out [.707x]"},
    {fc('Z', 'S'), "&Scale [dpi]"}, {fc('Z', 'R'), "&Re-draw"},
    {fc('Z', 'L'), "&Layer"},       {fc('Z', 'C'), "&Center"},
    {fc('Z', 'P'), "&Previous"},    kSeparator,
    {fc('Z', 'X'), "E&xtents"},     {fc('Z', 'W'), "&Window"},
};
constexpr MenuItem kHelpMenu[] = {
    {fc('?', 'O'), "Brief &Overview"},
    {fc('?', 'H'), "&Help"},
    {fc('?', 'M'), "&Manual"},
    {fc('?', 'T'), "How &To"},
    kSeparator,
    {fc('?', 'A'), "&About"},
};
constexpr MenuItem kMenuBar[] = {
    {fc('F', '.'), "&File", kFileMenu},  {fc('P', '.'), "&Place", kPlaceMenu},   {fc('G', '.'), "&Grab", kGrabMenu},
    {fc('E', '.'), "&Edit", kEditMenu},  {fc('D', '.'), "&Delete", kDeleteMenu}, {fc('Q', '.'), "&Query", kQueryMenu},
    {fc('U', '.'), "&Un-Do", kUnDoMenu}, {fc('S', '.'), "&Setup", kSetupMenu},   {fc('B', '.'), "&Block", kBlockMenu},
    {fc('N', '.'), "&Nets", kNetsMenu},  {fc('Z', '.'), "&Zoom", kZoomMenu},     {fc('?', '.'), "&?", kHelpMenu},
};

// The popup menus shown by the left button in TRELMO mode.
constexpr MenuItem kPopupPlaceSchematic[] = {
    {fc('P', 'S'), "&Signal Port"}, {fc('P', 'B'), "&Bus Port"},   {fc('P', '+'), "&+/- Port"},
    {fc('P', 'G'), "Signal &GND"},  {fc('P', 'H'), "Eart&h GND"},  {fc('P', 'M'), "Na&med GND"},
    {fc('P', 'N'), "Signal &Name"}, {fc('P', 'D'), "Signal &Dot"}, {fc('P', 'W'), "Signal &Wire"},
    {fc('P', 'I'), "Bus W&ire"},    {fc('P', 'C'), "&Component"},
};
constexpr MenuItem kPopupPlaceBoard[] = {
    {fc('P', 'L'), "&Line"},       {fc('P', 'O'), "&Ortho-line"}, {fc('P', 'E'), "V&ertex"},
    {fc('P', 'A'), "&Arc/circle"}, {fc('P', 'P'), "&Pad"},        {fc('P', 'V'), "&Via"},
    {fc('P', 'T'), "&Text"},       {fc('P', 'C'), "&Component"},  {fc('P', 'F'), "&Filled Solid"},
    {fc('P', 'R'), "A&rrowhead"},
};
constexpr MenuItem kPopupGrab[] = {
    {fc('G', 'L'), "&Line"},       {fc('G', 'E'), "V&ertex"},    {fc('G', 'A'), "&Arc edge"},
    {fc('G', 'G'), "Arc ori&gin"}, {fc('G', 'P'), "&Pad/via"},   {fc('G', 'T'), "&Text"},
    {fc('G', 'C'), "&Component"},  {fc('G', 'O'), "Comp &Only"}, {fc('G', 'F'), "&Filled Solid"},
    {fc('G', 'I'), "&Item"},
};
constexpr MenuItem kPopupEdit[] = {
    {fc('E', 'L'), "&Line"},        {fc('E', 'A'), "&Arc/circle"},      {fc('E', 'P'), "&Pad/via"},
    {fc('E', 'T'), "&Text data"},   {fc('E', 'X'), "Te&xt parameters"}, {fc('E', 'I'), "&Component"},
    {fc('E', 'R'), "Line to A&rc"}, {fc('E', 'S'), "&Snap Item"},
};
constexpr MenuItem kPopupDelete[] = {
    {fc('D', 'L'), "&Line"},       {fc('D', 'M'), "&Multi-line"},   {fc('D', 'E'), "V&ertex"},
    {fc('D', 'A'), "&Arc/circle"}, {fc('D', 'P'), "&Pad/via"},      {fc('D', 'T'), "&Text"},
    {fc('D', 'C'), "&Component"},  {fc('D', 'F'), "&Filled Solid"},
};
constexpr MenuItem kPopupUndo[] = {
    {fc('U', 'U'), "&Un-Do Single Event"},
    {fc('U', 'A'), "Un-Do &All Events"},
    {fc('U', 'E'), "Re-Do Single &Event"},
    {fc('U', 'R'), "&Re-Do All Events"},
};
constexpr MenuItem kPopupZoom[] = {
    {fc('Z', 'I'), "&In [1.414x]"}, {fc('Z', 'O'), "&Out [.707x]"}, {fc('Z', 'R'), "&Re-draw"},
    {fc('Z', 'L'), "&Layer"},       {fc('Z', 'C'), "&Center"},      {fc('Z', 'X'), "E&xtents"},
    {fc('Z', 'W'), "&Window"},
};
constexpr MenuItem kPopupSchematic[] = {
    {fc('P', '.'), "&Place", kPopupPlaceSchematic},
    {fc('G', '.'), "&Grab", kPopupGrab},
    {fc('E', '.'), "&Edit", kPopupEdit},
    {fc('D', '.'), "&Delete", kPopupDelete},
    {fc('U', '.'), "&Un-Do", kPopupUndo},
    {fc('Z', '.'), "&Zoom", kPopupZoom},
    {kEscapeToWindows, "<E&scape>"},
};
constexpr MenuItem kPopupBoard[] = {
    {fc('P', '.'), "&Place", kPopupPlaceBoard},
    {fc('G', '.'), "&Grab", kPopupGrab},
    {fc('E', '.'), "&Edit", kPopupEdit},
    {fc('D', '.'), "&Delete", kPopupDelete},
    {fc('U', '.'), "&Un-Do", kPopupUndo},
    {fc('Z', '.'), "&Zoom", kPopupZoom},
    {kEscapeToWindows, "<E&scape>"},
};

}  // namespace

std::span<const MenuItem> menuBar() { return kMenuBar; }

std::span<const MenuItem> popupMenu(int which) {
  if (which == 0) return kPopupSchematic;
  return kPopupBoard;
}

const MenuItem* findMenuItem(std::span<const MenuItem> menu, uint16_t code) {
  for (const MenuItem& item : menu) {
    if (item.separator()) continue;
    if (item.code == code && !item.isSubmenu()) return &item;
    if (item.isSubmenu())
      if (const MenuItem* found = findMenuItem(item.submenu, code)) return found;
  }
  return nullptr;
}

}  // namespace trelmo
