// trelmo-cli run: a keystroke macro run headlessly over a design, through the
// same interpreter and dispatcher as the editor.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "edit/edit_functions.h"
#include "edit/grab.h"
#include "files/writer.h"
#include "flood/flood_functions.h"
#include "image/image_editor.h"
#include "image/image_functions.h"
#include "nets/net_functions.h"
#include "nets/netlist_in.h"
#include "output/output_functions.h"
#include "output/plot_worker.h"
#include "output/report_functions.h"
#include "router/router_functions.h"
#include "screen/redraw.h"
#include "screen/view.h"
#include "shell/dispatch.h"
#include "shell/function_codes.h"
#include "shell/heartbeat.h"
#include "shell/input.h"
#include "shell/macro.h"
#include "shell/messages.h"

namespace trelmo::cli {

namespace {

const char* kRunUsage =
    "Usage: trelmo-cli run IN [--macro TEXT | --macro-file F] [-o OUT]\n"
    "         [--answer yes|no|cancel]... [--dialog BOX.FIELD=VALUE | --dialog BOX=cancel]... [--file PATH]...\n"
    "IN may be -new-pcb or -new-sch to start from a new board or schematic.\n";

// A run of this many macro tokens is taken for a macro that never ends (one
// that runs itself): it is asked to stop as a key press in the editor would.
constexpr long kTokenChecksBeforeInterrupt = 1'000'000 / kMacroCheckTokens;
// Delays are waited out by ticking the heartbeat, up to an hour of ticks.
constexpr long kMaxTicks = 18L * 3600;

class RunHost : public ReportingHost {
 public:
  bool starting = false;  // -new-pcb / -new-sch: the FileNewBox takes newKind
  int newKind = 0;
  bool runDialog(DialogBox& box) override {
    if (!starting || box.name != "FileNewBox" || !box.field("kind")) return ReportingHost::runDialog(box);
    box.field("kind")->value = std::to_string(newKind);
    reportDialog(box, true);
    return true;
  }
  bool discardPendingKeys() override { return ++checks_ > kTokenChecksBeforeInterrupt; }
  Answer question(const std::string& title, const std::string& text, Buttons buttons) override {
    if (checks_ > kTokenChecksBeforeInterrupt) {
      std::fprintf(stderr, "question: %s: %s -> cancel\n", title.c_str(), "(macro interrupted)");
      return Answer::Cancel;
    }
    return ReportingHost::question(title, text, buttons);
  }

 private:
  long checks_ = 0;
};

struct RunOptions {
  std::string in, out, macro;
};

bool readText(const std::string& path, std::string& text) {
  std::ifstream f(path, std::ios::binary);
  if (!f) return false;
  std::ostringstream s;
  s << f.rdbuf();
  text = s.str();
  return true;
}

// 0 parsed, otherwise the exit status.
int parseRun(const std::vector<std::string>& args, RunOptions& o) {
  bool haveMacro = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == "--macro" && hasValue && !haveMacro) {
      o.macro = args[++i];
      haveMacro = true;
    } else if (a == "--macro-file" && hasValue && !haveMacro) {
      if (!readText(args[++i], o.macro)) {
        std::fprintf(stderr, "trelmo-cli: cannot read %s: %s\n", args[i].c_str(), std::strerror(errno));
        return kFileError;
      }
      haveMacro = true;
    } else if ((a == "-o" || a == "--output") && hasValue) {
      o.out = args[++i];
    } else if (o.in.empty() && (a.empty() || a[0] != '-' || a == "-new-pcb" || a == "-new-sch")) {
      o.in = a;
    } else {
      return kUsageError;
    }
  }
  return o.in.empty() ? kUsageError : 0;
}

bool startDesign(Context& ctx, RunHost& host, const std::string& in) {
  if (in == "-new-pcb" || in == "-new-sch") {
    host.newKind = in == "-new-pcb" ? 0 : 4;  // size A board or schematic
    host.starting = true;
    executeFunction(ctx, fc('F', 'W'), kFromKeys);
    host.starting = false;
    if (ctx.current != kNull) return true;
    std::fprintf(stderr, "trelmo-cli: cannot start a new file from the templates\n");
    return false;
  }
  char format = 0;
  if (!openDesign(ctx, in, 0, format)) return false;
  // The view the editor shows after opening, so that cursor keys and zooms
  // in a macro act alike in both.
  zoomExtents(ctx);
  return true;
}

void printWindow(const DialogBox& box) {
  std::string line = "window: " + box.name + ":";
  for (const DialogField& f : box.fields) line += " " + f.name + "=" + f.value + ";";
  std::fprintf(stderr, "%s\n", line.c_str());
}

std::string inches(int32_t v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.5f", v / 65536.0);
  return buf;
}

}  // namespace

int run(const std::vector<std::string>& argsIn) {
  std::vector<std::string> args = argsIn;
  RunHost host;
  RunOptions o;
  const int status = host.takeScript(args) ? parseRun(args, o) : kUsageError;
  if (status) {
    if (status == kUsageError) std::fputs(kRunUsage, stderr);
    return status;
  }
  Context ctx(host);
  loadMessageTable(ctx);
  installInputHandlers(ctx);
  installOutputFunctions(ctx);
  installEditFunctions(ctx);
  installNetFunctions(ctx);
  installReportFunctions(ctx);
  installNetlistInput(ctx);
  installRouterFunctions(ctx);
  installFloodFunctions(ctx);
  installImageFunctions(ctx);
  // The Query windows, as they open and are refreshed. The image editor
  // takes its settings (--dialog QueryImageBox.FIELD=VALUE) each time it opens.
  std::set<std::string> shown;
  ctx.edit.query.show = [&host, &shown](Context& c, const DialogBox& box) {
    printWindow(box);
    if (box.name != "QueryImageBox" || !shown.insert(box.name).second) return;
    DialogBox settings = box;
    if (host.runDialog(settings) && applyImageEditorBox(c, settings)) printWindow(imageEditorBox(c));
  };
  ctx.edit.query.close = [&shown](Context&, const std::string& name) { shown.erase(name); };
  ctx.shell.startupPhase = 3;
  if (!startDesign(ctx, host, o.in)) {
    host.reportUnused();
    return kFileError;
  }
  enterTrelmoMode(ctx);
  runMacroText(ctx, macroTextFromSetting(o.macro));
  for (long t = 0; ctx.shell.macroRunning && t < kMaxTicks; ++t) heartbeatTick(ctx);
  waitPlotWorker(ctx, false);  // a plot started by the macro finishes first
  std::fprintf(stderr, "cursor: %s,%s\n", inches(ctx.view.cursorX).c_str(), inches(ctx.view.cursorY).c_str());
  std::fprintf(stderr, "scale: %u dpi\n", static_cast<unsigned>((uint64_t{ctx.view.viewScale} * 65536) >> 32));
  host.reportUnused();
  if (o.out.empty()) return kDone;
  // What a macro left on the cursor goes back where it was: a grabbed item is
  // hidden and would be missing from the file.
  releaseGrabList(ctx);
  FileFailure why{"no design file is open"};
  if (ctx.current == kNull || !writeDesignFile(ctx, o.out, 'C', why)) {
    std::fprintf(stderr, "trelmo-cli: cannot write %s: %s\n", o.out.c_str(), why.reason.c_str());
    return kFileError;
  }
  return kDone;
}

}  // namespace trelmo::cli
