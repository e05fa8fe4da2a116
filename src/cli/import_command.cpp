// Placeholder until the import command lands.
#include <cstdio>

#include "cli/commands.h"

namespace cli {

int RunImport(const Args&) {
  std::fprintf(stderr, "transquendra import: no disponible todavía\n");
  return 2;
}

}  // namespace cli
