#include "shell/run_report.h"

namespace shell {

void RunReport::Clear() {
  cases_.clear();
  table_rows.clear();
  page_path.clear();
  page_error.clear();
}

int RunReport::CharCount(std::string_view text) {
  int count = 0;
  for (unsigned char byte : text) count += (byte & 0xC0) != 0x80;
  return count;
}

}  // namespace shell
