#include <cstdio>

#include "cli/commands.h"

namespace cli {

void PrintReportSummary(const shell::RunReport& report) {
  if (!report.table_rows.empty()) std::printf("Filas escritas:\n");
  for (const auto& [table, rows] : report.table_rows) {
    if (rows >= 0) {
      std::printf("  %-10s %lld\n", table.c_str(),
                  static_cast<long long>(rows));
    } else {
      std::printf("  %-10s no escrita\n", table.c_str());
    }
  }
  if (!report.page_path.empty()) {
    std::printf("Informe: %s\n", report.page_path.c_str());
  } else if (!report.page_error.empty()) {
    std::fprintf(stderr, "No se pudo escribir el informe: %s\n",
                 report.page_error.c_str());
  }
  std::fflush(stdout);
}

}  // namespace cli
