// Step 4: ALUMNOST, one row per student with a usable group code, with the
// student's subjects translated into timetabling codes through ASIGVALT.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "export/export_gaps.h"
#include "export/export_lookups.h"
#include "export/export_run.h"
#include "export/export_text.h"
#include "export/intermediate_table.h"

namespace exporting {
namespace {

constexpr int kSubjectPairs = 50;

std::vector<tables::FieldDef> StudentFields() {
  std::vector<tables::FieldDef> fields = {Text("EXPED", 20), Text("NOMBRE", 50),
                                          Text("TURNO", 1),  Text("NIVEL", 5),
                                          Text("CURSO", 3),  Text("GRUPO", 2),
                                          Text("OPCION", 1), Logical("REPITE")};
  for (int n = 1; n <= kSubjectPairs; ++n) {
    fields.push_back({"ASIG" + std::to_string(n), tables::FieldType::kText, 4});
    fields.push_back({"DIV" + std::to_string(n), tables::FieldType::kText, 1});
  }
  return fields;
}

// The turn of a student's group: Turno of the first grupos row, in stored
// order, whose Codgrup equals the student's group code or whose first four
// characters equal the student's course code.
class GroupTurns {
 public:
  explicit GroupTurns(tables::Table& grupos) {
    tables::Field code = grupos.FieldByName("Codgrup");
    tables::Field turn = grupos.FieldByName("Turno");
    for (int64_t row = 0; !grupos.Eof(); grupos.Next(), ++row) {
      const std::string group_code = code.AsString();
      const Entry entry{row, turn.AsString()};
      by_code_.emplace(group_code, entry);
      by_course_.emplace(Chars(group_code, 1, 4), entry);
    }
  }

  // nullptr when no group has the code or the course code.
  const std::string* Find(const std::string& group_code,
                          const std::string& course_code) const {
    const Entry* best = nullptr;
    if (auto it = by_code_.find(group_code); it != by_code_.end())
      best = &it->second;
    if (auto it = by_course_.find(course_code);
        it != by_course_.end() && (!best || it->second.row < best->row))
      best = &it->second;
    return best ? &best->turn : nullptr;
  }

 private:
  struct Entry {
    int64_t row;
    std::string turn;
  };
  std::unordered_map<std::string, Entry> by_code_;
  std::unordered_map<std::string, Entry> by_course_;
};

// Each student's matched subjects, in the stored order of asigalum. A row
// belongs to the student whose code equals its Codigo, both taken padded
// with blanks to 10 characters, that is, equal once trailing blanks go.
class StudentSubjects {
 public:
  using List = std::vector<const SubjectCodes::Subject*>;

  // Reads every row of `asigalum` from the current one.
  StudentSubjects(tables::Table& asigalum, const SubjectCodes& subjects,
                  shell::RunReport& report) {
    tables::Field student = asigalum.FieldByName("Codigo");
    tables::Field subject = asigalum.FieldByName("Codasig");
    // A student's rows usually follow each other: the list of the row before
    // serves again without a search.
    std::string last_student;
    List* list = nullptr;
    for (; !asigalum.Eof(); asigalum.Next()) {
      std::string code = student.AsString();
      if (list == nullptr || code != last_student) {
        auto [entry, added] = by_student_.try_emplace(code);
        if (added) in_order_.emplace_back(code, &entry->second);
        list = &entry->second;
        last_student = std::move(code);
      }
      // A subject missing from ASIGVALT uses no column.
      if (const auto* found = subjects.Find(subject.AsString())) {
        list->push_back(found);
        if (shell::RunReport::TooLong(found->code, 4)) NoteCut4(report, found);
      } else {
        report.Add(kStudentSubjectMissing, asigalum.RecNo(), last_student,
                   "asignatura " + Quoted(subject.AsString()) + " omitida");
      }
    }
  }

  // The subjects of the student `code`. Students usually come in the order
  // in which asigalum first names them, so the next one is tried first.
  const List& For(const std::string& code) {
    if (next_ < in_order_.size() && in_order_[next_].first == code)
      return *in_order_[next_++].second;
    auto found = by_student_.find(code);
    return found == by_student_.end() ? kNone : found->second;
  }

 private:
  // A subject's code cut to ASIGn's 4 characters, noted once.
  void NoteCut4(shell::RunReport& report, const SubjectCodes::Subject* found) {
    if (!cut_.insert(found).second) return;
    report.Add(kSubjectCodeCut, 0, found->code,
               "ASIGn lleva " + Quoted(Chars(found->code, 1, 4)));
  }

