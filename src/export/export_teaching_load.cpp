// Step 7: ASIGT, the teaching load taken from the administration's group
// timetable: one row per distinct (subject, teacher, group) among the
// lessons of groups that GRUPOST holds.

#include <cmath>
#include <optional>
#include <string>
#include <unordered_set>

#include "export/export_gaps.h"
#include "export/export_lookups.h"
#include "export/export_run.h"
#include "export/export_text.h"
#include "export/intermediate_table.h"

namespace exporting {
namespace {

// Every teaching row names the task of occupation code 12.
constexpr char kTeachingTask[] = "*12";

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

// One text made of the three codes, each preceded by its length, so that
// different triples never give the same key.
std::string LoadKey(const std::string& subject, const std::string& teacher,
                    std::string_view group) {
  std::string key;
  for (std::string_view part :
       {std::string_view(subject), std::string_view(teacher), group}) {
    key += std::to_string(part.size());
    key += ':';
    key += part;
  }
  return key;
}

class LoadWriter {
 public:
  LoadWriter(tables::Table& asigt, shell::RunReport& report)
      : table_(asigt),
        report_(report),
        casig_(asigt.FieldByName("CASIG")),
        cprof_(asigt.FieldByName("CPROF")),
        cgrup_(asigt.FieldByName("CGRUP")),
        caula_(asigt.FieldByName("CAULA")),
        turno_(asigt.FieldByName("TURNO")),
        nivel_(asigt.FieldByName("NIVEL")),
        curso_(asigt.FieldByName("CURSO")),
        grupo_(asigt.FieldByName("GRUPO")),
        horas_(asigt.FieldByName("HORAS")),
        sesiones_(asigt.FieldByName("SESIONES")),
        ctarea_(asigt.FieldByName("CTAREA")) {}

  // Appends the row unless one with the same subject, teacher and group
  // codes is there already (compared as the rows give them back).
  void Add(const std::string& subject, const std::string& teacher,
           std::string_view group, std::string_view group_as_read,
           double hours) {
    if (written_.count(LoadKey(subject, teacher, group)) != 0) return;
    const CodeParts parts = SplitCode(group_as_read);
    NoteSessions(report_, hours, subject, teacher, group);
    table_.Append();
    casig_.SetAsString(subject);
    cprof_.SetAsString(teacher);
    caula_.SetAsString("");
    cgrup_.SetAsString(group);
    turno_.SetAsString("");
    nivel_.SetAsString(parts.level);
    curso_.SetAsString(parts.course);
    grupo_.SetAsString(parts.letter);
    horas_.SetAsFloat(hours);
    sesiones_.SetAsString(Sessions(hours));
    ctarea_.SetAsString(kTeachingTask);
    written_.insert(
        LoadKey(casig_.AsString(), cprof_.AsString(), cgrup_.AsString()));
    table_.Post();
  }

 private:
  tables::Table& table_;
  shell::RunReport& report_;
  tables::Field casig_, cprof_, cgrup_, caula_, turno_, nivel_, curso_, grupo_,
      horas_, sesiones_, ctarea_;
  std::unordered_set<std::string> written_;
};

void NoteLesson(shell::RunReport& report, Gap kind, tables::Table& horgrup,
                std::string who, const char* what) {
  report.Add(kind, horgrup.RecNo(), std::move(who), what);
}

}  // namespace

void ExportTeachingLoad(shell::TransferContext& context) {
  DeleteIntermediateFiles(context.files(), "ASIGT");
  auto asigt = CreateIntermediate(
      context.files(), "ASIGT",
      {Text("CASIG", 10), Text("CPROF", 10), Text("CGRUP", 10),
       Text("CAULA", 10), Text("TURNO", 1), Text("NIVEL", 5), Text("CURSO", 3),
       Text("GRUPO", 2), Float("HORAS"), Text("SESIONES", 20),
       Text("NCONEX", 4), Text("CTAREA", 10)});
  auto asigvalt = OpenIntermediate(context.files(), "ASIGVALT");
  const SubjectCodes subjects(*asigvalt);
  auto proft = OpenIntermediate(context.files(), "PROFT");
  const TeacherCodes teachers(*proft);
  auto grupost = OpenIntermediate(context.files(), "GRUPOST");
  const std::unordered_set<std::string> groups = ReadGroupCodes(*grupost);
  static const std::string kNone;

  OpenSource horgrup(context.wwTableHorGrup);
  tables::Field group_field = horgrup->FieldByName("Codgrup");
  tables::Field subject_field = horgrup->FieldByName("Codasig");
  tables::Field teacher_field = horgrup->FieldByName("Dni");
  LoadWriter writer(*asigt, context.report);
  // Lessons of one subject, teacher and group usually follow each other;
  // such a lesson adds nothing, so it needs no search.
  std::string last_group, last_subject;
  int64_t last_dni = 0;
  bool have_last = false;
  // The last group code looked up, and whether GRUPOST has it.
  std::optional<std::string> seen_group;
  bool seen_group_known = false;
  for (; !horgrup->Eof(); horgrup->Next()) {
    std::string group_code = group_field.AsString();
    if (group_code != seen_group) {
      seen_group_known = groups.count(group_code) != 0;
      seen_group = group_code;
    }
    if (!seen_group_known) {
      context.report.Add(kLessonGroupUnknown, horgrup->RecNo(), group_code,
                         "sesión no exportada a ASIGT");
      continue;
    }
    std::string subject_code = subject_field.AsString();
    const int64_t dni = teacher_field.AsInteger();
    if (have_last && dni == last_dni && group_code == last_group &&
        subject_code == last_subject) {
      continue;
    }
    const SubjectCodes::Subject* subject = subjects.Find(Trim(subject_code));
    const std::string* teacher = teachers.Find(dni);
    if (!subject)
      NoteLesson(context.report, kLessonSubjectUnknown, *horgrup,
                 "asignatura " + Quoted(Trim(subject_code)),
                 "CASIG vacío, HORAS 1");
    if (!teacher)
      NoteLesson(context.report, kLessonTeacherUnknown, *horgrup,
                 "D.N.I. " + std::to_string(dni), "CPROF vacío");
    writer.Add(subject ? subject->code : kNone, teacher ? *teacher : kNone,
               Trim(group_code), group_code, subject ? subject->hours : 1.0);
    last_group = std::move(group_code);
    last_subject = std::move(subject_code);
    last_dni = dni;
    have_last = true;
  }
  asigt->Close();
}

}  // namespace exporting
