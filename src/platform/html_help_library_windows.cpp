// The real HTML Help library, loaded at run time so that a machine without
// it still runs the program (help then does nothing).
#include <windows.h>

#include <string>

#include "platform/html_help_library.h"

namespace platform {
namespace {

using HtmlHelpAFunction = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);

class WindowsHtmlHelpLibrary : public HtmlHelpLibrary {
 public:
  WindowsHtmlHelpLibrary(HMODULE module, HtmlHelpAFunction function)
      : HtmlHelpLibrary(EntryPointFor(function)), module_(module) {}
  ~WindowsHtmlHelpLibrary() override {
    ForgetEntryPoint();
    if (module_ != nullptr) FreeLibrary(module_);
  }

 private:
  static HtmlHelpEntryPoint EntryPointFor(HtmlHelpAFunction function) {
    if (function == nullptr) return nullptr;
    return [function](std::uintptr_t owner, const char* file, unsigned command,
                      std::uintptr_t data) {
      HWND window = function(reinterpret_cast<HWND>(owner), file, command,
                             static_cast<DWORD_PTR>(data));
      return reinterpret_cast<std::uintptr_t>(window);
    };
  }

  HMODULE module_;
};

}  // namespace

std::unique_ptr<HtmlHelpLibrary> HtmlHelpLibrary::Load() {
  HMODULE module = LoadLibraryA("HHCtrl.ocx");
  HtmlHelpAFunction function = nullptr;
  if (module != nullptr) {
    // GetProcAddress returns a generic function pointer; the published
    // signature of HtmlHelpA is the one above.
    function = reinterpret_cast<HtmlHelpAFunction>(
        reinterpret_cast<void*>(GetProcAddress(module, "HtmlHelpA")));
  }
  return std::make_unique<WindowsHtmlHelpLibrary>(module, function);
}

}  // namespace platform
