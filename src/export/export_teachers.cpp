// Step 2: PROFT, one row per teacher who has not left, each with an
// abbreviation that is unique within the table.

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "export/export_gaps.h"
#include "export/export_run.h"
#include "export/export_text.h"
#include "export/intermediate_table.h"

namespace exporting {
namespace {

constexpr int kAbbreviationWidth = 10;

// A teacher who has left, and whose record is complete, is not exported.
bool HasLeft(tables::Table& profesor) {
  return profesor.FieldByName("FBaja").AsDateTime() != 0 &&
         !Trim(profesor.FieldByName("Apenomprof").AsString()).empty() &&
         profesor.FieldByName("Dni").AsInteger() != 0;
}

void NoteTeacher(shell::RunReport& report, Gap kind, tables::Table& profesor,
                 const char* what) {
  report.Add(kind, profesor.RecNo(),
             profesor.FieldByName("Apenomprof").AsString() + " (D.N.I. " +
                 std::to_string(profesor.FieldByName("Dni").AsInteger()) + ")",
             what);
}

void CopyTeachers(shell::TransferContext& context, tables::Table& proft) {
  OpenSource profesor(context.wwTableProfesor);
  for (; !profesor->Eof(); profesor->Next()) {
    if (HasLeft(*profesor)) {
      NoteTeacher(context.report, kTeacherLeft, *profesor, "no exportado");
      continue;
    }
    const std::string name = profesor->FieldByName("Apenomprof").AsString();
    NoteIfCut(context.report, name, 80, "PROFT.NOMBRE", *profesor, name);
    proft.Append();
    proft.FieldByName("ABREV").SetAsString(TeacherAbbreviation(name));
    proft.FieldByName("NOMBRE").SetAsString(name);
    const std::string department = profesor->FieldByName("Departa").AsString();
    NoteIfCut(context.report, department, 40, "PROFT.DEPART", *profesor, name);
    proft.FieldByName("DEPART").SetAsString(department);
    const int64_t dni = profesor->FieldByName("Dni").AsInteger();
    if (dni == 0)
      NoteTeacher(context.report, kTeacherWithoutDni, *profesor, "DNI 0");
    proft.FieldByName("DNI").SetAsInteger(dni);
    proft.Post();
  }
}

// `value` followed by `number`, as the 10-character field keeps it and gives
// it back (the value as read never ends in a blank; digits are one byte each
// in code page 1252).
std::string Numbered(const std::string& value, int number) {
  return Chars(value + std::to_string(number), 1, kAbbreviationWidth);
}

}  // namespace

// For each row P in stored order, every other row Q whose abbreviation
// equals P's (as it stands when P is reached) gets 2, 3, ... appended, in
// stored order. Rows are grouped by their current abbreviation so the pass
// costs n log n instead of comparing every pair; the result is the same.
std::vector<std::string> UniqueAbbreviations(std::vector<std::string> abbrevs) {
  std::map<std::string, std::set<size_t>> rows_by_value;
  for (size_t i = 0; i < abbrevs.size(); ++i)
    rows_by_value[abbrevs[i]].insert(i);
  for (size_t p = 0; p < abbrevs.size(); ++p) {
    auto same = rows_by_value.find(abbrevs[p]);
    if (same->second.size() < 2) continue;
    const std::set<size_t> others = same->second;
    int counter = 2;
    for (size_t q : others) {
      if (q == p) continue;
      same->second.erase(q);
      abbrevs[q] = Numbered(abbrevs[q], counter++);
      rows_by_value[abbrevs[q]].insert(q);
      same = rows_by_value.find(abbrevs[p]);
    }
  }
  return abbrevs;
}

namespace {

void MakeAbbreviationsUnique(platform::FileSystem& files,
                             shell::RunReport& report) {
  auto proft = OpenIntermediate(files, "PROFT");
  std::vector<std::string> before;
  for (proft->First(); !proft->Eof(); proft->Next()) {
    before.push_back(proft->FieldByName("ABREV").AsString());
  }
  const std::vector<std::string> after = UniqueAbbreviations(before);
  size_t row = 0;
  for (proft->First(); !proft->Eof(); proft->Next(), ++row) {
    if (after[row] == before[row]) continue;
    report.Add(kTeacherRenumbered, 0, proft->FieldByName("NOMBRE").AsString(),
               Quoted(before[row]) + " pasa a " + Quoted(after[row]));
    proft->Edit();
    proft->FieldByName("ABREV").SetAsString(after[row]);
    proft->Post();
  }
  proft->Close();
}

}  // namespace

void ExportTeachers(shell::TransferContext& context) {
  DeleteIntermediateFiles(context.files(), "PROFT");
  {
    auto proft = CreateIntermediate(
        context.files(), "PROFT",
        {Text("ABREV", kAbbreviationWidth), Text("NOMBRE", 80),
         Text("EMAIL", 100), Text("DEPART", 40), Integer("DNI")});
    CopyTeachers(context, *proft);
    proft->Close();
  }
  MakeAbbreviationsUnique(context.files(), context.report);
}

}  // namespace exporting
