#include "import/solution_lookups.h"

#include <utility>

namespace importing {

int64_t TeacherLookup::Dni(const TextKeyIndex::Probe& abrev) {
  if (!loaded_) Load();
  const uint32_t number = abrevs_.Find(abrev);
  return number == TextKeyIndex::kAbsent ? 0 : dni_by_abrev_[number];
}

void TeacherLookup::Load() {
  loaded_ = true;
  proft_.First();
  if (proft_.Eof()) return;  // fields are only looked for on a row
  tables::Field abrev_field = proft_.FieldByName("ABREV");
  tables::Field dni_field = proft_.FieldByName("DNI");
  std::string buffer;
  while (!proft_.Eof()) {
    // Only the first row of an abbreviation counts, as in the walk.
    if (abrevs_.Insert(abrev_field.AsStringView(buffer)) ==
        dni_by_abrev_.size()) {
      dni_by_abrev_.push_back(dni_field.AsInteger());
    }
    proft_.Next();
  }
}

const std::string& SubjectLookup::Codvalen(std::string_view nivel,
                                           std::string_view curso,
                                           std::string_view cod) {
  static const std::string kNone;
  if (!loaded_) Load();
  const uint32_t number = cods_.Find(cod);
  if (number == TextKeyIndex::kAbsent) return kNone;
  for (uint32_t i = group_start_[number]; i < group_start_[number + 1]; ++i) {
    const Subject& subject = subjects_[i];
    if (subject.nivel == nivel && subject.curso == curso)
      return subject.codvalen;
  }
  return kNone;
}

void SubjectLookup::Load() {
  loaded_ = true;
  asigvalt_.First();
  if (asigvalt_.Eof()) return;  // fields are only looked for on a row
  tables::Field nivel = asigvalt_.FieldByName("NIVEL");
  tables::Field curso = asigvalt_.FieldByName("CURSO");
  tables::Field cod = asigvalt_.FieldByName("COD");
  tables::Field codvalen = asigvalt_.FieldByName("CODVALEN");
  std::vector<std::pair<uint32_t, Subject>> rows;
  std::string buffer;
  for (; !asigvalt_.Eof(); asigvalt_.Next()) {
    rows.push_back({cods_.Insert(cod.AsStringView(buffer)),
                    {nivel.AsString(), curso.AsString(), codvalen.AsString()}});
  }
  // A stable counting sort by code number keeps index order within a code,
  // so the first match in Codvalen is the first in index order.
  group_start_.assign(cods_.size() + 1, 0);
  for (const auto& row : rows) ++group_start_[row.first + 1];
  for (uint32_t n = 0; n < cods_.size(); ++n)
    group_start_[n + 1] += group_start_[n];
  std::vector<uint32_t> next(group_start_.begin(), group_start_.end() - 1);
  subjects_.resize(rows.size());
  for (auto& row : rows) subjects_[next[row.first]++] = std::move(row.second);
}

}  // namespace importing
