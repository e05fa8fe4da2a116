// transquendra dump TABLE [--index TAG]: a table as CSV (RFC 4180, UTF-8) on
// stdout, deleted records left out, in stored order or in the order of the
// named index.
#include <cmath>
#include <cstdio>
#include <exception>
#include <iostream>
#include <string>

#include "cli/commands.h"
#include "tables/field_codec.h"
#include "tables/files.h"
#include "tables/table.h"
#include "tables/table_error.h"

namespace cli {
namespace {

std::string CsvCell(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

std::string Padded(int value, int width) {
  std::string text = std::to_string(value);
  return std::string(text.size() < static_cast<size_t>(width)
                         ? static_cast<size_t>(width) - text.size()
                         : 0,
                     '0') +
         text;
}

// YYYY-MM-DD, with THH:MM:SS for date-time columns.
std::string IsoDate(double days, bool with_time) {
  const double whole = std::floor(days);
  int year, month, day;
  tables::CivilFromDays(static_cast<int64_t>(whole), &year, &month, &day);
  std::string text =
      Padded(year, 4) + "-" + Padded(month, 2) + "-" + Padded(day, 2);
  if (with_time) {
    auto seconds = static_cast<int>(std::llround((days - whole) * 86400.0));
    if (seconds >= 86400) seconds = 86399;
    text += "T" + Padded(seconds / 3600, 2) + ":" +
            Padded(seconds / 60 % 60, 2) + ":" + Padded(seconds % 60, 2);
  }
  return text;
}

std::string CellOf(const tables::Field& field) {
  if (field.IsNull()) return "";
  const char type = field.TypeLetter();
  if (type == 'D' || type == 'T' || type == '@') {
    try {
      return IsoDate(field.AsDateTime(), type != 'D');
    } catch (const tables::TableError&) {
      return field.AsString();  // not a valid date: shown as stored
    }
  }
  return field.AsString();
}

void Dump(const std::string& path, const std::string& index) {
  tables::Table table;
  table.SetTableName(path);
  table.SetReadOnly(true);
  if (!index.empty()) table.SetIndexName(index);
  table.Open();
  std::string line;
  for (int i = 0; i < table.FieldCount(); ++i) {
    if (i > 0) line += ',';
    line += CsvCell(table.FieldAt(i).Name());
  }
  std::cout << line << "\r\n";
  for (table.First(); !table.Eof(); table.Next()) {
    line.clear();
    for (int i = 0; i < table.FieldCount(); ++i) {
      if (i > 0) line += ',';
      line += CsvCell(CellOf(table.FieldAt(i)));
    }
    std::cout << line << "\r\n";
  }
  table.Close();
}

}  // namespace

int RunDump(const Args& args) {
  std::string path;
  std::string index;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--index" && i + 1 < args.size()) {
      index = args[++i];
    } else if (path.empty() && args[i].rfind("--", 0) != 0) {
      path = args[i];
    } else {
      path.clear();
      break;
    }
  }
  if (path.empty()) {
    std::fprintf(stderr, "uso: transquendra dump TABLA [--index ETIQUETA]\n");
    return 2;
  }
  // Numbers are dumped with '.' whatever the user's locale.
  tables::SetDecimalSeparator('.');
  try {
    Dump(path, index);
  } catch (const std::exception& error) {  // TableError and the runtime's
    std::cout.flush();
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
  std::cout.flush();
  return std::cout ? 0 : 1;
}

}  // namespace cli
