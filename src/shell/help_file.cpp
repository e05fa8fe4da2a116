#include "shell/help_file.h"

#include <algorithm>
#include <cctype>

#include "platform/letter_case.h"

namespace shell {
namespace {

constexpr char kFolderMarks[] = "\\/:";

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return lower;
}

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

}  // namespace

std::string_view FileExtension(std::string_view name) {
  const std::string_view::size_type dot = name.find_last_of('.');
  if (dot == std::string_view::npos) return {};
  const std::string_view::size_type folder = name.find_last_of(kFolderMarks);
  if (folder != std::string_view::npos && folder > dot) return {};
  return name.substr(dot);
}

bool IsHtmlHelpFile(std::string_view name) {
  return platform::EqualIgnoringCase(FileExtension(name), ".chm");
}

bool HasFolderPart(std::string_view name) {
  return name.find_first_of(kFolderMarks) != std::string_view::npos;
}

std::string ResolveHelpFile(const std::string& manager_help_file,
                            const std::string& application_help_file,
                            const std::string& program_folder) {
  const std::string& file =
      manager_help_file.empty() ? application_help_file : manager_help_file;
  if (file.empty() || HasFolderPart(file)) return file;
  return program_folder + file;
}

std::string IndexKeyword(std::string_view keyword) {
  const std::string_view::size_type colon = keyword.find(':');
  if (colon != std::string_view::npos) keyword.remove_prefix(colon + 1);
  const auto first = std::find_if_not(keyword.begin(), keyword.end(), IsBlank);
  const auto last = std::find_if_not(keyword.rbegin(), keyword.rend(), IsBlank);
  if (first == keyword.end()) return {};
  return std::string(first, last.base());
}

std::string TopicPage(std::string_view topic) {
  const std::string extension = Lower(FileExtension(topic));
  if (extension == ".htm" || extension == ".html") return std::string(topic);
  return std::string(topic) + ".htm";
}

}  // namespace shell
