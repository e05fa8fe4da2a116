#include "import/solution_lookups.h"

namespace importing {

int64_t TeacherLookup::Dni(const std::string& abrev) {
  if (!loaded_) Load();
  const auto found = dni_by_abrev_.find(abrev);
  return found == dni_by_abrev_.end() ? 0 : found->second;
}

void TeacherLookup::Load() {
  loaded_ = true;
  proft_.First();
  while (!proft_.Eof()) {
    // emplace keeps the first row of an abbreviation, as the walk would.
    std::string abrev = proft_.FieldByName("ABREV").AsString();
    if (!dni_by_abrev_.contains(abrev)) {
      dni_by_abrev_.emplace(std::move(abrev),
                            proft_.FieldByName("DNI").AsInteger());
    }
    proft_.Next();
  }
}

std::string SubjectLookup::Codvalen(std::string_view nivel,
                                    std::string_view curso,
                                    std::string_view cod) {
  if (!loaded_) Load();
  const auto found = codvalen_by_key_.find(Key(nivel, curso, cod));
  return found == codvalen_by_key_.end() ? std::string() : found->second;
}

std::string SubjectLookup::Key(std::string_view nivel, std::string_view curso,
                               std::string_view cod) {
  // A NUL cannot occur in a field's text, so the parts cannot run together.
  std::string key;
  key.reserve(nivel.size() + curso.size() + cod.size() + 2);
  key.append(nivel).append(1, '\0').append(curso).append(1, '\0').append(cod);
  return key;
}

void SubjectLookup::Load() {
  loaded_ = true;
  asigvalt_.First();
  while (!asigvalt_.Eof()) {
    codvalen_by_key_.try_emplace(Key(asigvalt_.FieldByName("NIVEL").AsString(),
                                     asigvalt_.FieldByName("CURSO").AsString(),
                                     asigvalt_.FieldByName("COD").AsString()),
                                 asigvalt_.FieldByName("CODVALEN").AsString());
    asigvalt_.Next();
  }
}

}  // namespace importing
