// The trelmo-cli commands; each returns the process exit status.
#pragma once
#include <string>
#include <vector>

#include "context.h"

namespace trelmo::cli {

constexpr int kDone = 0, kFileError = 1, kUsageError = 2;

int info(const std::vector<std::string>& args);
int convert(const std::vector<std::string>& args);
int render(const std::vector<std::string>& args);
int run(const std::vector<std::string>& args);
int plot(const std::vector<std::string>& args);
int gerber(const std::vector<std::string>& args);

// Host that reports on stderr what the editor would show, one line each.
class ReportingHost : public Host {
 public:
  void messageBox(const std::string& title, const std::string& text) override;
  Answer question(const std::string& title, const std::string& text, Buttons buttons) override;
  void statusText(const std::string& text) override;
  void sound(Sound s) override;
  bool progress(int percent) override;
  std::vector<std::string> answers;  // --answer values in order
  size_t nextAnswer = 0;
  int lastProgress = -1;
};

// Parses "--hint C" out of args; false on a malformed hint.
bool takeHint(std::vector<std::string>& args, char& hint);
// Opens a file as the current design of ctx through the reader chain.
bool openDesign(Context& ctx, const std::string& path, char hint, char& format);

}  // namespace trelmo::cli
