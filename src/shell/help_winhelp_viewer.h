#pragma once

// The help system's own WinHelp viewer. There is no WinHelp engine on the
// systems we run on, so it never shows anything; what matters is what it
// claims. Before it handles a request it asks the installed WinHelp tester;
// without a tester it claims every keyword, topic and context, as the
// framework's WinHelp viewer does, and so takes requests away from other
// viewers registered after it.

#include <string>
#include <vector>

#include "shell/help_interfaces.h"

namespace shell {

class HelpSystem;

inline constexpr char kWinHelpViewerName[] = "WinHelp";

class WinHelpViewer : public ICustomHelpViewer, public IExtendedHelpViewer {
 public:
  // REQUIRES: `system` outlives the viewer.
  explicit WinHelpViewer(HelpSystem* system) : system_(system) {}

  std::string GetViewerName() override { return kWinHelpViewerName; }
  int UnderstandsKeyword(const std::string& keyword) override;
  std::vector<std::string> GetHelpStrings(const std::string& keyword) override;
  bool CanShowTableOfContents() override { return true; }
  void ShowTableOfContents() override {}
  void ShowHelp(const std::string&) override {}
  void NotifyID(int) override {}
  void SoftShutDown() override {}
  void ShutDown() override {}

  bool UnderstandsTopic(const std::string& topic) override;
  void DisplayTopic(const std::string&) override {}
  bool UnderstandsContext(int context, const std::string& help_file) override;
  void DisplayHelpContext(int, const std::string&) override {}

 private:
  HelpSystem* system_;
};

}  // namespace shell
