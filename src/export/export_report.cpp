#include "export/export_report.h"

#include <cstdint>
#include <vector>

#include "export/export_gaps.h"
#include "shell/report_page.h"

namespace exporting {
namespace {

const std::vector<shell::CaseKind>& Kinds() {
  static const std::vector<shell::CaseKind> kinds = {
      {kStudentWithoutGroup, "alumnos-sin-grupo", "Alumnos sin grupo válido",
       "Su código de grupo tiene menos de dos caracteres: el alumno no se "
       "exporta a ALUMNOST."},
      {kStudentWithoutTurn, "alumnos-sin-turno",
       "Alumnos cuyo grupo no está en grupos",
       "Ningún grupo tiene su código de grupo ni su código de curso: se "
       "exportan con TURNO vacío."},
      {kStudentSubjectMissing, "materias-sin-asigvalt",
       "Materias de alumnos sin asignatura en ASIGVALT",
       "La asignatura de la fila de asigalum no está en asignat: se omite y "
       "no ocupa columna en ALUMNOST."},
      {kSubjectCodeCut, "codigos-cortados-alumnos",
       "Códigos de asignatura cortados en ALUMNOST",
       "Las columnas ASIG1 a ASIG50 guardan 4 caracteres: el código corto de "
       "estas asignaturas llega cortado a Quendrix en las materias de los "
       "alumnos."},
      {kHoursGuessed, "horas-supuestas", "Asignaturas con horas supuestas",
       "De Horsemte solo se leen los dos primeros caracteres; vacío, cero o "
       "negativo se exporta como 1 hora."},
      {kSubjectSharesCode, "codigos-compartidos",
       "Asignaturas que comparten código corto",
       "ASIGNOMT lleva una fila por código corto, con el nombre de la "
       "primera asignatura: el nombre de estas no llega a Quendrix."},
      {kTeacherLeft, "profesores-de-baja", "Profesores de baja",
       "Tienen fecha de baja, nombre y D.N.I.: no se exportan a PROFT."},
      {kTeacherWithoutDni, "profesores-sin-dni", "Profesores sin D.N.I.",
       "Se exportan con DNI 0; la importación pedirá su número."},
      {kTeacherRenumbered, "abreviaturas-numeradas",
       "Abreviaturas de profesor repetidas",
       "Varios profesores daban la misma abreviatura: los siguientes llevan "
       "un número detrás."},
      {kRoomNotReturned, "aulas-sin-vuelta",
       "Aulas que no volverán con el horario",
       "La importación solo guarda aulas cuyo código es un número de hasta "
       "tres cifras: las sesiones en estas aulas volverán sin aula."},
      {kGroupTooShort, "grupos-cortos", "Grupos con código demasiado corto",
       "Su código tiene menos de dos caracteres: no se exportan a GRUPOST ni "
       "a CURSOST, ni sus sesiones a ASIGT."},
      {kGroupRepeated, "grupos-repetidos", "Grupos repetidos",
       "Dan el mismo turno, nivel, curso y grupo que una fila anterior de "
       "grupos: GRUPOST guarda solo la primera."},
      {kGroupWithoutTutor, "grupos-sin-tutor", "Grupos sin tutor",
       "Su D.N.I. de tutor está vacío o no es de ningún profesor de PROFT: "
       "TUTOR queda vacío."},
      {kLessonGroupUnknown, "sesiones-sin-grupo",
       "Sesiones de grupos que no están en GRUPOST",
       "Las sesiones de horgrup de estos grupos no pasan a ASIGT."},
      {kLessonSubjectUnknown, "sesiones-sin-asignatura",
       "Sesiones cuya asignatura no está en ASIGVALT",
       "Se exportan a ASIGT con CASIG vacío, HORAS 1 y SESIONES \"1\"."},
      {kLessonTeacherUnknown, "sesiones-sin-profesor",
       "Sesiones cuyo profesor no está en PROFT",
       "Se exportan a ASIGT con CPROF vacío."},
      {kSessionsGuessed, "sesiones-supuestas",
       "Cargas con sesiones que no cuadran con las horas",
       "SESIONES lleva un \"1\" por hora redondeada: menos de media hora lo "
       "deja vacío y más de 20 se corta a 20."},
      {kTextCut, "textos-cortados", "Textos cortados al ancho del campo",
       "El valor no cabe en el campo de la tabla intermedia y se guarda "
       "cortado."},
  };
  return kinds;
}

int64_t RowsOf(platform::FileSystem& files, const char* name) {
  return shell::HeaderRowCount(files,
                               std::string("C:\\QTEMP\\") + name + ".DBF");
}

std::string CountsTable(const shell::RunReport& report) {
  std::string html =
      "<table class=\"counts\">\n<thead><tr><th>Tabla</th>"
      "<th class=\"num\">Filas escritas</th></tr></thead>\n<tbody>\n";
  for (const auto& [name, rows] : report.table_rows) {
    html += "<tr><td>" + name + "</td><td class=\"num\">" +
            (rows >= 0 ? std::to_string(rows) : "no escrita") + "</td></tr>\n";
  }
  return html + "</tbody>\n</table>\n";
}

std::string PageHtml(const shell::TransferContext& context,
                     const std::string& failure) {
  const shell::RunReport& report = context.report;
  std::string html = shell::PageHead("Informe de la exportación",
                                     "table.counts { width: auto; }");
  html += "<h1>Informe de la exportación a Quendrix</h1>\n";
  if (!failure.empty()) {
    html +=
        "<p class=\"incomplete\">INCOMPLETO: la exportación se detuvo "
        "por un error y no terminó. Este informe recoge lo hecho hasta "
        "entonces. Error: " +
        shell::HtmlEscape(failure) + "</p>\n";
  }
  html += "<dl class=\"facts\"><dt>Fecha</dt><dd>" + shell::NowText() +
          "</dd><dt>Carpeta de ZELMAR</dt><dd>" +
          shell::HtmlEscape(context.admin_folder) + "</dd><dt>Textos</dt><dd>" +
          shell::HtmlEscape(context.language_text) + "</dd></dl>\n";
  html += CountsTable(report);
  html +=
      "<h2>Índice de casos</h2>\n" + shell::CaseIndex(report.cases(), Kinds());
  html += shell::CaseSections(report.cases(), Kinds(), "Fila en ZELMAR");
  return html + shell::kPageTail;
}

}  // namespace

void WriteExportReport(shell::TransferContext& context, int steps_started,
                       const std::string& failure) {
  shell::RunReport& report = context.report;
  report.table_rows.clear();
  for (const IntermediateTableOfStep& table : kIntermediateTables) {
    report.table_rows.emplace_back(
        table.name,
        table.step <= steps_started ? RowsOf(context.files(), table.name) : -1);
  }
  try {
    shell::WritePage(context.files(), kExportReportPath,
                     PageHtml(context, failure), report);
  } catch (const std::exception& error) {
    report.page_error = error.what();
  }
}

}  // namespace exporting
