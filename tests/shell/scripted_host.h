// A host that answers from a script and records what the editor showed.
#pragma once
#include <stdlib.h>
#include <unistd.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "context.h"

namespace trelmo::testing {

class ScriptedHost : public Host {
 public:
  struct Asked {
    std::string title, text;
    Buttons buttons;
  };
  std::deque<Answer> answers;                          // default when empty: the affirmative answer
  std::deque<std::function<bool(FileDialog&)>> files;  // empty: cancelled
  std::function<bool(DialogBox&)> dialog = [](DialogBox&) { return true; };
  std::map<std::string, std::string> settings;

  std::vector<Asked> questions;
  std::vector<std::pair<std::string, std::string>> boxes;
  std::vector<Sound> sounds;
  std::vector<std::string> status;
  std::vector<std::string> dialogs;  // names of the boxes run
  std::vector<std::string> events;
  std::string title;
  int redraws = 0;
  bool quitCalled = false;

  void messageBox(const std::string& t, const std::string& text) override { boxes.emplace_back(t, text); }
  Answer question(const std::string& t, const std::string& text, Buttons b) override {
    questions.push_back({t, text, b});
    if (answers.empty()) return b == Buttons::OkCancel ? Answer::Ok : Answer::Yes;
    const Answer a = answers.front();
    answers.pop_front();
    return a;
  }
  bool runDialog(DialogBox& box) override {
    dialogs.push_back(box.name);
    return dialog(box);
  }
  void statusText(const std::string& text) override { status.push_back(text); }
  void sound(Sound s) override { sounds.push_back(s); }
  void eventSound(const std::string& e) override { events.push_back(e); }
  void setTitle(const std::string& t) override { title = t; }
  std::string readSetting(const std::string& name) override {
    auto it = settings.find(name);
    return it == settings.end() ? std::string() : it->second;
  }
  void writeSetting(const std::string& name, const std::string& value) override { settings[name] = value; }
  void deleteSetting(const std::string& name) override { settings.erase(name); }
  bool chooseFile(FileDialog& d) override {
    if (files.empty()) return false;
    auto f = files.front();
    files.pop_front();
    return f(d);
  }
  void redrawView() override { ++redraws; }
  void quit() override { quitCalled = true; }

  // Answers the next file box with this path.
  void pickFile(const std::string& path, int filterIndex = 0) {
    files.push_back([path, filterIndex](FileDialog& d) {
      d.fileName = path;
      if (filterIndex) d.filterIndex = filterIndex;
      return true;
    });
  }
  int count(Sound s) const {
    int n = 0;
    for (Sound x : sounds) n += x == s;
    return n;
  }
};

// A fresh folder under the system temporary folder, removed afterwards.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "trelmo-shell-XXXXXX").string();
    if (::mkdtemp(pattern.data())) path_ = pattern;
  }
  ~TempDir() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  std::string file(const std::string& name) const { return (path_ / name).string(); }
  // Copies an example design into the folder.
  std::string example(const std::string& name) const {
    std::filesystem::copy_file(std::string(TRELMO_EXAMPLES_DIR) + "/" + name, path_ / name);
    return file(name);
  }

 private:
  std::filesystem::path path_;
};

}  // namespace trelmo::testing
