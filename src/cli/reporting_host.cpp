#include <cstdio>
#include <filesystem>

#include "cli/commands.h"
#include "shell/dialog_catalogue.h"

namespace trelmo::cli {

namespace {

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

// Relative paths are taken from the current folder, as a file box gives
// whole paths.
std::string wholePath(const std::string& path) {
  std::error_code ec;
  const std::filesystem::path whole = std::filesystem::absolute(path, ec);
  return ec ? path : whole.lexically_normal().string();
}

bool takeDialog(const std::string& text, DialogSetting& setting) {
  if (!parseDialogSetting(text, setting)) {
    std::fprintf(stderr, "trelmo-cli: --dialog %s: expected BOX.FIELD=VALUE or BOX=cancel\n", text.c_str());
    return false;
  }
  if (!findDialogBox(setting.box)) {
    std::fprintf(stderr, "trelmo-cli: --dialog %s: there is no box called %s (trelmo-cli dialogs lists them)\n",
                 text.c_str(), setting.box.c_str());
    return false;
  }
  return true;
}

}  // namespace

bool ReportingHost::takeScript(std::vector<std::string>& args) {
  std::vector<std::string> rest;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool scripted = a == "--answer" || a == "--dialog" || a == "--file";
    if (!scripted) {
      rest.push_back(a);
      continue;
    }
    if (i + 1 >= args.size()) {
      std::fprintf(stderr, "trelmo-cli: %s needs a value\n", a.c_str());
      return false;
    }
    const std::string& value = args[++i];
    if (a == "--answer") {
      if (value != "yes" && value != "no" && value != "cancel") {
        std::fprintf(stderr, "trelmo-cli: --answer %s: expected yes, no or cancel\n", value.c_str());
        return false;
      }
      answers_.push_back(value);
    } else if (a == "--dialog") {
      ScriptedBox box{value, {}, false};
      if (!takeDialog(value, box.setting)) return false;
      boxes_.push_back(box);
    } else if (value.empty()) {
      std::fputs("trelmo-cli: --file needs a path\n", stderr);
      return false;
    } else {
      files_.push_back(wholePath(value));
    }
  }
  args = rest;
  return true;
}

void ReportingHost::reportUnused() const {
  for (size_t i = nextAnswer_; i < answers_.size(); ++i)
    std::fprintf(stderr, "unused: --answer %s\n", answers_[i].c_str());
  for (const ScriptedBox& b : boxes_)
    if (!b.used) std::fprintf(stderr, "unused: --dialog %s\n", b.text.c_str());
  for (size_t i = nextFile_; i < files_.size(); ++i) std::fprintf(stderr, "unused: --file %s\n", files_[i].c_str());
}

void ReportingHost::messageBox(const std::string& title, const std::string& text) {
  std::fprintf(stderr, "box: %s: %s\n", title.c_str(), oneLineText(text).c_str());
}

Answer ReportingHost::question(const std::string& title, const std::string& text, Buttons buttons) {
  Answer a = Host::question(title, text, buttons);
  if (nextAnswer_ < answers_.size()) {
    const std::string& w = answers_[nextAnswer_++];
    const bool yesNo = buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel;
    if (w == "yes" || w == "ok")
      a = yesNo ? Answer::Yes : Answer::Ok;
    else if (w == "no")
      a = yesNo ? Answer::No : Answer::Cancel;
    else
      a = Answer::Cancel;
  }
  std::fprintf(stderr, "question: %s: %s -> %s\n", title.c_str(), oneLineText(text).c_str(), answerName(a));
  return a;
}

// Every --dialog for the box applies, in order, each time it opens.
bool ReportingHost::runDialog(DialogBox& box) {
  bool accepted = true;
  for (ScriptedBox& b : boxes_) {
    if (b.setting.box != box.name) continue;
    b.used = true;
    std::string why;
    if (b.setting.cancel)
      accepted = false;
    else if (!setDialogField(box, b.setting.field, b.setting.value, why))
      throw ScriptError("trelmo-cli: --dialog " + b.text + ": " + why + "\n" + describeDialogBox(box));
  }
  reportDialog(box, accepted);
  return accepted;
}

void ReportingHost::reportDialog(const DialogBox& box, bool accepted) {
  const std::string values = dialogValues(box);
  std::fprintf(stderr, "dialog: %s:%s%s -> %s\n", box.name.c_str(), values.empty() ? "" : " ", values.c_str(),
               accepted ? "ok" : "cancel");
}

bool ReportingHost::chooseFile(FileDialog& dialog) {
  if (nextFile_ >= files_.size()) {
    std::fprintf(stderr, "file: %s -> cancel\n", dialog.title.c_str());
    return false;
  }
  dialog.fileName = files_[nextFile_++];
  std::fprintf(stderr, "file: %s -> %s\n", dialog.title.c_str(), dialog.fileName.c_str());
  return true;
}

void ReportingHost::statusText(const std::string& text) {
  if (!text.empty()) std::fprintf(stderr, "message: %s\n", oneLineText(text).c_str());
}

void ReportingHost::sound(Sound s) {
  static const char* names[] = {"Tick", "Peep", "Beep", "Beop"};
  std::fprintf(stderr, "sound: %s\n", names[static_cast<int>(s)]);
}

bool ReportingHost::progress(int percent) {
  // Only whole steps of ten, so long reads do not flood the report.
  if (percent / 10 != lastProgress_ / 10 || percent == 100) {
    if (percent != lastProgress_) std::fprintf(stderr, "progress: %d%%\n", percent);
  }
  lastProgress_ = percent;
  return false;
}

}  // namespace trelmo::cli
