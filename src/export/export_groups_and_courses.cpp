// Step 6: GRUPOST, one row per distinct (turn, level, course, letter), and
// CURSOST, one row per distinct (turn, level, course), each made by the
// first grupos row in stored order that yields it.

#include <optional>
#include <set>
#include <string>
#include <tuple>

#include "export/export_gaps.h"
#include "export/export_lookups.h"
#include "export/export_run.h"
#include "export/export_text.h"
#include "export/intermediate_table.h"

namespace exporting {
namespace {

// The tutor: the group's DNI, read as text, must be a whole number once
// trimmed; then the first PROFT row in stored order with that DNI gives its
// ABREV. An empty or non-numeric DNI has no tutor.
std::string TutorOf(const std::string& dni_text, const TeacherCodes& teachers) {
  const std::optional<int64_t> dni = WholeNumber(dni_text);
  if (!dni) return "";
  const std::string* tutor = teachers.Find(*dni);
  return tutor ? *tutor : "";
}

std::string Description(const std::string& turn, const CodeParts& parts,
                        const std::string& name) {
  return turn + " " + parts.level + " " + parts.course + " " + parts.letter +
         " (" + name + ")";
}

void NoteGroup(shell::RunReport& report, Gap kind, tables::Table& grupos,
               const std::string& code, std::string what) {
  report.Add(kind, grupos.RecNo(),
             code + " (" + grupos.FieldByName("LITEGRUP").AsString() + ")",
             std::move(what));
}

void NoteNoTutor(shell::RunReport& report, tables::Table& grupos,
                 const std::string& code, const std::string& dni_text) {
  NoteGroup(report, kGroupWithoutTutor, grupos, code,
            Trim(dni_text).empty() ? "sin D.N.I. de tutor"
                                   : "D.N.I. " + Quoted(dni_text) +
                                         " no es de ningún profesor de PROFT");
}

using GroupKey = std::tuple<std::string, std::string, std::string, std::string>;
using CourseKey = std::tuple<std::string, std::string, std::string>;

GroupKey ReadGroupKey(tables::Table& grupost) {
  return {grupost.FieldByName("TURNO").AsString(),
          grupost.FieldByName("NIVEL").AsString(),
          grupost.FieldByName("CURSO").AsString(),
          grupost.FieldByName("GRUPO").AsString()};
}

CourseKey ReadCourseKey(tables::Table& cursost) {
  return {cursost.FieldByName("TURNO").AsString(),
          cursost.FieldByName("NIVEL").AsString(),
          cursost.FieldByName("CURSO").AsString()};
}

}  // namespace

void ExportGroupsAndCourses(shell::TransferContext& context) {
  DeleteIntermediateFiles(context.files(), "GRUPOST");
  auto grupost = CreateIntermediate(
      context.files(), "GRUPOST",
      {Text("ABREV", 10), Text("TURNO", 1), Text("NIVEL", 5), Text("CURSO", 3),
       Text("GRUPO", 2), Text("DESCRIP", 80), Text("TUTOR", 10)});
  DeleteIntermediateFiles(context.files(), "CURSOST");
  auto cursost = CreateIntermediate(
      context.files(), "CURSOST",
      {Text("ABREV", 3), Text("TURNO", 1), Text("NIVEL", 5), Text("CURSO", 3)});
  auto proft = OpenIntermediate(context.files(), "PROFT");
  const TeacherCodes teachers(*proft);
  OpenSource grupos(context.wwTableGrupos);

  // The combinations already written, as the rows give them back. A search
  // compares them with the values about to be written, so a value longer
  // than its field never finds the row it was cut into, as a walk would not.
  std::set<GroupKey> groups_written;
  std::set<CourseKey> courses_written;
  for (; !grupos->Eof(); grupos->Next()) {
    const std::string turn = grupos->FieldByName("Turno").AsString();
    const std::string code = grupos->FieldByName("Codgrup").AsString();
    const CodeParts parts = SplitCode(code);
    if (parts.level.empty() || parts.course.empty()) {
      NoteGroup(context.report, kGroupTooShort, *grupos, code, "no exportado");
      continue;
    }

    if (groups_written.count({turn, parts.level, parts.course, parts.letter}) ==
        0) {
      const std::string description =
          Description(turn, parts, grupos->FieldByName("LITEGRUP").AsString());
      const std::string dni_text = grupos->FieldByName("DNI").AsString();
      const std::string tutor = TutorOf(dni_text, teachers);
      if (tutor.empty()) NoteNoTutor(context.report, *grupos, code, dni_text);
      NoteIfCut(context.report, code, 10, "GRUPOST.ABREV", *grupos, code);
      NoteIfCut(context.report, description, 80, "GRUPOST.DESCRIP", *grupos,
                code);
      grupost->Append();
      grupost->FieldByName("ABREV").SetAsString(code);
      grupost->FieldByName("TURNO").SetAsString(turn);
      grupost->FieldByName("NIVEL").SetAsString(parts.level);
      grupost->FieldByName("CURSO").SetAsString(parts.course);
      grupost->FieldByName("GRUPO").SetAsString(parts.letter);
      grupost->FieldByName("DESCRIP").SetAsString(description);
      grupost->FieldByName("TUTOR").SetAsString(tutor);
      groups_written.insert(ReadGroupKey(*grupost));
      grupost->Post();
    } else {
      NoteGroup(context.report, kGroupRepeated, *grupos, code,
                "igual a un grupo anterior: no se añade a GRUPOST");
    }
    if (courses_written.count({turn, parts.level, parts.course}) == 0) {
      cursost->Append();
      cursost->FieldByName("ABREV").SetAsString(
          turn + Chars(parts.level, 1, 1) + Chars(parts.course, 1, 1));
      cursost->FieldByName("TURNO").SetAsString(turn);
      cursost->FieldByName("NIVEL").SetAsString(parts.level);
      cursost->FieldByName("CURSO").SetAsString(parts.course);
      courses_written.insert(ReadCourseKey(*cursost));
      cursost->Post();
    }
  }
  grupost->Close();
  cursost->Close();
}

}  // namespace exporting
