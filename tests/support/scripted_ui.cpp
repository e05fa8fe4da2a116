#include "support/scripted_ui.h"

#include <algorithm>

namespace testing_support {

void ScriptedUi::ShowMessage(const std::string& text) {
  log.push_back({"message", text});
}

void ScriptedUi::ShowError(const std::string& text) {
  log.push_back({"error", text});
}

void ScriptedUi::SetBusyCursor(bool busy) {
  busy_ = busy;
  log.push_back({"busy", busy ? "1" : "0"});
}

void ScriptedUi::SetRunButtonsEnabled(bool enabled) {
  buttons_enabled_ = enabled;
  log.push_back({"buttons", enabled ? "1" : "0"});
}

void ScriptedUi::CloseWindow() {
  closed_ = true;
  log.push_back({"close", ""});
}

void ScriptedUi::ShowTeacherIdentityWindow() {
  log.push_back({"teachers", ""});
  RunNext(teacher_window_script);
}

void ScriptedUi::ShowPeriodTimesWindow() {
  log.push_back({"periods", ""});
  RunNext(period_window_script);
}

void ScriptedUi::RunNext(std::deque<Action>& script) {
  if (script.empty()) return;
  Action action = std::move(script.front());
  script.pop_front();
  if (action) action();
}

std::vector<std::string> ScriptedUi::Texts(const std::string& kind) const {
  std::vector<std::string> texts;
  for (const Call& call : log) {
    if (call.kind == kind) texts.push_back(call.text);
  }
  return texts;
}

std::vector<std::string> ScriptedUi::Messages() const {
  return Texts("message");
}

std::vector<std::string> ScriptedUi::Errors() const { return Texts("error"); }

int ScriptedUi::Count(const std::string& kind) const {
  return static_cast<int>(
      std::count_if(log.begin(), log.end(),
                    [&](const Call& call) { return call.kind == kind; }));
}

}  // namespace testing_support
