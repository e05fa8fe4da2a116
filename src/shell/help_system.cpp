#include "shell/help_system.h"

#include <algorithm>
#include <utility>

#include "shell/help_winhelp_viewer.h"

namespace shell {
namespace {

// Clears the manager's help file when a request ends, however it ends.
class RequestFile {
 public:
  RequestFile(std::string* slot, const std::string& file) : slot_(slot) {
    *slot_ = file;
  }
  ~RequestFile() { slot_->clear(); }
  RequestFile(const RequestFile&) = delete;
  RequestFile& operator=(const RequestFile&) = delete;

 private:
  std::string* slot_;
};

}  // namespace

HelpSystem::HelpSystem()
    : win_help_viewer_(std::make_unique<WinHelpViewer>(this)) {
  RegisterViewer(win_help_viewer_.get());
}

HelpSystem::~HelpSystem() {
  const std::vector<Registered> remaining = viewers_;
  viewers_.clear();
  for (const Registered& entry : remaining) entry.viewer->ShutDown();
}

IHelpManager* HelpSystem::RegisterViewer(ICustomHelpViewer* viewer) {
  const int id = ++next_id_;
  viewers_.push_back({id, viewer});
  viewer->NotifyID(id);
  return this;
}

void HelpSystem::SetApplicationHelpFile(std::string file) {
  application_help_file_ = std::move(file);
}

std::vector<std::string> HelpSystem::ViewerNames() const {
  std::vector<std::string> names;
  for (const Registered& entry : viewers_) {
    names.push_back(entry.viewer->GetViewerName());
  }
  return names;
}

void HelpSystem::Release(int viewer_id) {
  std::erase_if(viewers_, [viewer_id](const Registered& entry) {
    return entry.id == viewer_id;
  });
}

void HelpSystem::ShowTableOfContents() {
  std::vector<ICustomHelpViewer*> able;
  std::vector<std::string> names;
  for (const Registered& entry : viewers_) {
    if (!entry.viewer->CanShowTableOfContents()) continue;
    able.push_back(entry.viewer);
    names.push_back(entry.viewer->GetViewerName());
  }
  if (able.empty()) return;
  int chosen = 0;
  if (able.size() > 1 && help_selector_ != nullptr) {
    chosen = help_selector_->TableOfContents(names);
  }
  if (chosen < 0 || chosen >= static_cast<int>(able.size())) return;
  able[static_cast<std::size_t>(chosen)]->ShowTableOfContents();
}

void HelpSystem::ShowContextHelp(int context, const std::string& help_file) {
  RequestFile request(&request_help_file_, help_file);
  for (const Registered& entry : viewers_) {
    auto* extended = dynamic_cast<IExtendedHelpViewer*>(entry.viewer);
    if (extended != nullptr &&
        extended->UnderstandsContext(context, help_file)) {
      extended->DisplayHelpContext(context, help_file);
      return;
    }
  }
}

void HelpSystem::ShowHelp(const std::string& keyword) {
  std::vector<std::string> strings;
  std::vector<ICustomHelpViewer*> owners;  // the viewer of each string
  for (const Registered& entry : viewers_) {
    if (entry.viewer->UnderstandsKeyword(keyword) <= 0) continue;
    for (std::string& text : entry.viewer->GetHelpStrings(keyword)) {
      strings.push_back(std::move(text));
      owners.push_back(entry.viewer);
    }
  }
  if (owners.empty()) return;
  int chosen = 0;
  if (owners.size() > 1 && help_selector_ != nullptr) {
    chosen = help_selector_->SelectKeyword(strings);
  }
  if (chosen < 0 || chosen >= static_cast<int>(owners.size())) return;
  owners[static_cast<std::size_t>(chosen)]->ShowHelp(keyword);
}

void HelpSystem::ShowTopicHelp(const std::string& topic) {
  for (const Registered& entry : viewers_) {
    auto* extended = dynamic_cast<IExtendedHelpViewer*>(entry.viewer);
    if (extended != nullptr && extended->UnderstandsTopic(topic)) {
      extended->DisplayTopic(topic);
      return;
    }
  }
}

HelpSystem& ApplicationHelpSystem() {
  static HelpSystem system;
  return system;
}

void SetApplicationHelpFile(const std::string& file) {
  ApplicationHelpSystem().SetApplicationHelpFile(file);
}

void SetHelpOwnerWindow(std::uintptr_t window) {
  ApplicationHelpSystem().SetOwnerWindow(window);
}

void ShowHelpContents() {
  HelpSystem& system = ApplicationHelpSystem();
  system.SetApplicationHelpFile(kApplicationHelpFile);
  system.ShowTableOfContents();
}

void ShowHelpContext(int context) {
  HelpSystem& system = ApplicationHelpSystem();
  system.ShowContextHelp(context, system.application_help_file());
}

}  // namespace shell
