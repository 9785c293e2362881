// The host of the desktop editor: real message boxes and questions.
#pragma once
#include <QMainWindow>

#include "shell/host.h"

namespace trelmo::app {

class QtHost : public Host {
 public:
  QMainWindow* window = nullptr;
  void messageBox(const std::string& title, const std::string& text) override;
  Answer question(const std::string& title, const std::string& text, Buttons buttons) override;
  void setTitle(const std::string& title) override;
};

}  // namespace trelmo::app
