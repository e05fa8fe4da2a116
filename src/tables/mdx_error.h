#pragma once

// Errors about production index files. Each names the file; the texts are
// the ones the user sees.

#include <string>
#include <string_view>

#include "tables/table_error.h"

namespace tables {

// Joins pieces of text. Used for messages instead of chains of operator+,
// which GCC 12 at -O3 wrongly reports as overlapping copies (-Wrestrict).
template <typename... Pieces>
std::string JoinText(const Pieces&... pieces) {
  std::string text;
  (text.append(std::string_view(pieces)), ...);
  return text;
}

// 'text', in quotes.
inline std::string Quoted(std::string_view text) {
  return JoinText("'", text, "'");
}

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
