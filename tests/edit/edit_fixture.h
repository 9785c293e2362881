// A context with the example board open and the editing functions installed.
#pragma once
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "context.h"
#include "database/rings.h"
#include "edit/edit_functions.h"
#include "edit/grab.h"
#include "edit/undo.h"
#include "files/writer.h"
#include "files/writer_safe_file.h"
#include "files/writer_version4.h"
#include "shell/dispatch.h"
#include "shell/file_functions.h"
#include "shell/function_codes.h"
#include "shell/messages.h"
#include "shell/scripted_host.h"

namespace trelmo::testing {

struct EditBoard {
  ScriptedHost host;
  Context ctx{host};
  TempDir dir;

  explicit EditBoard(const std::string& example = "demo.pcb") {
    loadMessageTable(ctx);
    installEditFunctions(ctx);
    ctx.shell.startupPhase = 3;
    if (!example.empty()) openFileByName(ctx, dir.example(example), 0);
  }

  // The current design as a version 4 file.
  std::string save() {
    const std::string path = dir.file("saved.pcb");
    if (!writeDesignFile(ctx, path, 'C')) return "(not written)";
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  // The same text without a file (designs below 64 KiB).
  std::string text() {
    SafeFile file(dir.file("memory.pcb"));
    writeVersion4(ctx, file, file.target());
    return file.failed() ? std::string("(failed)") : file.buffer();
  }

  // The item lines alone (the header keeps settings such as the active
  // layer, which grabs change and undo does not take back).
  std::string items() {
    const std::string t = text();
    return t.substr(t.find("Primary Data File:"));
  }

  void cursor(double x, double y) {
    ctx.view.cursorX = static_cast<int32_t>(x * 65536 + (x < 0 ? -0.5 : 0.5));
    ctx.view.cursorY = static_cast<int32_t>(y * 65536 + (y < 0 ? -0.5 : 0.5));
    if (ctx.shell.hooks.cursorMoved) ctx.shell.hooks.cursorMoved(ctx);
  }
  void run(char family, char member, int source = kFromMacro) { executeFunction(ctx, fc(family, member), source); }
  // Confirms every box with these field values (a button named "1").
  void answer(std::map<std::string, std::string> values) {
    host.dialog = [values](DialogBox& box) {
      for (const auto& [name, value] : values) {
        DialogField* f = box.field(name);
        EXPECT_NE(f, nullptr) << box.name << " has no field " << name;
        if (f) f->value = value;
      }
      return true;
    };
  }

  // The n-th free item of a type in the file's ring (0 = oldest).
  Handle freeItem(uint8_t type, int n = 0) {
    const Handle file = ctx.current;
    for (Handle h = ctx.rec(file).next; h != file; h = ctx.rec(h).next)
      if (ctx.rec(h).type() == type && n-- == 0) return h;
    return kNull;
  }
};

inline int32_t inches(double v) { return static_cast<int32_t>(v * 65536 + (v < 0 ? -0.5 : 0.5)); }

}  // namespace trelmo::testing
