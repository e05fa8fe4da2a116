#include "shell/help_viewer.h"

#include <utility>

#include "platform/letter_case.h"
#include "shell/help_file.h"

namespace shell {

HtmlHelpViewer::HtmlHelpViewer(
    std::unique_ptr<platform::HtmlHelpLibrary> library,
    std::function<std::string()> application_help_file,
    std::string program_folder)
    : library_(std::move(library)),
      application_help_file_(std::move(application_help_file)),
      program_folder_(std::move(program_folder)) {}

HtmlHelpViewer::~HtmlHelpViewer() = default;

void HtmlHelpViewer::ReleaseHelpManager() {
  if (help_manager_ == nullptr) return;
  IHelpManager* manager = help_manager_;
  help_manager_ = nullptr;
  manager->Release(viewer_id_);
}

std::string HtmlHelpViewer::GetViewerName() { return kHtmlHelpViewerName; }

int HtmlHelpViewer::UnderstandsKeyword(const std::string&) {
  return IsHtmlHelpFile(HelpFile()) ? 1 : 0;
}

std::vector<std::string> HtmlHelpViewer::GetHelpStrings(
    const std::string& keyword) {
  return {GetViewerName() + ": " + keyword};
}

bool HtmlHelpViewer::CanShowTableOfContents() { return true; }

void HtmlHelpViewer::ShowTableOfContents() {
  const std::string file = HelpFile();
  if (IsHtmlHelpFile(file)) CallHtmlHelp(file, platform::kHhDisplayToc, 0);
}

void HtmlHelpViewer::ShowHelp(const std::string& keyword) {
  const std::string file = HelpFile();
  if (!IsHtmlHelpFile(file)) return;
  // The entry point reads the keyword during the call, so a local will do.
  const std::string term = IndexKeyword(keyword);
  CallHtmlHelp(file, platform::kHhDisplayIndex,
               reinterpret_cast<std::uintptr_t>(term.c_str()));
}

void HtmlHelpViewer::NotifyID(int viewer_id) { viewer_id_ = viewer_id; }

void HtmlHelpViewer::SoftShutDown() {
  if (library_ != nullptr && library_->HasEntryPoint()) {
    library_->HtmlHelp(0, nullptr, platform::kHhCloseAll, 0);
  }
}

void HtmlHelpViewer::ShutDown() {
  SoftShutDown();
  help_manager_ = nullptr;
}

bool HtmlHelpViewer::UnderstandsTopic(const std::string&) {
  return IsHtmlHelpFile(HelpFile());
}

void HtmlHelpViewer::DisplayTopic(const std::string& topic) {
  const std::string file = HelpFile();
  if (!IsHtmlHelpFile(file)) return;
  CallHtmlHelp(file + "::/" + TopicPage(topic), platform::kHhDisplayTopic, 0);
}

bool HtmlHelpViewer::UnderstandsContext(int, const std::string& help_file) {
  return IsHtmlHelpFile(help_file);
}

void HtmlHelpViewer::DisplayHelpContext(int context, const std::string&) {
  // The file comes from the manager and the application, like every other
  // request; the name given here only answered UnderstandsContext.
  const std::string file = HelpFile();
  if (!IsHtmlHelpFile(file)) return;
  CallHtmlHelp(file, platform::kHhHelpContext,
               static_cast<std::uintptr_t>(context));
}

int HtmlHelpViewer::SelectKeyword(
    const std::vector<std::string>& help_strings) {
  for (std::vector<std::string>::size_type i = 0; i < help_strings.size();
       ++i) {
    const std::string& entry = help_strings[i];
    if (entry.substr(0, entry.find(':')) == GetViewerName()) {
      return static_cast<int>(i);
    }
  }
  return 0;
}

int HtmlHelpViewer::TableOfContents(
    const std::vector<std::string>& viewer_names) {
  for (std::vector<std::string>::size_type i = 0; i < viewer_names.size();
       ++i) {
    if (platform::EqualIgnoringCase(viewer_names[i], GetViewerName())) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

std::string HtmlHelpViewer::HelpFile() {
  const std::string manager_file =
      help_manager_ != nullptr ? help_manager_->GetHelpFile() : "";
  const std::string application_file =
      application_help_file_ ? application_help_file_() : "";
  return ResolveHelpFile(manager_file, application_file, program_folder_);
}

void HtmlHelpViewer::CallHtmlHelp(const std::string& file, unsigned command,
                                  std::uintptr_t data) {
  if (library_ == nullptr || !library_->HasEntryPoint()) return;
  const std::uintptr_t owner =
      help_manager_ != nullptr ? help_manager_->GetHandle() : 0;
  library_->HtmlHelp(owner, file.c_str(), command, data);
}

}  // namespace shell
