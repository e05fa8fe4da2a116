#include "export/export_lookups.h"

namespace exporting {

SubjectCodes::SubjectCodes(tables::Table& asigvalt) {
  tables::Field codvalen = asigvalt.FieldByName("CODVALEN");
  tables::Field cod = asigvalt.FieldByName("COD");
  tables::Field hours = asigvalt.FieldByName("NHORAS");
  for (asigvalt.First(); !asigvalt.Eof(); asigvalt.Next()) {
    // emplace keeps the first row of a key.
    by_codvalen_.emplace(codvalen.AsString(),
                         Subject{cod.AsString(), hours.AsFloat()});
  }
}

const SubjectCodes::Subject* SubjectCodes::Find(
    std::string_view codvalen) const {
  auto found = by_codvalen_.find(std::string(codvalen));
  return found == by_codvalen_.end() ? nullptr : &found->second;
}

TeacherCodes::TeacherCodes(tables::Table& proft) {
  tables::Field dni = proft.FieldByName("DNI");
  tables::Field abrev = proft.FieldByName("ABREV");
  for (proft.First(); !proft.Eof(); proft.Next()) {
    by_dni_.emplace(dni.AsInteger(), abrev.AsString());
  }
}

const std::string* TeacherCodes::Find(int64_t dni) const {
  auto found = by_dni_.find(dni);
  return found == by_dni_.end() ? nullptr : &found->second;
}

}  // namespace exporting
