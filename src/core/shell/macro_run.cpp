#include <algorithm>

#include "context.h"
#include "shell/dispatch.h"
#include "shell/input.h"
#include "shell/input_state.h"
#include "shell/keys.h"
#include "shell/macro.h"

namespace trelmo {

namespace {

constexpr size_t kParameterValueMax = 255;
constexpr uint32_t kMaxRepeat = 65535;
constexpr const char* kPendingQuestion =
    "A keystroke macro function\nis in progress.  This operation\ncould take several moments\nto complete.\n\n"
    "Do you wish to continue?";

bool isBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isUpper(char c) { return c >= 'A' && c <= 'Z'; }
char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

// What a token asks the loop to do next.
enum class Next { Continue, Pause };

// A token is read whole (and the position moved past it) before it runs, so
// that a text started meanwhile begins cleanly at its start.
class Token {
 public:
  Token(Context& ctx) : ctx_(ctx), in_(ctx.input), t_(ctx.input.runText), p_(ctx.input.runPos) {}

  Next run() {
    if (t_[p_] == '<') {
      if (functionCode()) return Next::Continue;
      if (isDigit(at(1)) || (at(1) == '.' && isDigit(at(2)))) return delay();
      if (parameter()) return Next::Continue;
    }
    if (t_[p_] == '"') return typedString();
    return keyName();
  }

 private:
  char at(size_t i) const { return p_ + i < t_.size() ? t_[p_ + i] : '\0'; }
  bool sameText() const { return in_.runGeneration == generation_ && !ctx_.shell.quitting; }

  bool functionCode() {
    const char a = at(1), b = at(2);
    if (!(a >= '?' && a <= 'z' && b >= 'A' && b <= 'z' && at(3) == '>')) return false;
    if (p_ + 4 < t_.size() && !isBlank(t_[p_ + 4])) return false;
    const uint16_t code = static_cast<uint16_t>((upper(a) << 8) | static_cast<uint8_t>(upper(b)));
    in_.runPos = p_ + 4;
    if (ctx_.shell.macroRecording) recordText(ctx_, t_.substr(p_, 4) + " ");
    executeFunction(ctx_, code, 0);
    return true;
  }

  Next delay() {
    size_t end = p_ + 1;
    while (end < t_.size() && t_[end] != '>' && !isBlank(t_[end])) ++end;
    const int32_t ticks = macroDelayTicks(std::string_view(t_).substr(p_ + 1, end - p_ - 1));
    in_.runPos = end < t_.size() && t_[end] == '>' ? end + 1 : end;
    if (ticks == 0) return Next::Continue;
    ctx_.shell.macroDelayTicks = ticks;
    return Next::Pause;
  }

  bool parameter() {
    const char a = upper(at(1)), b = upper(at(2));
    if (!isUpper(a) || !isUpper(b) || at(3) != '=') return false;
    const size_t start = p_ + 4;
    size_t end = t_.find('>', start);
    if (end == std::string::npos) end = t_.size();
    const std::string value = t_.substr(start, std::min(end - start, kParameterValueMax));
    in_.runPos = std::min(end + 1, t_.size());
    setFunctionParameter(ctx_, static_cast<uint16_t>((a << 8) | b), value);
    return true;
  }

  Next typedString() {
    std::string keys;
    size_t i = p_ + 1;
    while (i < t_.size() && static_cast<unsigned char>(t_[i]) >= ' ') {
      if (t_[i] == '"') {
        if (i + 1 < t_.size() && t_[i + 1] == '"') {
          keys += '"';
          i += 2;
          continue;
        }
        ++i;
        break;
      }
      keys += t_[i++];
    }
    in_.runPos = i;
    for (char c : keys) {
      if (!sameText() || !ctx_.shell.macroRunning) break;
      dispatchKey(ctx_, keyNameToCode(std::string_view(&c, 1)));
    }
    return Next::Continue;
  }

  Next keyName() {
    size_t i = p_;
    uint32_t count = 0;
    bool counted = false;
    while (i < t_.size() && isDigit(t_[i])) count = std::min(kMaxRepeat, count * 10 + (t_[i++] - '0'));
    if (i > p_ && i < t_.size() && !isBlank(t_[i]))
      counted = true;
    else
      i = p_;
    size_t end = i;
    while (end < t_.size() && !isBlank(t_[end])) ++end;
    const uint16_t key = keyNameToCode(std::string_view(t_).substr(i, std::min<size_t>(end - i, 6)));
    in_.runPos = end;
    if (!counted) count = 1;
    for (uint32_t n = 0; n < count && key; ++n) {
      if (!sameText() || !ctx_.shell.macroRunning) break;
      dispatchKey(ctx_, key);
    }
    return Next::Continue;
  }

  Context& ctx_;
  InputState& in_;
  const std::string t_;  // a copy: the text may be replaced while this token runs
  const size_t p_;
  const uint32_t generation_ = in_.runGeneration;
};

// Every so many tokens: keys typed meanwhile ask whether to go on.
bool keepGoing(Context& ctx) {
  if (!ctx.host->discardPendingKeys()) return true;
  suspendForDialog(ctx, true);
  const Answer a = ctx.host->question("TRELMO'98", kPendingQuestion, Buttons::OkCancel);
  suspendForDialog(ctx, false);
  ctx.host->discardPendingKeys();
  return affirmative(a);
}

void finish(Context& ctx) {
  ctx.input.runPos = 0;
  ctx.input.runText.clear();
  ctx.shell.macroRunning = false;
}

void runLoop(Context& ctx) {
  InputState& in = ctx.input;
  in.insideRunLoop = true;
  uint32_t tokens = 0;
  // File Exit, once accepted, ends the macro with the program.
  while (ctx.shell.macroRunning && !ctx.shell.quitting) {
    while (in.runPos < in.runText.size() && isBlank(in.runText[in.runPos])) ++in.runPos;
    if (in.runPos >= in.runText.size()) break;
    if (++tokens % kMacroCheckTokens == 0 && !keepGoing(ctx)) break;
    const size_t before = in.runPos;
    const uint32_t generation = in.runGeneration;
    if (Token(ctx).run() == Next::Pause) {
      in.insideRunLoop = false;
      return;
    }
    if (in.runGeneration == generation && in.runPos <= before) in.runPos = before + 1;  // always advance
  }
  in.insideRunLoop = false;
  finish(ctx);
}

}  // namespace

int32_t macroDelayTicks(std::string_view s) {
  uint64_t whole = 0, frac = 0, scale = 1;
  size_t i = 0;
  while (i < s.size() && isDigit(s[i])) whole = std::min<uint64_t>(whole * 10 + (s[i++] - '0'), 0x7FFF);
  if (i < s.size() && s[i] == '.')
    for (++i; i < s.size() && isDigit(s[i]) && scale < 100000000; ++i) frac = frac * 10 + (s[i] - '0'), scale *= 10;
  const uint64_t fixed = (whole << 16) + (frac << 16) / scale;
  return static_cast<int32_t>((fixed * 0x1234FE) >> 32);
}

void runMacroText(Context& ctx, std::string_view text) {
  InputState& in = ctx.input;
  in.runText = std::string(text.substr(0, kMacroRunMax));
  in.runPos = 0;
  ++in.runGeneration;
  if (ctx.shell.macroRunning && in.insideRunLoop) return;  // the running loop starts it over
  ctx.shell.macroDelayTicks = 0;
  ctx.shell.macroRunning = true;
  runLoop(ctx);
}

void resumeMacro(Context& ctx) {
  if (ctx.shell.macroRunning && !ctx.input.insideRunLoop) runLoop(ctx);
}

}  // namespace trelmo
