#pragma once

// A user interface for tests: it records every call in order and answers the
// two control windows with a script of actions, so a run can be driven end to
// end without a window and without timers.

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "shell/user_interface.h"

namespace testing_support {

class ScriptedUi : public shell::UserInterface {
 public:
  // One recorded call. `kind` is one of "message", "error", "busy", "buttons",
  // "close", "teachers", "periods"; `text` holds the message or error text,
  // or "1"/"0" for the busy cursor and the buttons.
  struct Call {
    std::string kind;
    std::string text;
    bool operator==(const Call& other) const = default;
  };
  using Action = std::function<void()>;

  // Every call, in order.
  std::vector<Call> log;

  // Actions run when a control window is shown, in order, one per showing.
  // When the script runs out the window is shown and closed untouched, as a
  // person pressing "Aceptar" at once would do.
  std::deque<Action> teacher_window_script;
  std::deque<Action> period_window_script;

  void ShowMessage(const std::string& text) override;
  void ShowError(const std::string& text) override;
  void SetBusyCursor(bool busy) override;
  void SetRunButtonsEnabled(bool enabled) override;
  void CloseWindow() override;
  void ShowTeacherIdentityWindow() override;
  void ShowPeriodTimesWindow() override;

  // Convenience views of the log.
  std::vector<std::string> Messages() const;  // texts of "message" calls
  std::vector<std::string> Errors() const;    // texts of "error" calls
  int Count(const std::string& kind) const;
  bool busy() const { return busy_; }
  bool buttons_enabled() const { return buttons_enabled_; }
  bool closed() const { return closed_; }

 private:
  std::vector<std::string> Texts(const std::string& kind) const;
  static void RunNext(std::deque<Action>& script);

  bool busy_ = false;
  bool buttons_enabled_ = true;
  bool closed_ = false;
};

}  // namespace testing_support
