// A context with an open board, the input handlers installed and a host that
// records what the keys, buttons and macros asked of the screen.
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "context.h"
#include "database/design_files.h"
#include "shell/dispatch.h"
#include "shell/function_codes.h"
#include "shell/heartbeat.h"
#include "shell/input.h"
#include "shell/keys.h"
#include "shell/macro.h"
#include "shell/messages.h"

namespace trelmo::testing {

class InputHost : public Host {
 public:
  std::vector<Sound> sounds;
  std::vector<std::string> status;
  std::vector<std::string> questions;
  std::map<std::string, std::string> settings;
  std::vector<std::pair<char, char>> menus;
  Answer answer = Answer::Ok;
  int pendingKeyChecks = 0;  // discardPendingKeys reports keys this many times
  bool pointerHidden = false, menuBar = true;

  std::function<bool(DialogBox&)> dialog = [](DialogBox&) { return true; };
  bool runDialog(DialogBox& box) override { return dialog(box); }
  void sound(Sound s) override { sounds.push_back(s); }
  void statusText(const std::string& t) override { status.push_back(t); }
  Answer question(const std::string& title, const std::string& text, Buttons) override {
    questions.push_back(title + ": " + text);
    return answer;
  }
  std::string readSetting(const std::string& n) override { return settings.count(n) ? settings[n] : ""; }
  void writeSetting(const std::string& n, const std::string& v) override { settings[n] = v; }
  void deleteSetting(const std::string& n) override { settings.erase(n); }
  void setPointerShape(PointerShape s) override { pointerHidden = s == PointerShape::Hidden; }
  void attachMenuBar(bool on) override { menuBar = on; }
  void openMenuBarMenu(char family, char item) override { menus.emplace_back(family, item); }
  bool discardPendingKeys() override { return pendingKeyChecks > 0 && pendingKeyChecks--; }
  int count(Sound s) const {
    int n = 0;
    for (Sound x : sounds) n += x == s;
    return n;
  }
  bool showed(const std::string& text) const {
    for (const auto& s : status)
      if (s.find(text) != std::string::npos) return true;
    return false;
  }
};

class InputTest : public ::testing::Test {
 protected:
  InputHost host;
  Context ctx{host};
  // Function codes that reached the dispatcher, with their sources.
  std::vector<std::pair<std::string, int>> calls;
  std::vector<uint16_t> keys;  // what a recording key hook received

  void SetUp() override {
    loadMessageTable(ctx);
    installInputHandlers(ctx);
    ctx.shell.startupPhase = 3;
    newDesignFile(ctx, "board.pcb");
    for (const char* code : {"QA", "QB", "QC", "PL", "GM"}) track(code);
  }
  void track(const char* code) {
    registerFunction(ctx, fc(code[0], code[1]),
                     [this](Context&, uint16_t c, int source) { calls.emplace_back(codeName(c), source); });
  }
  void captureKeys() {
    ctx.shell.keyHook = [this](Context&, uint16_t k) { keys.push_back(k); };
  }
  void ticks(int n) {
    for (int i = 0; i < n; ++i) heartbeatTick(ctx);
  }
  std::vector<std::string> codes() const {
    std::vector<std::string> out;
    for (const auto& c : calls) out.push_back(c.first);
    return out;
  }
};

}  // namespace trelmo::testing
