#pragma once

// The HTML help viewer: it plugs into the help system and turns each help
// request into one call of the HTML Help entry point "HtmlHelpA" on the
// compiled help file (ZELMAR.chm beside the executable). It is also the help
// system's selector, so requests go to it rather than to the WinHelp viewer.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/html_help_library.h"
#include "shell/help_interfaces.h"

namespace shell {

// The name the viewer reports and looks for in lists.
inline constexpr char kHtmlHelpViewerName[] = "TQVHtmlHelp";
inline constexpr char kDefaultTopicExtension[] = ".htm";

class HtmlHelpViewer : public ICustomHelpViewer,
                       public IExtendedHelpViewer,
                       public IHelpSelector {
 public:
  // `application_help_file` gives the application's current help file, the
  // fall-back when the manager has none; `program_folder` (ending in its
  // separator) goes in front of a help file without a folder.
  HtmlHelpViewer(std::unique_ptr<platform::HtmlHelpLibrary> library,
                 std::function<std::string()> application_help_file,
                 std::string program_folder);
  HtmlHelpViewer(const HtmlHelpViewer&) = delete;
  HtmlHelpViewer& operator=(const HtmlHelpViewer&) = delete;
  // Forgets the entry point and unloads the library.
  ~HtmlHelpViewer() override;

  // Keeps the manager received on registration.
  void AttachHelpManager(IHelpManager* manager) { help_manager_ = manager; }
  // Program end: when the viewer still holds the manager, asks it to release
  // the viewer ID and drops it.
  void ReleaseHelpManager();
  bool HoldsHelpManager() const { return help_manager_ != nullptr; }
  int viewer_id() const { return viewer_id_; }

  // ICustomHelpViewer
  std::string GetViewerName() override;
  int UnderstandsKeyword(const std::string& keyword) override;
  std::vector<std::string> GetHelpStrings(const std::string& keyword) override;
  bool CanShowTableOfContents() override;
  void ShowTableOfContents() override;
  void ShowHelp(const std::string& keyword) override;
  void NotifyID(int viewer_id) override;
  void SoftShutDown() override;
  // REQUIRES: called by the help manager as it ends (it forgets the viewer).
  void ShutDown() override;

  // IExtendedHelpViewer
  bool UnderstandsTopic(const std::string& topic) override;
  void DisplayTopic(const std::string& topic) override;
  bool UnderstandsContext(int context, const std::string& help_file) override;
  void DisplayHelpContext(int context, const std::string& help_file) override;

  // IHelpSelector
  int SelectKeyword(const std::vector<std::string>& help_strings) override;
  int TableOfContents(const std::vector<std::string>& viewer_names) override;

 private:
  // The help file of the current request, worked out afresh each time.
  std::string HelpFile();
  // One call of the entry point with the manager's window as owner; nothing
  // when the entry point is missing.
  void CallHtmlHelp(const std::string& file, unsigned command,
                    std::uintptr_t data);

  std::unique_ptr<platform::HtmlHelpLibrary> library_;
  std::function<std::string()> application_help_file_;
  std::string program_folder_;
  IHelpManager* help_manager_ = nullptr;
  int viewer_id_ = 0;
};

}  // namespace shell
