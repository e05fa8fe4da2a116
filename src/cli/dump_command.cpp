// Placeholder until the dump command lands.
#include <cstdio>

#include "cli/commands.h"

namespace cli {

int RunDump(const Args&) {
  std::fprintf(stderr, "transquendra dump: no disponible todavía\n");
  return 2;
}

}  // namespace cli
