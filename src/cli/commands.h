// The trelmo-cli commands; each returns the process exit status.
#pragma once
#include <stdexcept>
#include <string>
#include <vector>

#include "context.h"
#include "shell/dialog_script.h"

namespace trelmo::cli {

constexpr int kDone = 0, kFileError = 1, kUsageError = 2;
// drc: the board has faults; netlist: the design stopped the netlist.
constexpr int kFaultsFound = 3;

int info(const std::vector<std::string>& args);
int convert(const std::vector<std::string>& args);
int render(const std::vector<std::string>& args);
int run(const std::vector<std::string>& args);
int plot(const std::vector<std::string>& args);
int gerber(const std::vector<std::string>& args);
int importGerbers(const std::vector<std::string>& args);
int dialogs(const std::vector<std::string>& args);
int drc(const std::vector<std::string>& args);
int ratsnest(const std::vector<std::string>& args);
int picture(const std::vector<std::string>& args);
int netlist(const std::vector<std::string>& args);
int bom(const std::vector<std::string>& args);
int pinlist(const std::vector<std::string>& args);

// A scripted value that does not fit the box it was given for: the command
// ends with exit status 2, the message says why and lists the box's fields.
struct ScriptError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Host that reports on stderr what the editor would show, one line each, and
// answers questions, dialog boxes and file boxes from the command line's
// --answer, --dialog and --file.
class ReportingHost : public Host {
 public:
  void messageBox(const std::string& title, const std::string& text) override;
  Answer question(const std::string& title, const std::string& text, Buttons buttons) override;
  bool runDialog(DialogBox& box) override;
  bool chooseFile(FileDialog& dialog) override;
  void statusText(const std::string& text) override;
  void sound(Sound s) override;
  bool progress(int percent) override;

  // Takes --answer, --dialog and --file with their values out of args; false
  // (the reason on stderr) for a malformed one or a box no function opens.
  bool takeScript(std::vector<std::string>& args);
  // "unused: --dialog ..." for each scripted answer nothing asked for.
  void reportUnused() const;

 protected:
  // "dialog: NAME: FIELD=VALUE; ... -> ok|cancel"
  static void reportDialog(const DialogBox& box, bool accepted);

 private:
  struct ScriptedBox {
    std::string text;  // as given after --dialog
    DialogSetting setting;
    bool used = false;
  };
  std::vector<std::string> answers_;  // --answer values in order
  size_t nextAnswer_ = 0;
  std::vector<ScriptedBox> boxes_;
  std::vector<std::string> files_;  // --file paths in order, made absolute
  size_t nextFile_ = 0;
  int lastProgress_ = -1;
};

// The options every command that opens a file takes.
constexpr const char* kScriptUsage =
    "[--answer yes|no|cancel]... [--dialog BOX.FIELD=VALUE | --dialog BOX=cancel]... [--file PATH]...";

// Parses "--hint C" out of args; false on a malformed hint.
bool takeHint(std::vector<std::string>& args, char& hint);
// Opens a file as the current design of ctx through the reader chain.
bool openDesign(Context& ctx, const std::string& path, char hint, char& format);
// The same, then the scripted answers that nothing asked for are reported.
bool openScripted(Context& ctx, ReportingHost& host, const std::string& path, char hint, char& format);

}  // namespace trelmo::cli
