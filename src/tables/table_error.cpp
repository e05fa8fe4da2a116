#include "tables/table_error.h"

#include <string>

namespace tables {
namespace {

std::string Prefixed(std::string_view table_name, std::string text) {
  if (table_name.empty()) return text;
  return std::string(table_name) + ": " + text;
}

}  // namespace

TableError TableError::FieldNotFound(std::string_view table_name,
                                     std::string_view field) {
  return TableError(Prefixed(
      table_name, "No se encuentra el campo '" + std::string(field) + "'"));
}

TableError TableError::NotEditing(std::string_view table_name) {
  return TableError(Prefixed(
      table_name, "La fuente de datos no está en modo de edición o inserción"));
}

TableError TableError::NotAnInteger(std::string_view text) {
  return TableError("'" + std::string(text) + "' no es un valor entero válido");
}

TableError TableError::NotAnIntegerForField(std::string_view text,
                                            std::string_view field) {
  return TableError("'" + std::string(text) +
                    "' no es un valor entero válido para el campo '" +
                    std::string(field) + "'");
}

TableError TableError::NotAFloat(std::string_view text) {
  return TableError("'" + std::string(text) +
                    "' no es un valor punto flotante válido");
}

}  // namespace tables
