#pragma once

// The user interface of the command-line program: messages and errors go to
// standard error, one per line, and there is no cursor, button or window to
// change. The export and the restore never show the control windows; the
// import answers them from its options.

#include <cstdio>
#include <string>

#include "shell/user_interface.h"

namespace cli {

class TerminalUi : public shell::UserInterface {
 public:
  void ShowMessage(const std::string& text) override {
    std::fprintf(stderr, "%s\n", text.c_str());
  }
  void ShowError(const std::string& text) override {
    std::fprintf(stderr, "%s\n", shell::ErrorBoxText(text).c_str());
  }
  void SetBusyCursor(bool) override {}
  void SetRunButtonsEnabled(bool) override {}
  void CloseWindow() override {}
  void ShowTeacherIdentityWindow() override {}
  void ShowPeriodTimesWindow() override {}
};

}  // namespace cli
