#pragma once

// The WinHelp tester installed with the HTML help viewer: it answers "no" to
// every question of the WinHelp viewer, so that every keyword, topic and
// context request goes to the HTML help file instead.

#include <string>
#include <vector>

#include "shell/help_interfaces.h"

namespace shell {

class HtmlHelpWinHelpTester : public IWinHelpTester {
 public:
  bool CanShowALink(const std::string& alink,
                    const std::string& help_file) override;
  bool CanShowTopic(const std::string& topic,
                    const std::string& help_file) override;
  bool CanShowContext(int context, const std::string& help_file) override;
  // One entry: ": " followed by the link.
  std::vector<std::string> GetHelpStrings(const std::string& alink) override;
  std::string GetHelpPath() override;
  std::string GetDefaultHelpFile(const std::string& name) override;
};

}  // namespace shell
