#pragma once

// A help library whose entry point records every call, for the help tests.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/html_help_library.h"

namespace help_test {

struct HtmlHelpCall {
  std::uintptr_t owner = 0;
  bool has_file = false;
  std::string file;
  unsigned command = 0;
  std::uintptr_t data = 0;
  std::string keyword;  // what `data` pointed to, for HH_DISPLAY_INDEX
};

inline std::unique_ptr<platform::HtmlHelpLibrary> RecordingLibrary(
    std::shared_ptr<std::vector<HtmlHelpCall>> calls) {
  return std::make_unique<platform::HtmlHelpLibrary>(
      [calls](std::uintptr_t owner, const char* file, unsigned command,
              std::uintptr_t data) -> std::uintptr_t {
        HtmlHelpCall call;
        call.owner = owner;
        call.has_file = file != nullptr;
        call.file = file != nullptr ? file : "";
        call.command = command;
        call.data = data;
        if (command == platform::kHhDisplayIndex && data != 0) {
          call.keyword = reinterpret_cast<const char*>(data);
        }
        calls->push_back(call);
        return 0;
      });
}

}  // namespace help_test
