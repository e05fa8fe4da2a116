#include "platform/ini_file.h"

#include <vector>

#include "platform/executable_path.h"
#include "platform/letter_case.h"

namespace platform {
namespace {

std::string_view Trim(std::string_view s) {
  const char* blanks = " \t";
  const size_t first = s.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  const size_t last = s.find_last_not_of(blanks);
  return s.substr(first, last - first + 1);
}

// The section name of a "[name]" line, or nullopt-like empty + false.
bool SectionName(std::string_view line, std::string_view* name) {
  line = Trim(line);
  if (line.size() < 2 || line.front() != '[') return false;
  const size_t close = line.find(']');
  if (close == std::string_view::npos) return false;
  *name = Trim(line.substr(1, close - 1));
  return true;
}

bool IsKey(std::string_view line, std::string_view key) {
  const size_t eq = line.find('=');
  if (eq == std::string_view::npos) return false;
  const std::string_view name = Trim(line.substr(0, eq));
  return !name.empty() && name.front() != ';' && EqualIgnoringCase(name, key);
}

struct Lines {
  std::vector<std::string_view> items;  // without their line breaks
  std::string_view eol = "\r\n";
  bool final_eol = true;  // the text ended with a line break (or was empty)
};

Lines SplitLines(std::string_view text) {
  Lines lines;
  const size_t lf = text.find('\n');
  if (lf != std::string_view::npos) {
    lines.eol = lf > 0 && text[lf - 1] == '\r' ? "\r\n" : "\n";
  }
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    const bool last = end == std::string_view::npos;
    if (last) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.items.push_back(line);
    lines.final_eol = !last;
    pos = end + 1;
  }
  return lines;
}

}  // namespace

IniError IniError::UnableToWrite(std::string_view path) {
  return IniError("Unable to write to " + std::string(path));
}

std::string SetIniValue(std::string_view text, std::string_view section,
                        std::string_view key, std::string_view value) {
  const Lines lines = SplitLines(text);
  const std::string new_line = std::string(key) + "=" + std::string(value);
  std::vector<std::string> out(lines.items.begin(), lines.items.end());
  bool in_section = false;
  bool found_section = false;
  size_t insert_at = 0;  // after the section's last non-blank line
  bool done = false;
  for (size_t i = 0; i < out.size() && !done; ++i) {
    std::string_view name;
    if (SectionName(out[i], &name)) {
      if (in_section) break;  // the section ended without the key
      in_section = EqualIgnoringCase(name, Trim(section));
      if (in_section) found_section = true;
      if (in_section) insert_at = i + 1;
    } else if (in_section) {
      if (IsKey(out[i], Trim(key))) {
        out[i] = new_line;
        done = true;
      } else if (!Trim(out[i]).empty()) {
        insert_at = i + 1;
      }
    }
  }
  if (!done && found_section) {
    out.insert(out.begin() + static_cast<std::ptrdiff_t>(insert_at), new_line);
  } else if (!done) {
    // Appended piece by piece: GCC 12 at -O3 reports a false overlap
    // (-Wrestrict) for a one-character literal + std::string.
    std::string header(1, '[');
    header.append(section);
    header += ']';
    out.push_back(std::move(header));
    out.push_back(new_line);
  }
  std::string result;
  for (size_t i = 0; i < out.size(); ++i) {
    result += out[i];
    // Keep a file that ended without a line break that way, unless lines
    // were added after its old last line.
    const bool old_last_unterminated =
        !lines.final_eol && i + 1 == out.size() && done;
    if (!old_last_unterminated) result += lines.eol;
  }
  return result;
}

std::string QuendrixIniPath() {
#ifdef _WIN32
  return ExecutableFolder() + "\\Quendrix.ini";
#else
  return ExecutableFolder() + "/Quendrix.ini";
#endif
}

void WriteTransformedFlag(int transformed) {
  WriteProfileString(QuendrixIniPath(), "Transformadores", "Transformado",
                     std::to_string(transformed));
}

}  // namespace platform
