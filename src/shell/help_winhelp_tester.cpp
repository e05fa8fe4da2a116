#include "shell/help_winhelp_tester.h"

namespace shell {

bool HtmlHelpWinHelpTester::CanShowALink(const std::string&,
                                         const std::string&) {
  return false;
}

bool HtmlHelpWinHelpTester::CanShowTopic(const std::string&,
                                         const std::string&) {
  return false;
}

bool HtmlHelpWinHelpTester::CanShowContext(int, const std::string&) {
  return false;
}

std::vector<std::string> HtmlHelpWinHelpTester::GetHelpStrings(
    const std::string& alink) {
  return {": " + alink};
}

std::string HtmlHelpWinHelpTester::GetHelpPath() { return ""; }

std::string HtmlHelpWinHelpTester::GetDefaultHelpFile(const std::string&) {
  return "";
}

}  // namespace shell
