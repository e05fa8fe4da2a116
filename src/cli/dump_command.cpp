// transquendra dump TABLE [--index TAG] [--codepage N]: a table as CSV
// (RFC 4180, UTF-8) on stdout, deleted records left out, in stored order or
// in the order of the named index.
#include <cstdio>
#include <exception>
#include <iostream>
#include <string>

#include "cli/commands.h"
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

std::string CellOf(const tables::Field& field) {
  if (field.IsNull()) return "";
  const char type = field.TypeLetter();
  if (type == 'D' || type == 'T' || type == '@') {
    try {
      return tables::IsoDateText(field.AsDateTime(), type != 'D');
    } catch (const tables::TableError&) {
      return field.AsString();  // not a valid date: shown as stored
    }
  }
  // Number columns keep every stored digit, however wide.
  return field.StoredNumberText();
}

struct DumpOptions {
  std::string path;
  std::string index;
  int code_page = 0;  // 0: the one the header names
};

// A table whose header names no code page is read as 1252; when its text
// plainly is not, the user hears which code page it seems to be in.
void WarnOfLikelyCodePage(const tables::Table& table, const std::string& path) {
  const int likely = table.LikelyCodePage();
  if (likely == 0) return;
  std::string also = likely == 850 ? " (o 437)" : "";
  std::fprintf(stderr,
               "transquendra dump: aviso: el texto de %s no parece de la "
               "página de códigos 1252, que es la que se usa cuando la "
               "cabecera no indica ninguna; parece de la %d%s. Pruebe "
               "--codepage %d.\n",
               path.c_str(), likely, also.c_str(), likely);
}

void Dump(const DumpOptions& options) {
  tables::Table table;
  table.SetTableName(options.path);
  table.SetReadOnly(true);
  if (!options.index.empty()) table.SetIndexName(options.index);
  table.SetCodePage(options.code_page);
  table.Open();
  if (options.code_page == 0) WarnOfLikelyCodePage(table, options.path);
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

// A code page number the engine knows; on a mistake prints it.
bool ParseCodePage(const std::string& text, int* code_page) {
  const bool digits = !text.empty() && text.size() <= 5 &&
                      text.find_first_not_of("0123456789") == std::string::npos;
  const int number = digits ? std::stoi(text) : 0;
  try {
    if (number == 0) throw tables::TableError::UnknownCodePage(0);
    tables::Table().SetCodePage(number);
  } catch (const tables::TableError&) {
    std::fprintf(stderr, "transquendra dump: página de códigos no válida: %s\n",
                 text.c_str());
    return false;
  }
  *code_page = number;
  return true;
}

// Reads the options; on a mistake prints it and returns false.
bool ParseOptions(const Args& args, DumpOptions* options) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool has_value = i + 1 < args.size();
    if (arg == "--index" && has_value) {
      options->index = args[++i];
    } else if (arg == "--codepage" && has_value) {
      if (!ParseCodePage(args[++i], &options->code_page)) return false;
    } else if (options->path.empty() && arg.rfind("--", 0) != 0) {
      options->path = arg;
    } else {
      std::fprintf(stderr, "transquendra dump: opción no válida: %s\n",
                   arg.c_str());
      return false;
    }
  }
  if (options->path.empty()) {
    std::fprintf(stderr, "transquendra dump: falta la TABLA\n");
    return false;
  }
  return true;
}

}  // namespace

int RunDump(const Args& args) {
  DumpOptions options;
  if (!ParseOptions(args, &options)) return 2;
  // Numbers are dumped with '.' whatever the user's locale.
  tables::SetDecimalSeparator('.');
  try {
    Dump(options);
  } catch (const std::exception& error) {  // TableError and the runtime's
    std::cout.flush();
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
  std::cout.flush();
  return std::cout ? 0 : 1;
}

}  // namespace cli
