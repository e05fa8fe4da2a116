#pragma once

// The inputs of the import benchmark, written as dBase III bytes without
// the engine: a solution table and the PROFT, ASIGVALT, lhortipo, centro and
// timetable tables it needs.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace bench {

struct ImportSizes {
  int64_t solution_rows = 100000;
  int teachers = 3000;
  int subjects = 1000;
};

// Writes the exchange folder's SOLUC, PROFT and ASIGVALT, the working
// copy's lhortipo and the administration's horgrup and horprof under the
// mapped drive C folder `drive` (GC, QTEMP, QTEMP/VALENCIA).
void WriteImportInputs(const std::filesystem::path& drive,
                       const ImportSizes& sizes);

}  // namespace bench
