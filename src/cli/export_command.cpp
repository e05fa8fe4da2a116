// Placeholder until the export command lands.
#include <cstdio>

#include "cli/commands.h"

namespace cli {

int RunExport(const Args&) {
  std::fprintf(stderr, "transquendra export: no disponible todavía\n");
  return 2;
}

}  // namespace cli
