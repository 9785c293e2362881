#include <cstdio>

#include "cli/commands.h"

namespace trelmo::cli {

namespace {
std::string oneLine(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c == '\n')
      out += "\\n";
    else if (c != '\r')
      out += c;
  }
  return out;
}

const char* answerName(Answer a) {
  switch (a) {
    case Answer::Ok:
      return "ok";
    case Answer::Cancel:
      return "cancel";
    case Answer::Yes:
      return "yes";
    case Answer::No:
      return "no";
  }
  return "?";
}
}  // namespace

void ReportingHost::messageBox(const std::string& title, const std::string& text) {
  std::fprintf(stderr, "box: %s: %s\n", title.c_str(), oneLine(text).c_str());
}

Answer ReportingHost::question(const std::string& title, const std::string& text, Buttons buttons) {
  Answer a = Host::question(title, text, buttons);
  if (nextAnswer < answers.size()) {
    const std::string& w = answers[nextAnswer++];
    const bool yesNo = buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel;
    if (w == "yes" || w == "ok")
      a = yesNo ? Answer::Yes : Answer::Ok;
    else if (w == "no")
      a = yesNo ? Answer::No : Answer::Cancel;
    else
      a = Answer::Cancel;
  }
  std::fprintf(stderr, "question: %s: %s -> %s\n", title.c_str(), oneLine(text).c_str(), answerName(a));
  return a;
}

void ReportingHost::statusText(const std::string& text) {
  if (!text.empty()) std::fprintf(stderr, "message: %s\n", oneLine(text).c_str());
}

void ReportingHost::sound(Sound s) {
  static const char* names[] = {"Tick", "Peep", "Beep", "Beop"};
  std::fprintf(stderr, "sound: %s\n", names[static_cast<int>(s)]);
}

bool ReportingHost::progress(int percent) {
  // Only whole steps of ten, so long reads do not flood the report.
  if (percent / 10 != lastProgress / 10 || percent == 100) {
    if (percent != lastProgress) std::fprintf(stderr, "progress: %d%%\n", percent);
  }
  lastProgress = percent;
  return false;
}

}  // namespace trelmo::cli
