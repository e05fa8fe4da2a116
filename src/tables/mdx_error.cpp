#include "tables/mdx_error.h"

#include <string>

namespace tables {

TableError MdxCorrupt(std::string_view path, std::string_view reason) {
  return TableError(JoinText("El archivo de índice ", Quoted(path),
                             " está dañado (", reason, ")"));
}

TableError MdxMismatch(std::string_view path, std::string_view reason) {
  return TableError(JoinText("El archivo de índice ", Quoted(path),
                             " no corresponde a su tabla (", reason, ")"));
}

TableError MdxMissingTag(std::string_view path, std::string_view tag) {
  return TableError(JoinText("El archivo de índice ", Quoted(path),
                             " no tiene la etiqueta ", Quoted(tag)));
}

TableError MdxReadFailed(std::string_view path) {
  return TableError(
      JoinText("No se puede leer el archivo de índice ", Quoted(path)));
}

TableError MdxWriteFailed(std::string_view path) {
  return TableError(
      JoinText("No se puede escribir el archivo de índice ", Quoted(path)));
}

TableError MdxUnsupportedTag(std::string_view path, std::string_view tag,
                             std::string_view reason) {
  return TableError(JoinText("El índice ", Quoted(path),
                             " no admite la etiqueta ", Quoted(tag), " (",
                             reason, ")"));
}

}  // namespace tables
