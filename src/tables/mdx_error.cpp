#include "tables/mdx_error.h"

#include <string>

namespace tables {
namespace {

std::string Quoted(std::string_view text) {
  return "'" + std::string(text) + "'";
}

}  // namespace

TableError MdxCorrupt(std::string_view path, std::string_view reason) {
  return TableError("El archivo de índice " + Quoted(path) + " está dañado (" +
                    std::string(reason) + ")");
}

TableError MdxMismatch(std::string_view path, std::string_view reason) {
  return TableError("El archivo de índice " + Quoted(path) +
                    " no corresponde a su tabla (" + std::string(reason) + ")");
}

TableError MdxMissingTag(std::string_view path, std::string_view tag) {
  return TableError("El archivo de índice " + Quoted(path) +
                    " no tiene la etiqueta " + Quoted(tag));
}

TableError MdxReadFailed(std::string_view path) {
  return TableError("No se puede leer el archivo de índice " + Quoted(path));
}

TableError MdxWriteFailed(std::string_view path) {
  return TableError("No se puede escribir el archivo de índice " +
                    Quoted(path));
}

TableError MdxUnsupportedTag(std::string_view path, std::string_view tag,
                             std::string_view reason) {
  return TableError("El índice " + Quoted(path) + " no admite la etiqueta " +
                    Quoted(tag) + " (" + std::string(reason) + ")");
}

}  // namespace tables
