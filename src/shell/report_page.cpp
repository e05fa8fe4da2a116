#include "shell/report_page.h"

#include <cstdio>
#include <ctime>
#include <fstream>
#include <map>
#include <unordered_map>

#include "tables/files.h"
#include "tables/header_counts.h"

namespace shell {
namespace {

constexpr char kStyle[] = R"(
@page { size: A4; margin: 14mm 12mm; }
body { font-family: "DejaVu Sans", Arial, sans-serif; font-size: 10pt;
       color: #1a1a1a; background: #fff; margin: 0 auto; max-width: 60em;
       padding: 1em; }
h1 { font-size: 16pt; color: #123c69; margin: 0 0 .3em; }
h2 { font-size: 12.5pt; color: #123c69; border-bottom: 2px solid #123c69;
     margin: 1.4em 0 .4em; break-after: avoid; }
p.explain { color: #444; margin: .2em 0 .5em; }
p.none { color: #2e6b30; margin: .2em 0; }
p.incomplete { background: #fde8e8; border: 2px solid #b3261e;
               color: #7a1410; padding: .5em .8em; font-weight: bold; }
table { border-collapse: collapse; width: 100%; margin: .3em 0 .8em; }
th, td { border: 1px solid #b8c2cc; padding: 2px 5px; text-align: left;
         vertical-align: top; }
th { background: #e3ebf3; }
thead { display: table-header-group; }
tr { break-inside: avoid; }
td.num, th.num { text-align: right; }
dl.facts { display: grid; grid-template-columns: max-content auto;
           gap: .15em 1em; margin: .5em 0; }
dl.facts dt { font-weight: bold; }
dl.facts dd { margin: 0; }
ul.index { columns: 2; padding-left: 1.2em; }
a { color: #0b4f8a; }
@media print { a { color: inherit; text-decoration: none; } }
)";

constexpr size_t kRowsShown = 30;

std::string RowsText(const std::vector<int64_t>& rows) {
  std::string text;
  for (size_t i = 0; i < rows.size() && i < kRowsShown; ++i) {
    if (!text.empty()) text += ", ";
    text += rows[i] > 0 ? std::to_string(rows[i]) : "—";
  }
  if (rows.size() > kRowsShown)
    text += " y " + std::to_string(rows.size() - kRowsShown) + " más";
  return text;
}

// The cases of one kind, those differing only in their row joined, in the
// order of their first appearance.
struct Line {
  const RunCase* first;
  std::vector<int64_t> rows;
};

std::map<int, std::vector<Line>> LinesByKind(
    const std::vector<RunCase>& cases) {
  std::map<int, std::vector<Line>> lines;
  std::unordered_map<std::string, size_t> seen;
  for (const RunCase& one : cases) {
    std::vector<Line>& of_kind = lines[one.kind];
    std::string key =
        std::to_string(one.kind) + '\n' + one.who + '\n' + one.what;
    auto [entry, added] = seen.try_emplace(std::move(key), of_kind.size());
    if (added) of_kind.push_back({&one, {}});
    of_kind[entry->second].rows.push_back(one.row);
  }
  return lines;
}

}  // namespace

std::string HtmlEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string PageHead(std::string_view title, std::string_view extra_style) {
  std::string head =
      "<!DOCTYPE html>\n<html lang=\"es\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<title>";
  head += HtmlEscape(title);
  head += "</title>\n<style>";
  head += kStyle;
  head += extra_style;
  head += "</style>\n</head>\n<body>\n";
  return head;
}

std::string NowText() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  char text[32];
  std::strftime(text, sizeof text, "%d/%m/%Y %H:%M", &local);
  return text;
}

int64_t HeaderRowCount(platform::FileSystem& files,
                       std::string_view windows_path) {
  std::ifstream file(files.NativePath(windows_path), std::ios::binary);
  char header[8];
  if (!file.read(header, sizeof header)) return -1;
  return tables::StoredRowCount({header, sizeof header});
}

std::string CaseIndex(const std::vector<RunCase>& cases,
                      const std::vector<CaseKind>& kinds) {
  std::map<int, size_t> counts;
  for (const RunCase& one : cases) ++counts[one.kind];
  std::string html = "<ul class=\"index\">\n";
  for (const CaseKind& kind : kinds) {
    html += "<li><a href=\"#" + std::string(kind.id) + "\">" +
            HtmlEscape(kind.title) +
            "</a>: " + std::to_string(counts[kind.kind]) + "</li>\n";
  }
  return html + "</ul>\n";
}

std::string CaseSections(const std::vector<RunCase>& cases,
                         const std::vector<CaseKind>& kinds,
                         std::string_view row_label) {
  const std::map<int, std::vector<Line>> lines = LinesByKind(cases);
  std::string html;
  for (const CaseKind& kind : kinds) {
    html += "<h2 id=\"" + std::string(kind.id) + "\">" +
            HtmlEscape(kind.title) + "</h2>\n<p class=\"explain\">" +
            HtmlEscape(kind.explanation) + "</p>\n";
    auto found = lines.find(kind.kind);
    if (found == lines.end()) {
      html += "<p class=\"none\">Ningún caso.</p>\n";
      continue;
    }
    html += "<table>\n<thead><tr><th>Caso</th><th>" + HtmlEscape(row_label) +
            "</th><th>Qué se hizo</th></tr></thead>\n<tbody>\n";
    for (const Line& line : found->second) {
      html += "<tr><td>" + HtmlEscape(line.first->who) + "</td><td>" +
              RowsText(line.rows) + "</td><td>" + HtmlEscape(line.first->what) +
              "</td></tr>\n";
    }
    html += "</tbody>\n</table>\n";
  }
  return html;
}

void WritePage(platform::FileSystem& files, std::string_view windows_path,
               const std::string& html, RunReport& report) {
  const std::string target = files.NativePath(windows_path);
  if (!files.ReplaceWhole(target, html)) {
    report.page_error = "No se pudo escribir " + std::string(windows_path);
    return;
  }
  report.page_path = target;
}

}  // namespace shell
