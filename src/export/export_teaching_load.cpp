// Step 7: ASIGT, the teaching load taken from the administration's group
// timetable: one row per distinct (subject, teacher, group) among the
// lessons of groups that GRUPOST holds.

#include <cmath>
#include <set>
#include <string>
#include <tuple>
#include <unordered_set>

#include "export/export_lookups.h"
#include "export/export_run.h"
#include "export/export_text.h"
#include "export/intermediate_table.h"

namespace exporting {
namespace {

// Every teaching row names the task of occupation code 12.
constexpr char kTeachingTask[] = "*12";

using LoadKey = std::tuple<std::string, std::string, std::string>;

std::unordered_set<std::string> ReadGroupCodes(tables::Table& grupost) {
  std::unordered_set<std::string> codes;
  tables::Field abrev = grupost.FieldByName("ABREV");
  for (grupost.First(); !grupost.Eof(); grupost.Next()) {
    codes.insert(abrev.AsString());
  }
  return codes;
}

// "1" once per lesson; empty for none.
std::string Sessions(double hours) {
  const double lessons = std::nearbyint(hours);  // halves to the even one
  return lessons > 0 ? std::string(static_cast<size_t>(lessons), '1') : "";
}

class LoadWriter {
 public:
  explicit LoadWriter(tables::Table& asigt)
      : table_(asigt),
        casig_(asigt.FieldByName("CASIG")),
        cprof_(asigt.FieldByName("CPROF")),
        cgrup_(asigt.FieldByName("CGRUP")) {}

  // Appends the row unless one with the same subject, teacher and group
  // codes is there already (compared as the rows give them back).
  void Add(const std::string& subject, const std::string& teacher,
           const std::string& group, const CodeParts& parts, double hours) {
    if (written_.count({subject, teacher, group}) != 0) return;
    table_.Append();
    casig_.SetAsString(subject);
    cprof_.SetAsString(teacher);
    table_.FieldByName("CAULA").SetAsString("");
    cgrup_.SetAsString(group);
    table_.FieldByName("TURNO").SetAsString("");
    table_.FieldByName("NIVEL").SetAsString(parts.level);
    table_.FieldByName("CURSO").SetAsString(parts.course);
    table_.FieldByName("GRUPO").SetAsString(parts.letter);
    table_.FieldByName("HORAS").SetAsFloat(hours);
    table_.FieldByName("SESIONES").SetAsString(Sessions(hours));
    table_.FieldByName("CTAREA").SetAsString(kTeachingTask);
    written_.insert({casig_.AsString(), cprof_.AsString(), cgrup_.AsString()});
    table_.Post();
  }

 private:
  tables::Table& table_;
  tables::Field casig_;
  tables::Field cprof_;
  tables::Field cgrup_;
  std::set<LoadKey> written_;
};

}  // namespace

void ExportTeachingLoad(shell::TransferContext& context) {
  DeleteIntermediateFiles("ASIGT");
  auto asigt = CreateIntermediate(
      "ASIGT", {Text("CASIG", 10), Text("CPROF", 10), Text("CGRUP", 10),
                Text("CAULA", 10), Text("TURNO", 1), Text("NIVEL", 5),
                Text("CURSO", 3), Text("GRUPO", 2), Float("HORAS"),
                Text("SESIONES", 20), Text("NCONEX", 4), Text("CTAREA", 10)});
  auto asigvalt = OpenIntermediate("ASIGVALT");
  const SubjectCodes subjects(*asigvalt);
  auto proft = OpenIntermediate("PROFT");
  const TeacherCodes teachers(*proft);
  auto grupost = OpenIntermediate("GRUPOST");
  const std::unordered_set<std::string> groups = ReadGroupCodes(*grupost);

  OpenSource horgrup(context.wwTableHorGrup);
  tables::Field group_field = horgrup->FieldByName("Codgrup");
  tables::Field subject_field = horgrup->FieldByName("Codasig");
  tables::Field teacher_field = horgrup->FieldByName("Dni");
  LoadWriter writer(*asigt);
  for (; !horgrup->Eof(); horgrup->Next()) {
    const std::string group_code = group_field.AsString();
    if (groups.count(group_code) == 0) continue;
    const CodeParts parts = SplitCode(group_code);
    const SubjectCodes::Subject* subject =
        subjects.Find(Trim(subject_field.AsString()));
    const std::string teacher =
        teachers.Find(teacher_field.AsInteger()).value_or("");
    writer.Add(subject ? subject->code : "", teacher,
               std::string(Trim(group_code)), parts,
               subject ? subject->hours : 1.0);
  }
}

}  // namespace exporting
