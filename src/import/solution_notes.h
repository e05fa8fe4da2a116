#pragma once

// What the import found in the solution, row by row, for its report page:
// the lessons of the week, and the rows whose teacher, subject, day, period,
// room or period times could not be carried into the timetables as they
// were. The solution transfer hands each row over where it handles it; the
// notes read the texts they show from the solution's current row.
//
// Only the transfer calls Row, and nothing else uses the notes until it has
// returned.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "import/period_times.h"
#include "shell/run_report.h"
#include "tables/table.h"

namespace importing {

enum ImportCase : int {
  kTeacherNotInProft = 1,  // PROF matches no ABREV: D.N.I. 0
  kSubjectNotInAsigvalt,   // no ASIGVALT row: codasig empty
  kDayZero,                // DIA 0: the row is passed over
  kDayOutsideWeek,         // DIA outside Monday to Friday
  kPeriodOutside,          // HORA outside 1 to 20: no times
  kRoomUnusable,           // AULA not a number of up to 3 digits
  kPeriodWithoutTimes,     // the period's start or end time is empty
};

inline constexpr int kWeekDays = 5;  // Monday to Friday

// One lesson placed in the week, as the solution gives it.
struct Lesson {
  int64_t day = 0;
  int64_t period = 0;
  bool group_lesson = false;
  std::string teacher;  // PROF
  std::string subject;  // ASIG for a group lesson, else the occupation
  std::string group;    // CODGRUPO; empty for a duty of the teacher alone
  std::string room;     // AULA as written in the solution
};

class SolutionNotes {
 public:
  SolutionNotes(shell::RunReport& report, const PeriodTimes& times)
      : report_(report), times_(times) {}

  // The solution row `soluc` stands on has been read: `dia` 0 for a row
  // passed over (nothing else of it was read); otherwise its period, the
  // teacher's D.N.I. (0 for none), and for a group lesson the subject code
  // found (empty for none) and the room number kept.
  void Row(tables::Table& soluc, int64_t dia, int64_t hora, int64_t dni,
           const std::string* codasig, std::optional<int64_t> room);

  const std::vector<Lesson>& lessons() const { return lessons_; }

 private:
  std::string Text(tables::Table& soluc, std::optional<tables::Field>& field,
                   const char* name);
  void NoteTimes(int64_t row, int64_t hora);

  shell::RunReport& report_;
  const PeriodTimes& times_;
  std::vector<Lesson> lessons_;
  std::optional<tables::Field> prof_, tarea_, nivel_, curso_, asig_, codgrupo_,
      aula_;
};

}  // namespace importing
