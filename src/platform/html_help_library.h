#pragma once

// The HTML Help library "HHCtrl.ocx" and its entry point "HtmlHelpA", loaded
// at run time. On Windows it is the real library; elsewhere a stand-in opens
// the help file with a CHM viewer when one is installed.

#include <cstdint>
#include <functional>
#include <memory>

namespace platform {

// Command numbers of the published HTML Help interface.
inline constexpr unsigned kHhDisplayTopic = 0;
inline constexpr unsigned kHhDisplayToc = 1;
inline constexpr unsigned kHhDisplayIndex = 2;
inline constexpr unsigned kHhHelpContext = 15;
inline constexpr unsigned kHhCloseAll = 18;

// HtmlHelpA(owner window, file, command, data). `file` may be null
// (HH_CLOSE_ALL); for HH_DISPLAY_INDEX `data` points to a keyword text. The
// result is the help window's handle, or 0.
using HtmlHelpEntryPoint =
    std::function<std::uintptr_t(std::uintptr_t owner, const char* file,
                                 unsigned command, std::uintptr_t data)>;

class HtmlHelpLibrary {
 public:
  // Loads "HHCtrl.ocx" and looks up "HtmlHelpA". Never fails: when the
  // library or the function is missing, the result has no entry point.
  static std::unique_ptr<HtmlHelpLibrary> Load();

  // A library whose entry point is given; an empty one means "missing".
  // Tests record the calls through it.
  explicit HtmlHelpLibrary(HtmlHelpEntryPoint entry_point);
  HtmlHelpLibrary(const HtmlHelpLibrary&) = delete;
  HtmlHelpLibrary& operator=(const HtmlHelpLibrary&) = delete;
  // Forgets the entry point, then unloads the library.
  virtual ~HtmlHelpLibrary();

  bool HasEntryPoint() const { return static_cast<bool>(entry_point_); }

  // REQUIRES: HasEntryPoint().
  std::uintptr_t HtmlHelp(std::uintptr_t owner, const char* file,
                          unsigned command, std::uintptr_t data) const {
    return entry_point_(owner, file, command, data);
  }

 protected:
  void ForgetEntryPoint() { entry_point_ = nullptr; }

 private:
  HtmlHelpEntryPoint entry_point_;
};

}  // namespace platform
