#include "shell/help_registration.h"

#include <utility>

#include "platform/executable_path.h"

namespace shell {
namespace {

// The executable's folder with its separator, ready to take a file name.
std::string ProgramFolder() {
#ifdef _WIN32
  constexpr char kSeparator = '\\';
#else
  constexpr char kSeparator = '/';
#endif
  std::string folder = platform::ExecutableFolder();
  if (!folder.empty() && folder.back() != '/' && folder.back() != '\\') {
    folder += kSeparator;
  }
  return folder;
}

}  // namespace

HtmlHelpRegistration::HtmlHelpRegistration()
    : HtmlHelpRegistration(ApplicationHelpSystem(),
                           platform::HtmlHelpLibrary::Load(), ProgramFolder()) {
}

HtmlHelpRegistration::HtmlHelpRegistration(
    HelpSystem& system, std::unique_ptr<platform::HtmlHelpLibrary> library,
    std::string program_folder)
    : system_(system) {
  HelpSystem* help_system = &system;
  viewer_ = std::make_unique<HtmlHelpViewer>(
      std::move(library),
      [help_system] { return help_system->application_help_file(); },
      std::move(program_folder));
  viewer_->AttachHelpManager(system.RegisterViewer(viewer_.get()));
  system.SetHelpSelector(viewer_.get());
  system.SetWinHelpTester(&tester_);
}

HtmlHelpRegistration::~HtmlHelpRegistration() {
  // A help system that ended first has shut the viewer down already and
  // must not be touched.
  if (!viewer_->HoldsHelpManager()) return;
  viewer_->ReleaseHelpManager();
  if (system_.help_selector() == viewer_.get()) {
    system_.SetHelpSelector(nullptr);
  }
  if (system_.win_help_tester() == &tester_) system_.SetWinHelpTester(nullptr);
}

}  // namespace shell
