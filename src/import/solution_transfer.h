#pragma once

// Turns every lesson of the solution table into a row of the teachers'
// timetable (horprof) and, for a group lesson, also a row of the groups'
// timetable (horgrup).

#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <string_view>

#include "import/period_times.h"
#include "import/solution_lookups.h"
#include "import/solution_notes.h"
#include "tables/table.h"

namespace importing {

// The room number of a solution AULA text: its whole-number value when the
// text is a whole number (optional leading blanks, an optional sign, decimal
// digits, nothing after them) no longer than 3 characters once trimmed.
std::optional<int64_t> RoomNumber(std::string_view aula);

// The occupation code of a TAREA: the text without its first character (a
// view into `tarea`).
std::string_view OccupationOf(std::string_view tarea);

// True when `text` holds nothing but blanks (or control characters).
bool IsBlank(std::string_view text);

class SolutionTransfer {
 public:
  struct Tables {
    tables::Table& soluc;     // open, standing on the first row to transfer
    tables::Table& proft;     // open, no index
    tables::Table& asigvalt;  // open, index CODVALEN selected
    tables::Table& horprof;   // open, receives the appended rows
    tables::Table& horgrup;   // open, receives the appended rows
  };

  SolutionTransfer(Tables tables, const PeriodTimes& times, std::string centre);

  // Transfers the current solution row and every later one, in stored order.
  // Rows with DIA 0 are passed over. Closes nothing. A missing field or a
  // value that is no whole number where one is read ends the transfer with
  // the engine's error, after the rows before it have been stored: exactly
  // where a row-by-row walk would stop. Rows are read a batch at a time and
  // then written, all on the caller's thread.
  void Run();

  // Hands every row read to `notes` (nullptr for none). REQUIRES: before
  // Run.
  void SetNotes(SolutionNotes* notes) { notes_ = notes; }

  int64_t horprof_rows() const { return horprof_rows_; }
  int64_t horgrup_rows() const { return horgrup_rows_; }

 private:
  // A field reached by name on first use; the handle stays valid while its
  // table stays open.
  class LazyField {
   public:
    LazyField(tables::Table& table, const char* name)
        : table_(table), name_(name) {}
    tables::Field& operator*() {
      if (!field_) field_ = table_.FieldByName(name_);
      return *field_;
    }
    tables::Field* operator->() { return &**this; }
    // True once the field has been reached (the first use did not fail).
    bool reached() const { return field_.has_value(); }

   private:
    tables::Table& table_;
    const char* name_;
    std::optional<tables::Field> field_;
  };

  // The reads and searches of one row, in the order the row makes them.
  enum class Step : uint8_t {
    kDia,
    kHora,
    kTarea,
    kProf,
    kDni,
    kNivel,
    kCurso,
    kAsig,
    kCodvalen,
    kCodgrupo,
    kAula,
    kDone
  };
  // What one solution row with a DIA other than 0 gives the timetables.
  struct ReadRow {
    Step failed = Step::kDone;  // the read that failed, or kDone
    bool group = false;         // a group lesson: NIVEL and CURSO not blank
    int64_t dia = 0;
    int64_t hora = 0;
    int64_t dni = 0;
    std::string ocupa;
    std::string codgrupo;
    const std::string* codasig = nullptr;
    std::optional<int64_t> room;
  };
  struct Batch;

  // The reading side: fills `batch` from the current solution row on.
  void ReadBatch(Batch& batch);
  // Reads the current solution row into `row`; false for DIA 0. A failing
  // read throws, with row.failed telling which it was.
  bool ReadInto(ReadRow& row);
  // The writing side: the rows of `batch`, then its error if it has one.
  void WriteBatch(const Batch& batch);
  // Writes one row as the walk would, stopping with `error` where the
  // row's failed read stood.
  void WriteRow(const ReadRow& row, const std::exception_ptr& error);

  Tables t_;
  const PeriodTimes& times_;
  std::string centre_;
  SolutionNotes* notes_ = nullptr;
  TeacherLookup teachers_;
  SubjectLookup subjects_;
  int64_t horprof_rows_ = 0;
  int64_t horgrup_rows_ = 0;
  // Room for the texts of the current solution row that are not read
  // straight from the record, one string per field, reused for every row.
  std::string tarea_text_, prof_text_, nivel_text_, curso_text_, asig_text_,
      codgrupo_text_, aula_text_;

  LazyField dia_{t_.soluc, "DIA"}, hora_{t_.soluc, "HORA"},
      tarea_{t_.soluc, "TAREA"}, prof_{t_.soluc, "PROF"},
      nivel_{t_.soluc, "NIVEL"}, curso_{t_.soluc, "CURSO"},
      asig_{t_.soluc, "ASIG"}, codgrupo_{t_.soluc, "CODGRUPO"},
      aula_{t_.soluc, "AULA"};
  LazyField p_diasem_{t_.horprof, "Diasem"}, p_numhora_{t_.horprof, "Numhora"},
      p_horad_{t_.horprof, "Horad"}, p_horah_{t_.horprof, "Horah"},
      p_ocupa_{t_.horprof, "Ocupa"}, p_codcen_{t_.horprof, "Codcen"},
      p_dni_{t_.horprof, "dni"};
  LazyField g_diasem_{t_.horgrup, "Diasem"}, g_numhora_{t_.horgrup, "Numhora"},
      g_hordiades_{t_.horgrup, "Hordiades"},
      g_hordiahas_{t_.horgrup, "Hordiahas"}, g_codcen_{t_.horgrup, "Codcen"},
      g_dni_{t_.horgrup, "dni"}, g_codgrup_{t_.horgrup, "codgrup"},
      g_codasig_{t_.horgrup, "codasig"}, g_codaula_{t_.horgrup, "CODAULA"};
};

}  // namespace importing
