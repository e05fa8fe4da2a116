#pragma once

// The teacher and subject searches of the solution transfer. Each answers
// with the row a walk from the first row would find (the first match in the
// table's current order) but reads its table only once, on first use.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "import/text_key_index.h"
#include "tables/table.h"

namespace importing {

// ABREV -> DNI of the first PROFT row, in stored order, with that ABREV.
class TeacherLookup {
 public:
  // REQUIRES: `proft` is open and stays open while the lookup is used.
  explicit TeacherLookup(tables::Table& proft) : proft_(proft) {}

  // The DNI of the first row whose ABREV equals `abrev` exactly; 0 when no
  // row has it. An empty DNI reads as 0.
  int64_t Dni(std::string_view abrev) {
    return Dni(TextKeyIndex::MakeProbe(abrev));
  }
  int64_t Dni(const TextKeyIndex::Probe& abrev);
  // The probe for a Dni of `abrev` shortly after, its slot already on the
  // way into the cache (TextKeyIndex::Prefetch).
  TextKeyIndex::Probe Prefetch(std::string_view abrev) const {
    const TextKeyIndex::Probe probe = TextKeyIndex::MakeProbe(abrev);
    if (loaded_) abrevs_.Prefetch(probe);
    return probe;
  }

 private:
  void Load();

  tables::Table& proft_;
  bool loaded_ = false;
  TextKeyIndex abrevs_;
  std::vector<int64_t> dni_by_abrev_;  // by the ABREV's number in abrevs_
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
  // Every row, grouped by COD and in index order within a code: the rows
  // of the code numbered n in cods_ are subjects_[group_start_[n]] up to
  // subjects_[group_start_[n + 1]]. A lookup builds no key and compares
  // NIVEL and CURSO only among the few rows of one code.
  TextKeyIndex cods_;
  std::vector<Subject> subjects_;
  std::vector<uint32_t> group_start_;
};

}  // namespace importing
