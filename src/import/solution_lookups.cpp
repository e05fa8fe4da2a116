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
  Key(nivel, curso, cod, scratch_key_);
  const auto found = codvalen_by_key_.find(scratch_key_);
  return found == codvalen_by_key_.end() ? kNone : found->second;
}

void SubjectLookup::Key(std::string_view nivel, std::string_view curso,
                        std::string_view cod, std::string& key) {
  // A NUL cannot occur in a field's text, so the parts cannot run together.
  key.clear();
  key.append(nivel).append(1, '\0').append(curso).append(1, '\0').append(cod);
}

void SubjectLookup::Load() {
  loaded_ = true;
  asigvalt_.First();
  if (asigvalt_.Eof()) return;  // fields are only looked for on a row
  tables::Field nivel = asigvalt_.FieldByName("NIVEL");
  tables::Field curso = asigvalt_.FieldByName("CURSO");
  tables::Field cod = asigvalt_.FieldByName("COD");
  tables::Field codvalen = asigvalt_.FieldByName("CODVALEN");
  std::string key;
  while (!asigvalt_.Eof()) {
    Key(nivel.AsString(), curso.AsString(), cod.AsString(), key);
    if (!codvalen_by_key_.contains(key))
      codvalen_by_key_.emplace(key, codvalen.AsString());
    asigvalt_.Next();
  }
}

}  // namespace importing
