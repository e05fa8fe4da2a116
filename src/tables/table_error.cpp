#include "tables/table_error.h"

#include <string>

namespace tables {
namespace {

std::string Prefixed(std::string_view table_name, std::string text) {
  if (table_name.empty()) return text;
  return std::string(table_name) + ": " + text;
}

// Appended piece by piece: GCC 12 at -O3 reports a false overlap (-Wrestrict)
// for a literal + std::string concatenation.
std::string Quoted(std::string_view text) {
  std::string quoted;
  quoted.reserve(text.size() + 2);
  quoted += '\'';
  quoted.append(text);
  quoted += '\'';
  return quoted;
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
  return TableError(Quoted(text) + " no es un valor entero válido");
}

TableError TableError::NotAnIntegerForField(std::string_view text,
                                            std::string_view field) {
  return TableError(Quoted(text) +
                    " no es un valor entero válido para el campo '" +
                    std::string(field) + "'");
}

TableError TableError::NotAFloat(std::string_view text) {
  return TableError(Quoted(text) + " no es un valor punto flotante válido");
}

TableError TableError::TableNotFound(std::string_view path) {
  return TableError("No se encuentra la tabla " + Quoted(path));
}

TableError TableError::TableLocked(std::string_view path) {
  return TableError("La tabla " + Quoted(path) +
                    " está en uso por otro programa");
}

TableError TableError::TableOpenHere(std::string_view path) {
  return TableError("La tabla " + Quoted(path) +
                    " está abierta en este programa");
}

TableError TableError::CorruptTable(std::string_view path,
                                    std::string_view detail) {
  return TableError("La tabla " + Quoted(path) +
                    " está dañada: " + std::string(detail));
}

TableError TableError::MemoNotFound(std::string_view path) {
  return TableError("No se encuentra el archivo memo " + Quoted(path));
}

TableError TableError::CorruptMemo(std::string_view path,
                                   std::string_view detail) {
  return TableError("El archivo memo " + Quoted(path) +
                    " está dañado: " + std::string(detail));
}

TableError TableError::IoFailure(std::string_view path,
                                 std::string_view detail) {
  return TableError("Error de entrada/salida en " + Quoted(path) + ": " +
                    std::string(detail));
}

TableError TableError::CannotCreateFolder(std::string_view path) {
  return TableError("No se puede crear la carpeta " + Quoted(path));
}

TableError TableError::ReadOnlyTable(std::string_view path) {
  return TableError("La tabla " + Quoted(path) +
                    " está abierta solo para lectura");
}

TableError TableError::TableNotOpen(std::string_view path) {
  return TableError("La tabla " + Quoted(path) + " no está abierta");
}

TableError TableError::TableIsOpen(std::string_view path) {
  return TableError("La tabla " + Quoted(path) + " está abierta");
}

TableError TableError::BadFilter(std::string_view expression) {
  return TableError("Filtro no válido: " + std::string(expression));
}

TableError TableError::IndexNotFound(std::string_view tag,
                                     std::string_view path) {
  return TableError("No se encuentra el índice " + Quoted(tag) +
                    " de la tabla " + Quoted(path));
}

TableError TableError::NoIndexSelected(std::string_view path) {
  return TableError("La tabla " + Quoted(path) +
                    " no tiene ningún índice seleccionado");
}

TableError TableError::ValueTooLarge(std::string_view text,
                                     std::string_view field) {
  return TableError("El valor " + Quoted(text) + " no cabe en el campo " +
                    Quoted(field));
}

TableError TableError::NotADate(std::string_view text) {
  return TableError(Quoted(text) + " no es una fecha válida");
}

TableError TableError::NotABoolean(std::string_view text) {
  return TableError(Quoted(text) + " no es un valor lógico válido");
}

TableError TableError::BadFieldDef(std::string_view detail) {
  return TableError("Definición de campo no válida: " + std::string(detail));
}

TableError TableError::FieldNotWritable(std::string_view field) {
  return TableError("El campo " + Quoted(field) + " no se puede modificar");
}

TableError TableError::UnknownCodePage(int number) {
  return TableError("La página de códigos " + std::to_string(number) +
                    " no está admitida");
}

}  // namespace tables
