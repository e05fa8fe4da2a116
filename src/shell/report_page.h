#pragma once

// The report pages the runs leave in the exchange folder: one self-contained
// HTML file each (styles inline, no scripts, nothing fetched), in Spanish,
// laid out to print on A4.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "shell/run_report.h"

namespace shell {

// `text` with &, <, > and " written as entities.
std::string HtmlEscape(std::string_view text);

// The page up to the opening of its body, titled `title`; `extra_style` is
// added to the shared style sheet.
std::string PageHead(std::string_view title, std::string_view extra_style = "");
inline constexpr char kPageTail[] = "</body>\n</html>\n";

// "09/12/2026 17:30", the local time now.
std::string NowText();

// The record count in the header of the dBase table at `windows_path`; -1
// when there is no such file.
int64_t HeaderRowCount(platform::FileSystem& files,
                       std::string_view windows_path);

// A kind of case, as its section of the page names and explains it.
struct CaseKind {
  int kind;
  const char* id;           // the section's anchor
  const char* title;        // "Alumnos sin grupo válido"
  const char* explanation;  // what the run does with such a case
};

// One section per kind, in the order of `kinds`: a table of the cases, those
// that differ only in their row joined into one line with every row; a kind
// without cases says so in one line. `row_label` heads the row column.
std::string CaseSections(const std::vector<RunCase>& cases,
                         const std::vector<CaseKind>& kinds,
                         std::string_view row_label);

// A list of links to the sections, with each one's number of cases.
std::string CaseIndex(const std::vector<RunCase>& cases,
                      const std::vector<CaseKind>& kinds);

// Writes `html` to `windows_path` (a fixed path such as
// "C:\QTEMP\INFORME_EXPORTACION.html") through a temporary file and a
// rename. Sets report.page_path to the native path, or report.page_error;
// never throws, because a page that cannot be written must not turn a run
// into a failed one.
void WritePage(platform::FileSystem& files, std::string_view windows_path,
               const std::string& html, RunReport& report);

}  // namespace shell
