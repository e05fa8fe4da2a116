#pragma once

// Errors about production index files. Each names the file; the texts are
// the ones the user sees.

#include <string_view>

#include "tables/table_error.h"

namespace tables {

// "El archivo de índice '%s' está dañado (%s)"
TableError MdxCorrupt(std::string_view path, std::string_view reason);
// "El archivo de índice '%s' no corresponde a su tabla (%s)"
TableError MdxMismatch(std::string_view path, std::string_view reason);
// "El archivo de índice '%s' no tiene la etiqueta '%s'"
TableError MdxMissingTag(std::string_view path, std::string_view tag);
// "No se puede leer el archivo de índice '%s'"
TableError MdxReadFailed(std::string_view path);
// "No se puede escribir el archivo de índice '%s'"
TableError MdxWriteFailed(std::string_view path);
// "El índice '%s' no admite la etiqueta '%s' (%s)"
TableError MdxUnsupportedTag(std::string_view path, std::string_view tag,
                             std::string_view reason);

}  // namespace tables
