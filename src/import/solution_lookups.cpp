#include "import/solution_lookups.h"

namespace importing {

int64_t TeacherLookup::Dni(std::string_view abrev) {
  if (!loaded_) Load();
  const auto found = dni_by_abrev_.find(abrev);
  return found == dni_by_abrev_.end() ? 0 : found->second;
}

void TeacherLookup::Load() {
  loaded_ = true;
  proft_.First();
  if (proft_.Eof()) return;  // fields are only looked for on a row
  tables::Field abrev_field = proft_.FieldByName("ABREV");
  tables::Field dni_field = proft_.FieldByName("DNI");
  while (!proft_.Eof()) {
    // Only the first row of an abbreviation counts, as in the walk.
    std::string abrev = abrev_field.AsString();
    if (!dni_by_abrev_.contains(abrev))
      dni_by_abrev_.emplace(std::move(abrev), dni_field.AsInteger());
    proft_.Next();
  }
}

const std::string& SubjectLookup::Codvalen(std::string_view nivel,
                                           std::string_view curso,
                                           std::string_view cod) {
  static const std::string kNone;
  if (!loaded_) Load();
  const auto found = subjects_by_cod_.find(cod);
  if (found == subjects_by_cod_.end()) return kNone;
  for (const Subject& subject : found->second) {
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
  for (; !asigvalt_.Eof(); asigvalt_.Next()) {
    // Every row is kept, in index order; the first match wins in Codvalen.
    subjects_by_cod_[cod.AsString()].push_back(
        {nivel.AsString(), curso.AsString(), codvalen.AsString()});
  }
}

}  // namespace importing
