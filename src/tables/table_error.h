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
  // The engine adds more factories (missing table, corrupt file, locked
  // file, ...) in table_error.cpp; each names the file concerned.
};

}  // namespace tables
