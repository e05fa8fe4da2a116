#include "platform/html_help_standin.h"

#include <string_view>

#include "platform/html_help_library.h"

namespace platform {
namespace {

// "C:\HELP\ZELMAR.chm::/intro.htm" -> file and topic. A file without "::"
// has an empty topic.
void SplitTopic(const std::string& text, std::string* file,
                std::string* topic) {
  const std::string::size_type mark = text.find("::");
  if (mark == std::string::npos) {
    *file = text;
    topic->clear();
    return;
  }
  *file = text.substr(0, mark);
  std::string_view rest = std::string_view(text).substr(mark + 2);
  if (!rest.empty() && rest.front() == '/') rest.remove_prefix(1);
  *topic = std::string(rest);
}

// The first of the two that is installed; `first` is the better choice.
const std::string& Prefer(const std::string& first, const std::string& second) {
  return first.empty() ? second : first;
}

}  // namespace

std::vector<std::string> ChmViewerCommand(const ChmViewers& viewers,
                                          const char* file, unsigned command,
                                          std::uintptr_t data) {
  if (!viewers.Any() || file == nullptr || *file == '\0') return {};
  const std::string& xchm = viewers.xchm;
  const std::string& kchm = viewers.kchmviewer;
  switch (command) {
    case kHhDisplayToc:
      return {Prefer(xchm, kchm), file};
    case kHhDisplayIndex: {
      const char* keyword = reinterpret_cast<const char*>(data);
      if (!kchm.empty() && keyword != nullptr && *keyword != '\0') {
        return {kchm, "-sindex", keyword, file};
      }
      return {Prefer(xchm, kchm), file};
    }
    case kHhDisplayTopic: {
      std::string chm, topic;
      SplitTopic(file, &chm, &topic);
      if (!kchm.empty() && !topic.empty()) {
        return {kchm, "-showPage", topic, chm};
      }
      return {Prefer(xchm, kchm), chm};
    }
    case kHhHelpContext:
      if (!xchm.empty()) return {xchm, "-c", std::to_string(data), file};
      return {kchm, file};
    default:
      return {};
  }
}

}  // namespace platform
