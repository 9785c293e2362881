// The writer every ".LOG" file of the program goes through: the net scan
// error log, the netlist input log and the autorouter's statistics. The log
// lies beside the design file (its path with the extension ".LOG"), starts
// with a title line (title, design file name centred, date at the right
// edge), and each line is written without trailing blanks and ended by CR
// LF. With "Display Logs" on, the lines are also kept in ctx.nets.log for
// the viewer window, which the front end shows and scrolls as they come.
// The file is written beside its target and put in place when closed, so a
// failed log never costs the previous one.
#pragma once
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace trelmo {

struct Context;
class SafeFile;

// Net log lines: source signal at column 0, target at 24, message at 48.
std::string logColumns(std::string_view source, std::string_view target, std::string_view message);

class LogWriter {
 public:
  explicit LogWriter(Context& ctx);
  ~LogWriter();
  LogWriter(const LogWriter&) = delete;
  LogWriter& operator=(const LogWriter&) = delete;

  // The log of the current design file ("" for `path`), the file `path`, or
  // standard output ("-"). False when the log would be the active file
  // itself (nothing happens), or when the file cannot be created (the
  // "File Open Error" box is shown; lines written go nowhere).
  bool open(std::string_view title, int width, const std::string& path = {});
  void line(std::string_view text);
  // Puts the file in place; false when it could not be written whole.
  bool close();
  bool isOpen() const { return out_ != nullptr || file_ != nullptr; }
  const std::string& path() const { return path_; }

  // The date in the title line, "MM/DD/YY"; empty means today.
  std::string date;
  // The log path of a design file: its extension replaced by ".LOG".
  static std::string pathFor(const std::string& designPath);

 private:
  void emit(const std::string& text);
  Context& ctx_;
  std::string path_;
  std::unique_ptr<SafeFile> file_;
  std::FILE* out_ = nullptr;  // standard output
  bool view_ = false;
};

}  // namespace trelmo
