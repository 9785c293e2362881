#include "context.h"
#include "shell/dispatch.h"
#include "shell/function_codes.h"
#include "shell/heartbeat.h"
#include "shell/input.h"
#include "shell/input_actions.h"
#include "shell/keys.h"
#include "shell/macro.h"
#include "shell/menu_state.h"
#include "shell/messages.h"

namespace trelmo {

namespace {

constexpr int kMessageNothingToEscape = 0x12C;
constexpr int32_t kPrefixDivider = 13;  // the menu opens about 5 ticks later
constexpr int32_t kCommandLineSeconds = 5;

bool blockDefined(const Context& ctx) {
  const auto& state = ctx.shell.hooks.blockState;
  return state && state(ctx) == static_cast<int>(BlockState::InCurrentFile);
}

void run(Context& ctx, const Hook& hook) {
  if (hook)
    hook(ctx);
  else
    ctx.host->sound(Sound::Beep);
}

// Opens a menu of the menu bar, leaving TRELMO mode for it.
void openMenuBar(Context& ctx, char family, char item) {
  if (ctx.shell.crossHairMode) suspendForMenu(ctx, 1);
  ctx.host->openMenuBarMenu(family, item);
}

void completePrefix(Context& ctx, uint16_t key) {
  ShellState& s = ctx.shell;
  char c = static_cast<char>(key & 0xFF);
  if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  const uint16_t code = static_cast<uint16_t>((s.menuPrefix << 8) | static_cast<uint8_t>(c));
  s.menuPrefix = 0;
  if (code == fc('F', 'R'))
    openMenuBar(ctx, 'F', 'R');
  else if (code == fc('S', 'I'))
    openMenuBar(ctx, 'S', 'I');
  else
    executeFunction(ctx, code, kFromKeys);
}

void startPrefix(Context& ctx, char letter) {
  ShellState& s = ctx.shell;
  s.menuPrefix = static_cast<unsigned char>(letter);
  s.secondDivider = kPrefixDivider;
  s.lastInputSource = kFromKeys;
  ctx.input.lengthBeforePrefix = ctx.input.lengthBeforeKey;
}

void spaceKey(Context& ctx) {
  if (ctx.shell.crossHairMode)
    suspendForMenu(ctx, 1);
  else
    enterTrelmoMode(ctx);
}

void enterKey(Context& ctx) {
  if (!ctx.shell.crossHairMode)
    enterTrelmoMode(ctx);
  else if (!acceptAction(ctx))
    ctx.host->sound(Sound::Beep);
}

void escapeKey(Context& ctx) {
  if (cancelAction(ctx)) return;
  if (!ctx.shell.windowsMode)
    leaveTrelmoMode(ctx, true);
  else
    showMessage(ctx, kMessageNothingToEscape);
}

void stepLayerKey(Context& ctx, int direction) {
  if (!stepLayer(ctx.params, direction)) return ctx.host->sound(Sound::Tick);
  ctx.host->redrawView();
  restoreStatusBar(ctx);
  ctx.shell.queryRefreshSeconds = 2;
}

void commandLineKey(Context& ctx) { showStatus(ctx, ctx.shell.commandLine, kCommandLineSeconds); }

void pasteKey(Context& ctx) {
  if (!ctx.input.hooks.paste || !ctx.input.hooks.paste(ctx)) ctx.host->sound(Sound::Beep);
}

// The cursor keys: one step unshifted, ten with Shift (the keypad digit
// forms), a hundred with Ctrl.
struct Move {
  uint16_t code;
  int dx, dy;
};
constexpr int kDiag[8][2] = {{0, 1}, {0, -1}, {-1, 0}, {1, 0}, {-1, 1}, {1, 1}, {-1, -1}, {1, -1}};
// Up, Down, Left, Right, Home, PgUp, End, PgDn in each form.
constexpr uint16_t kByOne[8] = {0x4800, 0x5000, 0x4B00, 0x4D00, 0x4700, 0x4900, 0x4F00, 0x5100};
constexpr uint16_t kByTen[8] = {0x4838, 0x5032, 0x4B34, 0x4D36, 0x4737, 0x4939, 0x4F31, 0x5133};
constexpr uint16_t kByHundred[8] = {0x8D00, 0x9100, 0x7300, 0x7400, 0x7700, 0x8400, 0x7500, 0x7600};

bool cursorKey(Context& ctx, uint16_t key) {
  for (int i = 0; i < 8; ++i) {
    int steps = 0;
    if (key == kByOne[i] || key == (kByOne[i] | 0xE0)) steps = 1;
    if (key == kByTen[i]) steps = 10;
    if (key == kByHundred[i] || key == (kByHundred[i] | 0xE0)) steps = 100;
    if (!steps) continue;
    moveCursorSteps(ctx, kDiag[i][0] * steps, kDiag[i][1] * steps);
    return true;
  }
  return false;
}

// Alt and Ctrl hot keys with their function codes.
struct HotKey {
  uint16_t key;
  uint16_t code;
  int source;
};
constexpr HotKey kHotKeys[] = {
    {0x2300, fc('N', 'S'), kFromMacro}, {0x3000, fc('B', 'G'), kFromMacro}, {0x2000, fc('F', 'D'), kFromKeys},
    {0x1200, fc('F', 'O'), kFromKeys},  {0x2200, fc('S', 'G'), kFromKeys},  {0x3100, fc('F', 'N'), kFromKeys},
    {0x1900, fc('F', 'P'), kFromKeys},  {0x1300, fc('S', 'P'), kFromKeys},  {0x1600, fc('U', 'U'), kFromMacro},
    {0x2F00, fc('S', 'W'), kFromKeys},  {0x1100, fc('F', 'S'), kFromKeys},  {0x2D00, fc('F', 'X'), kFromKeys},
    {0x8200, fc('F', 'V'), kFromKeys},  {0x4E00, fc('N', '+'), kFromMacro}, {0x4A00, fc('N', '-'), kFromMacro},
};

bool functionKey(Context& ctx, uint16_t key) {
  for (const HotKey& h : kHotKeys) {
    if (h.key != key) continue;
    executeFunction(ctx, h.code, h.source);
    return true;
  }
  return false;
}

bool otherKey(Context& ctx, uint16_t key) {
  switch (key) {
    case kKeySpace:
      spaceKey(ctx);
      return true;
    case kKeyEnter:
      enterKey(ctx);
      return true;
    case kKeyEscape:
      escapeKey(ctx);
      return true;
    case 0x2100:
      startPrefix(ctx, 'F');
      return true;  // Alt-F
    case 0x3200:
      run(ctx, ctx.input.hooks.swapImages);
      return true;
    case 0x1000:
      run(ctx, ctx.input.hooks.toggleQueryBoxes);
      return true;
    case 0x1011:
      commandLineKey(ctx);
      return true;  // Ctrl-Q
    case 0x2F16:
      pasteKey(ctx);
      return true;  // Ctrl-V
    case 0x4E2B:
      stepLayerKey(ctx, 1);
      return true;
    case 0x4A2D:
      stepLayerKey(ctx, -1);
      return true;
    default:
      return functionKey(ctx, key) || cursorKey(ctx, key);
  }
}

// Keys of the main block by their character: digits start a typed cursor
// position, family letters a two-letter code, the rest are hot keys.
bool characterKey(Context& ctx, uint16_t key) {
  const int scan = key >> 8;
  if (scan > 0x35) return false;  // not the main block (scan 0: a number typed with Alt)
  const char raw = static_cast<char>(key & 0xFF);
  if ((raw >= '0' && raw <= '9') || key == 0x0C2D || key == 0x0D2B) {
    startCursorEntry(ctx, key);
    return true;
  }
  const char c = raw >= 'a' && raw <= 'z' ? static_cast<char>(raw - 32) : raw;
  if (isFamily(c)) {
    startPrefix(ctx, c);
    return true;
  }
  const bool block = blockDefined(ctx);
  uint16_t code = 0;
  switch (c) {
    case 'A':
      code = block ? fc('B', 'R') : fc('G', 'N');
      break;
    case 'C':
      code = fc('Z', 'C');
      break;
    case 'H':
      code = fc('N', 'H');
      break;
    case 'I':
      code = fc('Z', 'I');
      break;
    case 'J':
      code = fc('N', 'M');
      break;
    case 'K':
      code = block ? fc('B', 'R') : fc('G', 'S');
      break;
    case 'L':
      code = fc('Z', 'L');
      break;
    case 'M':
      code = fc('G', 'M');
      break;
    case 'O':
      code = fc('Z', 'O');
      break;
    case 'R':
      if (block) {
        run(ctx, ctx.input.hooks.rotateBlock);
        return true;
      }
      code = fc('G', 'R');
      break;
    case 'T':
      code = fc('S', 'T');
      break;
    case 'W':
      code = fc('Z', 'W');
      break;
    case 'X':
      code = block ? fc('B', 'X') : fc('G', 'X');
      break;
    case 'Y':
      code = block ? fc('B', 'Y') : fc('G', 'Y');
      break;
    default:
      return false;
  }
  executeFunction(ctx, code, kFromMacro);
  return true;
}

void recordKey(Context& ctx, uint16_t key) {
  InputState& in = ctx.input;
  in.lengthBeforeKey = in.recording.size();
  const std::string name = keyCodeToName(key);
  if (!name.empty()) recordText(ctx, name + " ");
}

}  // namespace

void dispatchKey(Context& ctx, uint16_t key) {
  ShellState& s = ctx.shell;
  if (!key || runMacroKey(ctx, key)) return;
  if (s.macroRecording) recordKey(ctx, key);
  if (s.keyHook) {
    KeyHook hook = s.keyHook;  // the hook may remove itself
    hook(ctx, key);
    return;
  }
  if (s.menuPrefix) return completePrefix(ctx, key);
  if (!otherKey(ctx, key) && !characterKey(ctx, key)) ctx.host->sound(Sound::Beep);
}

void keyDown(Context& ctx, int scan) {
  ShellState& s = ctx.shell;
  noteUserInput(ctx);
  if (s.startupPhase < 1 || s.dialogSuspend) return;
  s.menuSuspend = 0;
  if (const uint16_t key = translateKey(ctx, scan, true)) dispatchKey(ctx, key);
}

void keyUp(Context& ctx, int scan) {
  ShellState& s = ctx.shell;
  noteUserInput(ctx);
  if (s.startupPhase < 1) return;
  const uint16_t key = translateKey(ctx, scan, false);
  if (key && !s.dialogSuspend) dispatchKey(ctx, key);
}

}  // namespace trelmo
