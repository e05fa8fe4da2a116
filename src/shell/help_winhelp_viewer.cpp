#include "shell/help_winhelp_viewer.h"

#include "shell/help_system.h"

namespace shell {

int WinHelpViewer::UnderstandsKeyword(const std::string& keyword) {
  IWinHelpTester* tester = system_->win_help_tester();
  if (tester == nullptr) return 1;
  return tester->CanShowALink(keyword, system_->GetHelpFile()) ? 1 : 0;
}

std::vector<std::string> WinHelpViewer::GetHelpStrings(
    const std::string& keyword) {
  IWinHelpTester* tester = system_->win_help_tester();
  if (tester == nullptr) return {GetViewerName() + ": " + keyword};
  return tester->GetHelpStrings(keyword);
}

bool WinHelpViewer::UnderstandsTopic(const std::string& topic) {
  IWinHelpTester* tester = system_->win_help_tester();
  return tester == nullptr ||
         tester->CanShowTopic(topic, system_->GetHelpFile());
}

bool WinHelpViewer::UnderstandsContext(int context,
                                       const std::string& help_file) {
  IWinHelpTester* tester = system_->win_help_tester();
  return tester == nullptr || tester->CanShowContext(context, help_file);
}

}  // namespace shell