  static inline const List kNone;
  std::unordered_set<const SubjectCodes::Subject*> cut_;
  std::unordered_map<std::string, List> by_student_;
  std::vector<std::pair<std::string, const List*>> in_order_;
  size_t next_ = 0;
};

// Writes ALUMNOST rows through field handles looked up once.
class StudentWriter {
 public:
  explicit StudentWriter(tables::Table& alumnost)
      : table_(alumnost),
        exped_(alumnost.FieldByName("EXPED")),
        nombre_(alumnost.FieldByName("NOMBRE")),
        turno_(alumnost.FieldByName("TURNO")),
        nivel_(alumnost.FieldByName("NIVEL")),
        curso_(alumnost.FieldByName("CURSO")),
        grupo_(alumnost.FieldByName("GRUPO")),
        opcion_(alumnost.FieldByName("OPCION")),
        repite_(alumnost.FieldByName("REPITE")) {
    for (int n = 1; n <= kSubjectPairs; ++n) {
      asig_.push_back(table_.FieldByName("ASIG" + std::to_string(n)));
    }
  }

  // Appends the student's row and sets its fixed fields; returns the
  // student code as the row holds it.
  std::string Begin(const std::string& code, const std::string& name,
                    const std::string& turn, const CodeParts& parts,
                    bool repeats) {
    table_.Append();
    exped_.SetAsString(code);
    nombre_.SetAsString(name);
    turno_.SetAsString(turn);
    nivel_.SetAsString(parts.level);
    curso_.SetAsString(parts.course);
    grupo_.SetAsString(parts.letter);
    opcion_.SetAsString("");  // always empty
    repite_.SetAsBoolean(repeats);
    return exped_.AsString();
  }

  // Writes the pending row's subject columns, one pair per subject, and
  // posts it. More than 50 subjects fail on the missing field "ASIG51".
  // DIVn stays empty: the new row's text fields are blank already, which is
  // what writing an empty text would store.
  void Finish(const StudentSubjects::List& list) {
    for (size_t i = 0; i < list.size(); ++i) {
      if (i >= asig_.size()) table_.FieldByName("ASIG" + std::to_string(i + 1));
      asig_[i].SetAsString(list[i]->code);
    }
    table_.Post();
  }

 private:
  tables::Table& table_;
  tables::Field exped_, nombre_, turno_, nivel_, curso_, grupo_, opcion_,
      repite_;
  std::vector<tables::Field> asig_;
};

void NoteStudent(shell::RunReport& report, Gap kind, tables::Table& alumnos,
                 const std::string& group_code) {
  const std::string code = alumnos.FieldByName("Codigo").AsString();
  const std::string name = alumnos.FieldByName("Apenom").AsString();
  report.Add(
      kind, alumnos.RecNo(), code + " " + name,
      "grupo " + Quoted(group_code) +
          (kind == kStudentWithoutGroup ? ": no exportado" : ": TURNO vacío"));
}

}  // namespace

void ExportStudents(shell::TransferContext& context) {
  DeleteIntermediateFiles(context.files(), "ALUMNOST");
  auto alumnost =
      CreateIntermediate(context.files(), "ALUMNOST", StudentFields());
  auto asigvalt = OpenIntermediate(context.files(), "ASIGVALT", "CODVALEN");
  const SubjectCodes subjects(*asigvalt);
  OpenSource grupos(context.wwTableGrupos);
  const GroupTurns turns(*grupos);
  OpenSource alumnos(context.wwTableAlumnos);
  OpenSource asigalum(context.wwTableAsigAlum);
  StudentSubjects subjects_of(*asigalum, subjects, context.report);

  StudentWriter writer(*alumnost);
  tables::Field code_field = alumnos->FieldByName("Codigo");
  tables::Field name_field = alumnos->FieldByName("Apenom");
  tables::Field group_field = alumnos->FieldByName("Codgrup");
  tables::Field course_field = alumnos->FieldByName("Codcur");
  tables::Field repeats_field = alumnos->FieldByName("Repite");
  for (; !alumnos->Eof(); alumnos->Next()) {
    const std::string group_code = group_field.AsString();
    const CodeParts parts = SplitCode(group_code);
    if (parts.level.empty() || parts.course.empty()) {
      NoteStudent(context.report, kStudentWithoutGroup, *alumnos, group_code);
      continue;
    }
    const std::string code = code_field.AsString();
    const std::string name = name_field.AsString();
    NoteIfCut(context.report, code, 20, "ALUMNOST.EXPED", *alumnos, code);
    NoteIfCut(context.report, name, 50, "ALUMNOST.NOMBRE", *alumnos, code);
    const std::string* turn = turns.Find(group_code, course_field.AsString());
    if (!turn)
      NoteStudent(context.report, kStudentWithoutTurn, *alumnos, group_code);
    // The student is matched through the code as stored in EXPED.
    const std::string exped =
        writer.Begin(code, name, turn ? *turn : std::string(), parts,
                     repeats_field.AsInteger() == 1);
    writer.Finish(subjects_of.For(exped));
  }
  alumnost->Close();
}

}  // namespace exporting
