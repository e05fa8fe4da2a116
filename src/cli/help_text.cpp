#include "cli/help_text.h"

#include <vector>

namespace cli {
namespace {

struct OptionHelp {
  const char* option;
  const char* text;
};

struct CommandHelp {
  const char* name;
  const char* arguments;
  const char* summary;
  const char* description;
  std::vector<OptionHelp> options;
};

const OptionHelp kDriveC = {
    "--drive-c DIR",
    "Carpeta que hace de unidad C: (donde están C:\\GC y C:\\QTEMP). Sin "
    "ella, la de TQV_DRIVE_C, la unidad C: de Wine o "
    "~/.local/share/TransQuendraValencia/drive_c."};
const OptionHelp kAdmin = {
    "--admin CARPETA",
    "Carpeta de las tablas de la administración (por omisión C:\\GC)."};

const std::vector<CommandHelp>& Commands() {
  static const std::vector<CommandHelp> commands = {
      {"dump",
       "TABLA [--index ETIQUETA] [--codepage N]",
       "Muestra una tabla dBase como CSV.",
       "Escribe en la salida estándar las filas de la tabla TABLA (un "
       "archivo .dbf) como CSV en UTF-8, sin los registros borrados. Los "
       "números salen con todas sus cifras tal como están guardados y las "
       "fechas como AAAA-MM-DD.",
       {{"--index ETIQUETA",
         "Recorre la tabla en el orden del índice ETIQUETA en vez del orden "
         "en que están guardadas las filas."},
        {"--codepage N",
         "Lee el texto en la página de códigos N (por ejemplo 850 o 437 para "
         "tablas de DOS, 1252 para Windows, 65001 para UTF-8) en vez de la "
         "que indica la cabecera."}}},
      {"export",
       "[--drive-c DIR] [--admin CARPETA] [--language TEXTO]",
       "Exporta los datos del centro para el programa de horarios.",
       "Lee las tablas de la administración y escribe las tablas "
       "intermedias en C:\\QTEMP para el programa de horarios Quendrix. Los "
       "mensajes van a la salida de errores; el estado de salida es 0 cuando "
       "la exportación termina. Deja en C:\\QTEMP\\INFORME_EXPORTACION.html "
       "lo que no pasó, se cortó o se supuso (también si la exportación se "
       "detiene) y escribe en la salida estándar las filas de cada tabla y "
       "la ruta del informe.",
       {kDriveC,
        kAdmin,
        {"--language TEXTO",
         "Idioma de los nombres de las asignaturas: CASTELLANO, o VALENCIÁ "
         "(por omisión)."}}},
      {"import",
       "[--drive-c DIR] [--admin CARPETA] [--centre CODIGO] "
       "[--dni ABREV=NUMERO]... [--period N=INICIO-FIN]...",
       "Importa el horario del programa de horarios.",
       "Lee C:\\QTEMP\\SOLUC.DBF y pasa el horario a los horarios de grupos "
       "y profesores de la administración (horgrup y horprof), después de "
       "guardar una copia de seguridad. En una terminal pregunta lo que "
       "falte; el estado de salida es 0 cuando la importación termina. Deja "
       "en C:\\QTEMP\\HORARIOS.html lo que encontró en la solución y la "
       "semana de cada grupo y de cada profesor, y escribe en la salida "
       "estándar las filas escritas y la ruta de la página.",
       {kDriveC,
        kAdmin,
        {"--centre CODIGO",
         "Código del centro (por omisión el primero de centro.dbf)."},
        {"--dni ABREV=NUMERO",
         "D.N.I. del profesor de abreviatura ABREV, si le falta. Puede "
         "repetirse."},
        {"--period N=INICIO-FIN",
         "Horas de inicio y final del período N (de 1 a 20), por ejemplo "
         "3=09:50-10:45. Puede repetirse."}}},
      {"restore",
       "[--drive-c DIR] [--admin CARPETA] [COPIA] | --list",
       "Deshace una importación: devuelve una copia de los horarios.",
       "Vuelve a poner en la carpeta de la administración los horgrup.dbf y "
       "horprof.dbf que una importación guardó en C:\\QTEMP\\COPIAS\\COPIA "
       "(por omisión la copia más reciente): los dos archivos o ninguno, y "
       "los que sustituye quedan en una copia nueva. No se hace mientras "
       "otra transferencia está en marcha.",
       {kDriveC,
        kAdmin,
        {"--list",
         "Muestra las copias con su fecha y las filas de cada archivo."}}},
  };
  return commands;
}

const CommandHelp* Find(std::string_view name) {
  for (const CommandHelp& command : Commands()) {
    if (name == command.name) return &command;
  }
  return nullptr;
}

size_t CharacterCount(std::string_view utf8) {
  size_t count = 0;
  for (char c : utf8) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return count;
}

// `text` in lines of at most 79 characters, broken between words: the
// first after `lead`, the others after `indent` blanks.
std::string Wrapped(std::string_view text, size_t indent,
                    std::string_view lead = "") {
  constexpr size_t kWidth = 79;
  std::string out = lead.empty() ? std::string(indent, ' ') : std::string(lead);
  const size_t start = CharacterCount(out);
  size_t column = start;
  while (!text.empty()) {
    const size_t blank = text.find(' ');
    const std::string_view word = text.substr(0, blank);
    text = blank == std::string_view::npos ? "" : text.substr(blank + 1);
    const size_t length = CharacterCount(word);
    if (column > start && column + 1 + length > kWidth) {
      out += '\n' + std::string(indent, ' ');
      column = indent;
    } else if (column > start) {
      out += ' ';
      ++column;
    }
    out += word;
    column += length;
  }
  return out + "\n";
}

std::string UsageLine(const CommandHelp& command, const char* lead) {
  // An option and its value ("[--index ETIQUETA]") stay on one line: their
  // blanks become \x01 while the line is wrapped.
  std::string line =
      std::string("transquendra ") + command.name + " " + command.arguments;
  int depth = 0;
  for (char& c : line) {
    depth += c == '[' ? 1 : c == ']' ? -1 : 0;
    if (c == ' ' && depth > 0) c = '\x01';
  }
  // Continuation lines stand under the command's first argument.
  const size_t indent = std::string_view(lead).size() + 14 +
                        std::string_view(command.name).size();
  std::string wrapped = Wrapped(line, indent, lead);
  for (char& c : wrapped) {
    if (c == '\x01') c = ' ';
  }
  return wrapped;
}

}  // namespace

bool IsHelpWord(std::string_view word) {
  return word == "--help" || word == "-h";
}

std::string UsageText() {
  std::string text;
  const char* lead = "uso: ";
  for (const CommandHelp& command : Commands()) {
    text += UsageLine(command, lead);
    lead = "     ";
  }
  text += "     transquendra --help | --version\n";
  return text;
}

std::string CommandUsageText(std::string_view name) {
  const CommandHelp* command = Find(name);
  if (command == nullptr) return UsageText();
  return UsageLine(*command, "uso: ") + "Más información: transquendra " +
         command->name + " --help\n";
}

std::string ProgramHelpText() {
  std::string text =
      "transquendra: los trabajos de TransQuendraValencia sin ventana.\n\n" +
      Wrapped(
          "Pasa los datos de un centro entre la administración (ZELMAR, "
          "tablas dBase en C:\\GC) y el programa de horarios Quendrix "
          "(C:\\QTEMP).",
          0) +
      "\nÓrdenes:\n";
  for (const CommandHelp& command : Commands()) {
    text += "  " + std::string(command.name) +
            std::string(8 - std::string_view(command.name).size(), ' ') +
            command.summary + "\n";
  }
  text +=
      "\n"
      "Opciones:\n"
      "  -h, --help     Muestra esta ayuda.\n"
      "  --version      Muestra la versión.\n"
      "\n" +
      UsageText() +
      "\n"
      "La ayuda de cada orden: transquendra ORDEN --help\n";
  return text;
}

std::string CommandHelpText(std::string_view name) {
  const CommandHelp* command = Find(name);
  if (command == nullptr) return "";
  std::string text =
      UsageLine(*command, "uso: ") + "\n" +
      Wrapped(std::string(command->summary) + " " + command->description, 0) +
      "\nOpciones:\n";
  for (const OptionHelp& option : command->options) {
    text += "  " + std::string(option.option) + "\n" + Wrapped(option.text, 6);
  }
  text += "  -h, --help\n      Muestra esta ayuda.\n";
  return text;
}

std::string VersionText() {
  return std::string("transquendra (TransQuendraValencia) ") + TQV_VERSION +
         "\n";
}

}  // namespace cli
