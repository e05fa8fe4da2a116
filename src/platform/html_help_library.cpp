#include "platform/html_help_library.h"

#include <utility>

namespace platform {

HtmlHelpLibrary::HtmlHelpLibrary(HtmlHelpEntryPoint entry_point)
    : entry_point_(std::move(entry_point)) {}

HtmlHelpLibrary::~HtmlHelpLibrary() = default;

}  // namespace platform
