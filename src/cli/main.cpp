// trelmo-cli: the editor's core, driven from the command line.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/commands.h"

namespace {

const char* kUsage =
    "Usage:\n"
    "  trelmo-cli --help | --version\n"
    "  trelmo-cli info FILE [--hint C] [SCRIPT]\n"
    "  trelmo-cli convert IN OUT [--hint C] [SCRIPT]\n"
    "  trelmo-cli render IN -o OUT.png [--size WxH] [--bpp 8|16|24|32] [--window X1,Y1,X2,Y2] [--layer N]\n"
    "                    [--hint C] [SCRIPT]\n"
    "  trelmo-cli run IN [--macro TEXT | --macro-file F] [-o OUT] [SCRIPT]\n"
    "  trelmo-cli plot IN -o OUT --kind hpgl|ps|pdf|bmp|pcl [--dpi N] [--depth N] [--layers LIST]\n"
    "                  [--mirror] [--negative]\n"
    "  trelmo-cli gerber IN -o FOLDER [--layers LIST]\n"
    "  trelmo-cli import-gerbers FOLDER -o BOARD.pcb [SCRIPT]\n"
    "  trelmo-cli dialogs [BOX]...\n"
    "  trelmo-cli drc FILE [-o LOG] [--hint C] [SCRIPT]   net scan log (stdout by default);\n"
    "                    exit 3 when faults were found\n"
    "  trelmo-cli ratsnest IN -o OUT [--hint C] [SCRIPT]  rat-nest added, saved as version 4\n"
    "  trelmo-cli picture IN -o OUT [--rectify PAIRS.txt] [--model bilinear|projective] [--rotate 90|180|270]\n"
    "                     [--mirror x|y] [--move DX,DY] [--hint C] [SCRIPT]\n"
    "  trelmo-cli netlist IN -o OUT [--format trelmo|bracketed] [--unconnected] [--hint C] [SCRIPT]\n"
    "                    signal names completed, netlist written; exit 3 when the design stops it\n"
    "  trelmo-cli bom IN -o OUT [--csv] [--ansi] [--hint C] [SCRIPT]   bill of materials\n"
    "  trelmo-cli pinlist IN -o OUT [--wires] [--hint C] [SCRIPT]       pin list (or wire list)\n"
    "\n"
    "SCRIPT answers what the editor would ask, each option repeatable:\n"
    "  --answer yes|no|cancel        the next question\n"
    "  --dialog BOX.FIELD=VALUE      FIELD of every box BOX that opens (BOX=cancel: Escape)\n"
    "  --file PATH                   the next file-open or file-save box\n"
    "Hint letters (File Open's type list): G Gerber, I Excellon, X DXF, H HPGL,\n"
    "Z text view, @ hexdump view.\n"
    "Exit status: 0 done, 1 a file could not be read or written, 2 usage error, 3 faults found (drc, netlist).\n";

using Command = int (*)(const std::vector<std::string>&);

Command commandNamed(const std::string& name) {
  if (name == "info") return trelmo::cli::info;
  if (name == "convert") return trelmo::cli::convert;
  if (name == "render") return trelmo::cli::render;
  if (name == "run") return trelmo::cli::run;
  if (name == "plot") return trelmo::cli::plot;
  if (name == "gerber") return trelmo::cli::gerber;
  if (name == "import-gerbers") return trelmo::cli::importGerbers;
  if (name == "dialogs") return trelmo::cli::dialogs;
  if (name == "drc") return trelmo::cli::drc;
  if (name == "ratsnest") return trelmo::cli::ratsnest;
  if (name == "picture") return trelmo::cli::picture;
  if (name == "netlist") return trelmo::cli::netlist;
  if (name == "bom") return trelmo::cli::bom;
  if (name == "pinlist") return trelmo::cli::pinlist;
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const std::string& cmd = args[0];
  if (cmd == "--help" || cmd == "-h") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (cmd == "--version") {
    std::printf("trelmo-cli %s\n", TRELMO_VERSION);
    return 0;
  }
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  const auto command = commandNamed(cmd);
  if (!command) {
    std::fprintf(stderr, "trelmo-cli: unknown command '%s'\n%s", cmd.c_str(), kUsage);
    return 2;
  }
  try {
    return command(rest);
  } catch (const trelmo::cli::ScriptError& e) {
    std::fputs(e.what(), stderr);
    return trelmo::cli::kUsageError;
  }
}
