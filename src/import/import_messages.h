#pragma once

// The import run's own texts, as the person sees them.

namespace importing {

inline constexpr char kDurationWarning[] =
    "La duración de este Proceso será más larga, en función de la cantidad "
    "de datos que tengamos en nuestro Horario.";
inline constexpr char kSolutionMissing[] =
    "No se encuentra archivo SOLUC.DBF en C:\\QTEMP";
// Three lines, each but the last followed by a line feed and then a
// carriage return, in that order.
inline constexpr char kTeacherWithoutDni[] =
    "¡Atención! Sigue habiendo algún Profesor sin D.N.I.\n\r"
    "Este proceso se dentendrá y deberá volver a ejecutar\n\r"
    "la Importación, para poder corregir la incidencia";
inline constexpr char kProcessFinished[] = "Proceso finalizado";
// The second line of the final message when the solution held no lesson.
inline constexpr char kNoLessonsImported[] =
    "No se ha importado ninguna clase: SOLUC.DBF no tiene ninguna, y los "
    "horarios han quedado sin clases de este centro.";

}  // namespace importing
