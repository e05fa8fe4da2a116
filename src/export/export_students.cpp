// Step 4: ALUMNOST, one row per student with a usable group code, with the
// student's subjects translated into timetabling codes through ASIGVALT.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

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

  std::string Find(const std::string& group_code,
                   const std::string& course_code) const {
    const Entry* best = nullptr;
    if (auto it = by_code_.find(group_code); it != by_code_.end())
      best = &it->second;
    if (auto it = by_course_.find(course_code);
        it != by_course_.end() && (!best || it->second.row < best->row))
      best = &it->second;
    return best ? best->turn : "";
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
using SubjectsByStudent =
    std::unordered_map<std::string, std::vector<const SubjectCodes::Subject*>>;

SubjectsByStudent ReadStudentSubjects(tables::Table& asigalum,
                                      const SubjectCodes& subjects) {
  SubjectsByStudent result;
  tables::Field student = asigalum.FieldByName("Codigo");
  tables::Field subject = asigalum.FieldByName("Codasig");
  for (; !asigalum.Eof(); asigalum.Next()) {
    auto& list = result[student.AsString()];
    // A subject missing from ASIGVALT uses no column.
    if (const auto* found = subjects.Find(subject.AsString()))
      list.push_back(found);
  }
  return result;
}

class StudentWriter {
 public:
  explicit StudentWriter(tables::Table& alumnost) : table_(alumnost) {
    for (int n = 1; n <= kSubjectPairs; ++n) {
      asig_.push_back(table_.FieldByName("ASIG" + std::to_string(n)));
      div_.push_back(table_.FieldByName("DIV" + std::to_string(n)));
    }
  }

  // Writes the pending row's subject columns, one pair per subject.
  // More than 50 subjects fail on the missing field "ASIG51".
  void SetSubjects(const std::vector<const SubjectCodes::Subject*>& list) {
    for (size_t i = 0; i < list.size(); ++i) {
      if (i >= asig_.size()) table_.FieldByName("ASIG" + std::to_string(i + 1));
      asig_[i].SetAsString(list[i]->code);
      div_[i].SetAsString("");
    }
  }

 private:
  tables::Table& table_;
  std::vector<tables::Field> asig_;
  std::vector<tables::Field> div_;
};

}  // namespace

void ExportStudents(shell::TransferContext& context) {
  DeleteIntermediateFiles("ALUMNOST");
  auto alumnost = CreateIntermediate("ALUMNOST", StudentFields());
  auto asigvalt = OpenIntermediate("ASIGVALT", "CODVALEN");
  const SubjectCodes subjects(*asigvalt);
  OpenSource grupos(context.wwTableGrupos);
  const GroupTurns turns(*grupos);
  OpenSource alumnos(context.wwTableAlumnos);
  OpenSource asigalum(context.wwTableAsigAlum);
  const SubjectsByStudent subjects_of =
      ReadStudentSubjects(*asigalum, subjects);
  static const std::vector<const SubjectCodes::Subject*> kNone;

  StudentWriter writer(*alumnost);
  tables::Field exped = alumnost->FieldByName("EXPED");
  for (; !alumnos->Eof(); alumnos->Next()) {
    const std::string group_code = alumnos->FieldByName("Codgrup").AsString();
    const CodeParts parts = SplitCode(group_code);
    if (parts.level.empty() || parts.course.empty()) continue;
    const std::string turn =
        turns.Find(group_code, alumnos->FieldByName("Codcur").AsString());
    alumnost->Append();
    exped.SetAsString(alumnos->FieldByName("Codigo").AsString());
    alumnost->FieldByName("NOMBRE").SetAsString(
        alumnos->FieldByName("Apenom").AsString());
    alumnost->FieldByName("TURNO").SetAsString(turn);
    alumnost->FieldByName("NIVEL").SetAsString(parts.level);
    alumnost->FieldByName("CURSO").SetAsString(parts.course);
    alumnost->FieldByName("GRUPO").SetAsString(parts.letter);
    alumnost->FieldByName("OPCION").SetAsString("");
    alumnost->FieldByName("REPITE").SetAsBoolean(
        alumnos->FieldByName("Repite").AsInteger() == 1);
    // The student is matched through the code as stored in EXPED.
    auto found = subjects_of.find(exped.AsString());
    writer.SetSubjects(found == subjects_of.end() ? kNone : found->second);
    alumnost->Post();
  }
}

}  // namespace exporting
