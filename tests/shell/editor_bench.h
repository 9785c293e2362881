// An editor past its start-up, its data folder in a fresh folder, running
// functions as the menu bar does.
#pragma once
#include <fstream>
#include <iterator>
#include <string>

#include "scripted_host.h"
#include "shell/dispatch.h"
#include "shell/function_codes.h"

namespace trelmo::testing {

struct EditorBench {
  ScriptedHost host;
  Context ctx{host};
  TempDir dir;
  EditorBench() {
    ctx.paths.data = dir.file("data");
    ctx.shell.startupPhase = 3;
  }
  void run(char a, char b) { executeFunction(ctx, fc(a, b), kFromMenuBar); }
};

inline std::string readAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace trelmo::testing
