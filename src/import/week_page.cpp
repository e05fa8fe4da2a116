#include "import/week_page.h"

#include <algorithm>
#include <exception>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/file_system.h"
#include "shell/report_page.h"

namespace importing {
namespace {

using shell::HtmlEscape;

constexpr const char* kDayNames[kWeekDays] = {"Lunes", "Martes", "Miércoles",
                                              "Jueves", "Viernes"};

constexpr char kWeekStyle[] = R"(
section.week { break-inside: avoid; margin-bottom: 1.2em; }
section.week h3 { font-size: 11pt; margin: .8em 0 .3em; color: #123c69; }
table.week { table-layout: fixed; font-size: 8.5pt; }
table.week th.period { width: 4.6em; background: #eef2f6; }
table.week th.period small { display: block; font-weight: normal;
                             color: #444; }
table.week td { height: 2.6em; padding: 1px 2px; }
div.lesson { border-radius: 3px; padding: 1px 3px; margin: 1px 0;
             border: 1px solid #9aa7b4; }
div.lesson b { color: #111; }
div.lesson span { color: #333; }
ul.names { columns: 4; padding-left: 1.2em; font-size: 9pt; }
)";

const std::vector<shell::CaseKind>& Kinds() {
  static const std::vector<shell::CaseKind> kinds = {
      {kTeacherNotInProft, "profesor-desconocido",
       "Profesores que no están en PROFT",
       "La abreviatura de la solución no es la de ningún profesor: la sesión "
       "se guarda con D.N.I. 0 y ZELMAR no la asigna a nadie."},
      {kSubjectNotInAsigvalt, "asignatura-desconocida",
       "Asignaturas que no están en ASIGVALT",
       "Ninguna asignatura tiene ese nivel, curso y código: horgrup guarda "
       "la sesión con codasig vacío."},
      {kDayZero, "dia-cero", "Filas con DIA 0",
       "Quendrix no colocó la sesión: la fila no pasa al horario."},
      {kDayOutsideWeek, "dia-fuera", "Días fuera de la semana",
       "El día no es de lunes a viernes: se escribe tal cual, pero no sale en "
       "las tablas de la semana."},
      {kPeriodOutside, "hora-fuera", "Horas fuera de las 20 del día",
       "La hora no está entre 1 y 20: se escribe sin hora de inicio ni de "
       "fin y no sale en las tablas de la semana."},
      {kRoomUnusable, "aula-inservible", "Aulas que no se pudieron usar",
       "ZELMAR guarda el aula como un número de hasta 3 cifras: la sesión "
       "se guarda sin aula."},
      {kPeriodWithoutTimes, "hora-sin-tiempos",
       "Horas sin hora de inicio o de fin",
       "La hora no tiene tiempos en la plantilla del centro: las sesiones se "
       "guardan con esos tiempos vacíos."},
  };
  return kinds;
}

// A pale colour of its own for each subject, so that a subject is found at
// a glance; the text on it stays dark.
std::string Colour(const std::string& subject) {
  unsigned hash = 2166136261u;
  for (unsigned char c : subject) hash = (hash ^ c) * 16777619u;
  return "hsl(" + std::to_string(hash % 360) + ",65%,88%)";
}

struct Week {
  std::string label;  // in the index: the group's code, the abbreviation
  std::string heading;
  std::string anchor;
  std::vector<const Lesson*> lessons;
};

// One lesson in a cell, appended to `out`.
// Each subject's colour as a class of its own ("k12"), so that a lesson
// names its class instead of carrying its colour.
class SubjectClasses {
 public:
  explicit SubjectClasses(const std::vector<Lesson>& lessons) {
    for (const Lesson& lesson : lessons) {
      auto [entry, added] = names_.try_emplace(lesson.subject);
      if (!added) continue;
      entry->second = "k" + std::to_string(names_.size());
      rules_ += "div." + entry->second +
                " { background: " + Colour(lesson.subject) + "; }\n";
    }
  }
  const std::string& For(const std::string& subject) const {
    return names_.at(subject);
  }
  const std::string& rules() const { return rules_; }

 private:
  std::unordered_map<std::string, std::string> names_;
  std::string rules_;
};

void AppendLesson(std::string& out, const Lesson& lesson, bool of_group,
                  const SubjectClasses& classes) {
  out += "<div class=\"lesson ";
  out += classes.For(lesson.subject);
  out += "\"><b>";
  out += HtmlEscape(lesson.subject);
  out += "</b> <span>";
  out += HtmlEscape(of_group ? lesson.teacher : lesson.group);
  if (!lesson.room.empty()) {
    out += " · ";
    out += HtmlEscape(lesson.room);
  }
  out += "</span></div>";
}

// One grid, appended to `out`: a column per weekday, a row per period from
// the first to the last one of the week.
void AppendGrid(std::string& out, const Week& week, const PeriodTimes& times,
                bool of_group, const SubjectClasses& classes) {
  std::string cells[kPeriodCount][kWeekDays];
  int64_t last_period = 0;
  for (const Lesson* lesson : week.lessons) {
    if (lesson->day < 1 || lesson->day > kWeekDays ||
        !PeriodTimes::InRange(lesson->period))
      continue;
    last_period = std::max(last_period, lesson->period);
    AppendLesson(cells[lesson->period - 1][lesson->day - 1], *lesson, of_group,
                 classes);
  }
  out += "<section class=\"week\"><h3 id=\"" + week.anchor + "\">" +
         HtmlEscape(week.heading) +
         "</h3>\n<table class=\"week\"><thead><tr>"
         "<th class=\"period\">Hora</th>";
  for (const char* day : kDayNames) out += "<th>" + std::string(day) + "</th>";
  out += "</tr></thead>\n<tbody>\n";
  for (int64_t period = 1; period <= last_period; ++period) {
    const PeriodTimes::Slot& slot = times.At(period);
    out += "<tr><th class=\"period\">" + std::to_string(period) + "ª<small>" +
           HtmlEscape(slot.start) + (slot.end.empty() ? "" : "–") +
           HtmlEscape(slot.end) + "</small></th>";
    for (const std::string& cell : cells[period - 1]) {
      out += "<td>";
      out += cell;
      out += "</td>";
    }
    out += "</tr>\n";
  }
  out += "</tbody></table></section>\n";
}

std::map<std::string, std::string> TeacherNames(tables::Table& proft) {
  std::map<std::string, std::string> names;
  tables::Field abrev = proft.FieldByName("ABREV");
  tables::Field name = proft.FieldByName("NOMBRE");
  for (proft.First(); !proft.Eof(); proft.Next())
    names.emplace(abrev.AsString(), name.AsString());
  return names;
}

// The groups' descriptions from the last export, when it is there.
std::map<std::string, std::string> GroupDescriptions(
    platform::FileSystem& files) {
  std::map<std::string, std::string> descriptions;
  try {
    // Through the run's own file system: "C:\QTEMP" is a mapped folder
    // outside Windows.
    tables::Table grupost(files);
    grupost.SetTableName("C:\\QTEMP\\GRUPOST.DBF");
    grupost.Open();
    tables::Field abrev = grupost.FieldByName("ABREV");
    tables::Field descrip = grupost.FieldByName("DESCRIP");
    for (grupost.First(); !grupost.Eof(); grupost.Next())
      descriptions.emplace(abrev.AsString(), descrip.AsString());
  } catch (const std::exception&) {
    // Without GRUPOST the headings give the group codes alone.
  }
  return descriptions;
}

std::string WeekIndex(const std::vector<Week>& weeks, const char* title) {
  std::string html =
      "<h3>" + std::string(title) + "</h3>\n<ul class=\"names\">";
  for (const Week& week : weeks)
    html += "<li><a href=\"#" + week.anchor + "\">" + HtmlEscape(week.label) +
            "</a></li>";
  return html + "</ul>\n";
}

void AppendWeeks(std::string& out, platform::FileSystem& files,
                 const SolutionNotes& notes, const PeriodTimes& times,
                 tables::Table& proft) {
  std::map<std::string, Week> groups, teachers;
  const std::map<std::string, std::string> names = TeacherNames(proft);
  const std::map<std::string, std::string> descriptions =
      GroupDescriptions(files);
  for (const Lesson& lesson : notes.lessons()) {
    teachers[lesson.teacher].lessons.push_back(&lesson);
    if (lesson.group_lesson) groups[lesson.group].lessons.push_back(&lesson);
  }
  std::vector<Week> group_weeks, teacher_weeks;
  for (auto& [code, week] : groups) {
    auto description = descriptions.find(code);
    week.label = code;
    week.heading =
        "Grupo " + code +
        (description == descriptions.end() ? "" : " — " + description->second);
    week.anchor = "g" + std::to_string(group_weeks.size() + 1);
    group_weeks.push_back(std::move(week));
  }
  for (auto& [abrev, week] : teachers) {
    auto name = names.find(abrev);
    const std::string shown = abrev.empty() ? "(sin abreviatura)" : abrev;
    week.label = name == names.end() ? shown : shown + " " + name->second;
    week.heading =
        "Profesor " + shown +
        (name == names.end() ? " (no está en PROFT)" : " — " + name->second);
    week.anchor = "p" + std::to_string(teacher_weeks.size() + 1);
    teacher_weeks.push_back(std::move(week));
  }
  out += "<h2>Índice de horarios</h2>\n" + WeekIndex(group_weeks, "Grupos") +
         WeekIndex(teacher_weeks, "Profesores");
  out += "<h2>Horarios de los grupos</h2>\n";
  const SubjectClasses classes(notes.lessons());
  out += "<style>\n" + classes.rules() + "</style>\n";
  for (const Week& week : group_weeks)
    AppendGrid(out, week, times, true, classes);
  out += "<h2>Horarios de los profesores</h2>\n";
  for (const Week& week : teacher_weeks)
    AppendGrid(out, week, times, false, classes);
}

}  // namespace

void WriteWeekPage(shell::TransferContext& context, const SolutionNotes& notes,
                   const PeriodTimes& times, tables::Table& proft,
                   int64_t horprof_rows, int64_t horgrup_rows) {
  shell::RunReport& report = context.report;
  report.table_rows = {{"horprof", horprof_rows}, {"horgrup", horgrup_rows}};
  try {
    std::string html = shell::PageHead("Horarios importados", kWeekStyle);
    // Each lesson shows in two grids; growing the page by doubling would
    // copy it over and over.
    html.reserve(notes.lessons().size() * 2 * 160 + 65536);
    html +=
        "<h1>Horarios importados de Quendrix</h1>\n<dl class=\"facts\">"
        "<dt>Fecha</dt><dd>" +
        shell::NowText() + "</dd><dt>Carpeta de ZELMAR</dt><dd>" +
        HtmlEscape(context.admin_folder) + "</dd><dt>Centro</dt><dd>" +
        HtmlEscape(context.centre_code) +
        "</dd><dt>Filas escritas</dt><dd>horprof " +
        std::to_string(horprof_rows) + ", horgrup " +
        std::to_string(horgrup_rows) + "</dd></dl>\n";
    html += "<h2>Lo que la importación encontró en la solución</h2>\n" +
            shell::CaseIndex(report.cases(), Kinds());
    html += shell::CaseSections(report.cases(), Kinds(), "Fila de SOLUC");
    AppendWeeks(html, context.files(), notes, times, proft);
    html += shell::kPageTail;
    shell::WritePage(context.files(), kWeekPagePath, html, report);
  } catch (const std::exception& error) {
    report.page_error = error.what();
  }
}

}  // namespace importing
