#pragma once

// The application's help system: the F1 key and the button "F1 AYUDA" come
// here, and it hands each request to a registered help viewer. Its own
// WinHelp viewer is registered first; the HTML help viewer, registered at
// program start (help_registration.h), is chosen through its selector and
// the WinHelp tester.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "shell/help_interfaces.h"

namespace shell {

// The application's help file, set at start and by the button "F1 AYUDA".
inline constexpr char kApplicationHelpFile[] = "ZELMAR.chm";

class WinHelpViewer;

class HelpSystem : public IHelpManager {
 public:
  HelpSystem();
  HelpSystem(const HelpSystem&) = delete;
  HelpSystem& operator=(const HelpSystem&) = delete;
  // Shuts down every viewer still registered.
  ~HelpSystem() override;

  // Adds a viewer after those already there, gives it its ID (NotifyID) and
  // returns the manager the viewer talks to.
  // REQUIRES: the viewer stays alive until it is released or the system ends.
  IHelpManager* RegisterViewer(ICustomHelpViewer* viewer);
  void SetHelpSelector(IHelpSelector* selector) { help_selector_ = selector; }
  IHelpSelector* help_selector() const { return help_selector_; }
  void SetWinHelpTester(IWinHelpTester* tester) { win_help_tester_ = tester; }
  IWinHelpTester* win_help_tester() const { return win_help_tester_; }

  void SetOwnerWindow(std::uintptr_t window) { owner_window_ = window; }
  void SetApplicationHelpFile(std::string file);
  const std::string& application_help_file() const {
    return application_help_file_;
  }
  std::vector<std::string> ViewerNames() const;

  // Requests. When no viewer takes one, nothing happens.
  // The contents: the one viewer that can show them, or the selector's
  // choice among several.
  void ShowTableOfContents();
  // The first viewer that understands the context shows it.
  void ShowContextHelp(int context, const std::string& help_file);
  // The keyword: the one viewer that understands it, or the viewer of the
  // help string the selector picks among several.
  void ShowHelp(const std::string& keyword);
  // The first viewer that understands the topic shows it.
  void ShowTopicHelp(const std::string& topic);

  // IHelpManager
  std::uintptr_t GetHandle() override { return owner_window_; }
  std::string GetHelpFile() override { return request_help_file_; }
  void Release(int viewer_id) override;

 private:
  struct Registered {
    int id;
    ICustomHelpViewer* viewer;
  };

  std::unique_ptr<WinHelpViewer> win_help_viewer_;
  std::vector<Registered> viewers_;
  int next_id_ = 0;
  IHelpSelector* help_selector_ = nullptr;
  IWinHelpTester* win_help_tester_ = nullptr;
  std::uintptr_t owner_window_ = 0;
  std::string application_help_file_;
  std::string request_help_file_;  // the file of the context request running
};

// The one help system of the program.
HelpSystem& ApplicationHelpSystem();

// The application's help file (main sets kApplicationHelpFile).
void SetApplicationHelpFile(const std::string& file);
// The window that owns help windows (the transfer window's native handle).
void SetHelpOwnerWindow(std::uintptr_t window);

// Button1Click: sets the application's help file to "ZELMAR.chm" and shows
// its table of contents.
void ShowHelpContents();
// F1: one help context of the application's help file (the window uses 1).
void ShowHelpContext(int context);

}  // namespace shell
