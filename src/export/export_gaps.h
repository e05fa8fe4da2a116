#pragma once

// The kinds of case the export notes in its report, and the checks the steps
// make where they decide a case. A check costs a comparison when there is
// nothing to note; the texts are made only for a case.

#include <cstdint>
#include <string>
#include <string_view>

#include "shell/run_report.h"
#include "tables/table.h"

namespace exporting {

enum Gap : int {
  kTextCut = 1,            // a value longer than its field, stored cut
  kHoursGuessed,           // Horsemte blank, zero, negative or cut to 2
  kSubjectSharesCode,      // left out of ASIGNOMT behind an equal COD
  kTeacherLeft,            // "de baja": not exported
  kTeacherWithoutDni,      // exported with DNI 0
  kTeacherRenumbered,      // abbreviation made unique with a number
  kRoomNotReturned,        // a code the import cannot bring back as a room
  kStudentWithoutGroup,    // group code shorter than 2: not exported
  kStudentWithoutTurn,     // no grupos row: TURNO empty
  kStudentSubjectMissing,  // asigalum subject without ASIGVALT: left out
  kSubjectCodeCut,         // COD cut to the 4 characters of ASIGn
  kGroupTooShort,          // group code shorter than 2: left out
  kGroupRepeated,          // a later grupos row of a group already written
  kGroupWithoutTutor,      // TUTOR empty
  kLessonGroupUnknown,     // horgrup lesson of a group not in GRUPOST
  kLessonSubjectUnknown,   // CASIG empty, HORAS 1
  kLessonTeacherUnknown,   // CPROF empty
  kSessionsGuessed,        // SESIONES empty or cut to 20
};

// "«text»", the way the report quotes a value.
std::string Quoted(std::string_view text);

void NoteCut(shell::RunReport& report, std::string_view value, int width,
             const char* column, tables::Table& source, std::string_view who);

// Notes `value` as cut when it has more than `width` characters. `column` is
// "TABLE.FIELD"; the row is `source`'s current one.
inline void NoteIfCut(shell::RunReport& report, std::string_view value,
                      int width, const char* column, tables::Table& source,
                      std::string_view who) {
  if (shell::RunReport::TooLong(value, width))
    NoteCut(report, value, width, column, source, who);
}

// Notes the weekly hours of a subject when they were not read as written:
// a blank, zero or negative Horsemte (1 taken), or one cut to 2 characters.
void NoteHours(shell::RunReport& report, std::string_view horsemte,
               double hours, tables::Table& asignat, std::string_view who);

// Notes a SESIONES pattern that does not carry the hours: empty for less
// than half an hour, or cut to its 20 characters.
// The row is named by its CASIG, CPROF and CGRUP.
void NoteSessions(shell::RunReport& report, double hours,
                  std::string_view subject, std::string_view teacher,
                  std::string_view group);

}  // namespace exporting
