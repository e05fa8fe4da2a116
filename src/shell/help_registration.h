#pragma once

// Registration of the HTML help viewer for the life of the program. main()
// makes one before the application is initialised and keeps it until the
// end:
//
//   shell::HtmlHelpRegistration html_help;  // first line of main
//   ... QApplication app(argc, argv);
//   shell::SetApplicationHelpFile(shell::kApplicationHelpFile);

#include <memory>
#include <string>

#include "platform/html_help_library.h"
#include "shell/help_system.h"
#include "shell/help_viewer.h"
#include "shell/help_winhelp_tester.h"

namespace shell {

class HtmlHelpRegistration {
 public:
  // Program start, once: creates the viewer on the loaded "HHCtrl.ocx",
  // registers it with the application's help system, makes it the help
  // selector and installs the WinHelp tester.
  HtmlHelpRegistration();
  // The same on a given help system, library and program folder (tests).
  HtmlHelpRegistration(HelpSystem& system,
                       std::unique_ptr<platform::HtmlHelpLibrary> library,
                       std::string program_folder);
  HtmlHelpRegistration(const HtmlHelpRegistration&) = delete;
  HtmlHelpRegistration& operator=(const HtmlHelpRegistration&) = delete;
  // Program end: when the viewer still holds the manager, it releases its
  // ID and the selector and tester slots are cleared (a help system that
  // ended first is left alone); then the library is unloaded.
  ~HtmlHelpRegistration();

  HtmlHelpViewer& viewer() { return *viewer_; }

 private:
  HelpSystem& system_;
  HtmlHelpWinHelpTester tester_;
  std::unique_ptr<HtmlHelpViewer> viewer_;
};

}  // namespace shell
