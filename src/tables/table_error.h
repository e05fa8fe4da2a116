#pragma once

// Every failure of the engine. what() is the Spanish text the user sees.
// Errors are made through the named factories below so the texts live in one
// place; tests compare them exactly.

#include <stdexcept>
#include <string>
#include <string_view>

namespace tables {

class TableError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;

  // "No se encuentra el campo '%s'" (with "Name: " in front when the table
  // has a component name).
  static TableError FieldNotFound(std::string_view table_name,
                                  std::string_view field);
  // "La fuente de datos no está en modo de edición o inserción"
  static TableError NotEditing(std::string_view table_name);
  // "'%s' no es un valor entero válido"
  static TableError NotAnInteger(std::string_view text);
  // "'%s' no es un valor entero válido para el campo '%s'"
  static TableError NotAnIntegerForField(std::string_view text,
                                         std::string_view field);
  // "'%s' no es un valor punto flotante válido"
  static TableError NotAFloat(std::string_view text);

  // ---- The engine's own failures; each names the file concerned. ----
  // "No se encuentra la tabla '%s'"
  static TableError TableNotFound(std::string_view path);
  // "La tabla '%s' está en uso por otro programa"
  static TableError TableLocked(std::string_view path);
  // "La tabla '%s' está abierta en este programa"
  static TableError TableOpenHere(std::string_view path);
  // "La tabla '%s' está dañada: %s"
  static TableError CorruptTable(std::string_view path,
                                 std::string_view detail);
  // "No se encuentra el archivo memo '%s'"
  static TableError MemoNotFound(std::string_view path);
  // "El archivo memo '%s' está dañado: %s"
  static TableError CorruptMemo(std::string_view path, std::string_view detail);
  // "Error de entrada/salida en '%s': %s"
  static TableError IoFailure(std::string_view path, std::string_view detail);
  // "No se puede crear la carpeta '%s'"
  static TableError CannotCreateFolder(std::string_view path);
  // "La tabla '%s' está abierta solo para lectura"
  static TableError ReadOnlyTable(std::string_view path);
  // "La tabla '%s' no está abierta" / "La tabla '%s' está abierta"
  static TableError TableNotOpen(std::string_view path);
  static TableError TableIsOpen(std::string_view path);
  // "Filtro no válido: %s"
  static TableError BadFilter(std::string_view expression);
  // "No se encuentra el índice '%s' de la tabla '%s'"
  static TableError IndexNotFound(std::string_view tag, std::string_view path);
  // "La tabla '%s' no tiene ningún índice seleccionado"
  static TableError NoIndexSelected(std::string_view path);
  // "El valor '%s' no cabe en el campo '%s'"
  static TableError ValueTooLarge(std::string_view text,
                                  std::string_view field);
  // "'%s' no es una fecha válida"
  static TableError NotADate(std::string_view text);
  // "'%s' no es un valor lógico válido"
  static TableError NotABoolean(std::string_view text);
  // "Definición de campo no válida: %s"
  static TableError BadFieldDef(std::string_view detail);
  // "La página de códigos %d no está admitida"
  static TableError UnknownCodePage(int number);
  // "El campo '%s' no se puede modificar"
  static TableError FieldNotWritable(std::string_view field);
};

}  // namespace tables
