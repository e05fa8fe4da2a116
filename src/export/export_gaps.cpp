#include "export/export_gaps.h"

#include <cmath>
#include <cstdio>

#include "export/export_text.h"

namespace exporting {
namespace {

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

}  // namespace

std::string Quoted(std::string_view text) {
  return "«" + std::string(text) + "»";
}

void NoteCut(shell::RunReport& report, std::string_view value, int width,
             const char* column, tables::Table& source, std::string_view who) {
  report.Add(kTextCut, source.RecNo(), std::string(who),
             std::string(column) + " cortado a " + std::to_string(width) +
                 " caracteres: " + Quoted(value) + " queda " +
                 Quoted(Chars(value, 1, width)));
}

void NoteHours(shell::RunReport& report, std::string_view horsemte,
               double hours, tables::Table& asignat, std::string_view who) {
  const std::string_view trimmed = Trim(horsemte);
  std::string why;
  if (trimmed.empty()) {
    why = "sin horas semanales";
  } else if (Trim(Chars(horsemte, 1, 2)) != trimmed) {
    why = "solo se leen sus dos primeros caracteres";
  } else if (hours == 1 &&
             (trimmed.front() == '-' ||
              trimmed.find_first_of("123456789") == std::string_view::npos)) {
    why = "cero o negativas";
  } else {
    return;
  }
  report.Add(kHoursGuessed, asignat.RecNo(), std::string(who),
             "Horsemte " + Quoted(horsemte) + ", " + why + ": NHORAS " +
                 Number(hours));
}

void NoteSessions(shell::RunReport& report, double hours,
                  std::string_view subject, std::string_view teacher,
                  std::string_view group) {
  const double lessons = std::nearbyint(hours);
  if (lessons > 0 && lessons <= 20) return;
  report.Add(
      kSessionsGuessed, 0,
      "CASIG " + Quoted(subject) + ", CPROF " + Quoted(teacher) + ", CGRUP " +
          Quoted(group),
      lessons > 20
          ? "HORAS " + Number(hours) + ": SESIONES cortado a 20 sesiones"
          : "HORAS " + Number(hours) + ": menos de media hora, SESIONES vacío");
}

}  // namespace exporting
