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
    "  trelmo-cli info FILE [--hint C]\n"
    "  trelmo-cli convert IN OUT [--hint C]\n"
    "  trelmo-cli render IN -o OUT.png [--size WxH] [--bpp 8|16|24|32] [--window X1,Y1,X2,Y2] [--layer N]\n"
    "  trelmo-cli run IN [--macro TEXT | --macro-file F] [--answer yes|no|cancel]... [-o OUT]\n"
    "  trelmo-cli plot IN -o OUT --kind hpgl|ps|pdf|bmp|pcl [--dpi N] [--depth N] [--layers LIST]\n"
    "                  [--mirror] [--negative]\n"
    "  trelmo-cli gerber IN -o FOLDER [--layers LIST]\n"
    "\n"
    "Hint letters (File Open's type list): G Gerber, I Excellon, X DXF, H HPGL,\n"
    "Z text view, @ hexdump view.\n"
    "Exit status: 0 done, 1 a file could not be read or written, 2 usage error.\n";

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
  std::vector<std::string> rest(args.begin() + 1, args.end());
  if (cmd == "info") return trelmo::cli::info(rest);
  if (cmd == "convert") return trelmo::cli::convert(rest);
  if (cmd == "render") return trelmo::cli::render(rest);
  if (cmd == "run") return trelmo::cli::run(rest);
  if (cmd == "plot") return trelmo::cli::plot(rest);
  if (cmd == "gerber") return trelmo::cli::gerber(rest);
  std::fprintf(stderr, "trelmo-cli: unknown command '%s'\n%s", cmd.c_str(), kUsage);
  return 2;
}
