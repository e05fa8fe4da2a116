#pragma once

// In-memory answers to the searches the later steps make in tables written
// earlier in the run. Each is built by one walk of the table and returns the
// row the step's own walk would stop at: the first match in stored order
// (which, for the equal keys of a fresh index, is also the first in index
// order). Looking up costs O(1) instead of a walk per source row.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

#include "tables/table.h"

namespace exporting {

// ASIGVALT: administration subject code (CODVALEN) -> COD and NHORAS.
class SubjectCodes {
 public:
  struct Subject {
    std::string code;  // COD
    double hours = 0;  // NHORAS
  };
  // Reads every row of `asigvalt` in its current order. REQUIRES: open.
  explicit SubjectCodes(tables::Table& asigvalt);
  // The first row whose CODVALEN, as read, equals `codvalen`.
  const Subject* Find(std::string_view codvalen) const;

 private:
  std::unordered_map<std::string, Subject> by_codvalen_;
};

// PROFT: identity number (DNI) -> ABREV.
class TeacherCodes {
 public:
  // Reads every row of `proft` in stored order. REQUIRES: open.
  explicit TeacherCodes(tables::Table& proft);
  // The ABREV of the first row whose DNI equals `dni`; nullptr for none.
  const std::string* Find(int64_t dni) const;

 private:
  std::unordered_map<int64_t, std::string> by_dni_;
};

}  // namespace exporting
