#include "import/solution_notes.h"

#include "import/solution_transfer.h"

namespace importing {
namespace {

std::string Quoted(const std::string& text) { return "«" + text + "»"; }

}  // namespace

std::string SolutionNotes::Text(tables::Table& soluc,
                                std::optional<tables::Field>& field,
                                const char* name) {
  if (!field) field = soluc.FieldByName(name);
  return field->AsString();
}

void SolutionNotes::Row(tables::Table& soluc, int64_t dia, int64_t hora,
                        int64_t dni, const std::string* codasig,
                        std::optional<int64_t> room) {
  const int64_t row = soluc.RecNo();
  if (dia == 0) {
    report_.Add(kDayZero, row, "Fila " + std::to_string(row),
                "DIA 0: la fila no pasa al horario");
    return;
  }
  Lesson lesson;
  lesson.day = dia;
  lesson.period = hora;
  lesson.teacher = Text(soluc, prof_, "PROF");
  lesson.group_lesson = codasig != nullptr;
  if (lesson.group_lesson) {
    lesson.subject = Text(soluc, asig_, "ASIG");
    lesson.group = Text(soluc, codgrupo_, "CODGRUPO");
    lesson.room = Text(soluc, aula_, "AULA");
  } else {
    lesson.subject = std::string(OccupationOf(Text(soluc, tarea_, "TAREA")));
  }
  if (dni == 0)
    report_.Add(kTeacherNotInProft, row, "Profesor " + Quoted(lesson.teacher),
                "no está en PROFT: D.N.I. 0 en el horario");
  if (codasig && codasig->empty())
    report_.Add(kSubjectNotInAsigvalt, row,
                "Asignatura " + Quoted(lesson.subject) + " de " +
                    Text(soluc, curso_, "CURSO") + " " +
                    Text(soluc, nivel_, "NIVEL"),
                "no está en ASIGVALT: codasig vacío en horgrup");
  if (dia < 1 || dia > kWeekDays)
    report_.Add(kDayOutsideWeek, row, "DIA " + std::to_string(dia),
                "fuera de lunes a viernes: se escribe, pero no sale en la "
                "semana");
  NoteTimes(row, hora);
  if (lesson.group_lesson && !room && !IsBlank(lesson.room))
    report_.Add(kRoomUnusable, row, "Aula " + Quoted(lesson.room),
                "no es un número de hasta 3 cifras: CODAULA vacío");
  lessons_.push_back(std::move(lesson));
}

void SolutionNotes::NoteTimes(int64_t row, int64_t hora) {
  if (!PeriodTimes::InRange(hora)) {
    report_.Add(kPeriodOutside, row, "HORA " + std::to_string(hora),
                "fuera de las 20 horas: se escribe sin horas");
    return;
  }
  const PeriodTimes::Slot& slot = times_.At(hora);
  if (!slot.start.empty() && !slot.end.empty()) return;
  report_.Add(kPeriodWithoutTimes, row, "Hora " + std::to_string(hora),
              slot.start.empty() && slot.end.empty()
                  ? "sin horas de inicio y fin: se escribe sin ellas"
                  : "le falta la hora de inicio o de fin: se escribe vacía");
}

}  // namespace importing
