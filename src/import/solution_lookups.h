#pragma once

// The teacher and subject searches of the solution transfer. Each answers
// with the row a walk from the first row would find (the first match in the
// table's current order) but reads its table only once, on first use.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "tables/table.h"

namespace importing {

// Hashes text of any string kind alike, so that a map keyed by std::string
// can be searched with a std::string_view without building a string.
struct TextHash {
  using is_transparent = void;
  size_t operator()(std::string_view text) const {
    return std::hash<std::string_view>{}(text);
  }
};

// ABREV -> DNI of the first PROFT row, in stored order, with that ABREV.
class TeacherLookup {
 public:
  // REQUIRES: `proft` is open and stays open while the lookup is used.
  explicit TeacherLookup(tables::Table& proft) : proft_(proft) {}

  // The DNI of the first row whose ABREV equals `abrev` exactly; 0 when no
  // row has it. An empty DNI reads as 0.
  int64_t Dni(std::string_view abrev);

 private:
  void Load();

  tables::Table& proft_;
  bool loaded_ = false;
  std::unordered_map<std::string, int64_t, TextHash, std::equal_to<>>
      dni_by_abrev_;
};

// (NIVEL, CURSO, COD) -> CODVALEN of the first ASIGVALT row in the order of
// the table's current index (CODVALEN).
class SubjectLookup {
 public:
  // REQUIRES: `asigvalt` is open with its index selected, and stays open.
  explicit SubjectLookup(tables::Table& asigvalt) : asigvalt_(asigvalt) {}

  // The CODVALEN of the first row whose NIVEL, CURSO and COD equal the given
  // texts exactly; empty when no row matches. The text stays valid while the
  // lookup lives.
  const std::string& Codvalen(std::string_view nivel, std::string_view curso,
                              std::string_view cod);

 private:
  struct Subject {
    std::string nivel;
    std::string curso;
    std::string codvalen;
  };
  void Load();

  tables::Table& asigvalt_;
  bool loaded_ = false;
  // By COD, the rows with that COD in index order: a lookup builds no key
  // and compares NIVEL and CURSO only among the few rows of one code.
  std::unordered_map<std::string, std::vector<Subject>, TextHash,
                     std::equal_to<>>
      subjects_by_cod_;
};

}  // namespace importing
