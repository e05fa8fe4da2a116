#pragma once

// Input and output errors of the working copy, with the operating system's
// code (Windows numbering) and the runtime's Spanish text for it.

#include <stdexcept>
#include <string>

namespace shell {

class IoError : public std::runtime_error {
 public:
  IoError(int code, const std::string& text)
      : std::runtime_error(text), code_(code) {}
  int code() const { return code_; }

  // The error for an OS code: 2 "No se encuentra el archivo", 3 "Nombre de
  // archivo inválido", 4 "Demasiados archivos abiertos", 5 "Acceso al
  // archivo denegado", 100 "Se intenta leer después del fin del archivo",
  // 101 "Disco lleno", 106 "Valor numérico de entrada inválido", any other
  // "Error de E/S %d".
  static IoError FromCode(int code);
  // The same text with a second line that says which file, and what the
  // run was doing with it ("al copiar C:\GC\horgrup.dbf en ...").
  static IoError ForFile(int code, const std::string& what);
  // 101: a write stored fewer bytes than it was given.
  static IoError DiskFull();

  static std::string TextFor(int code);

 private:
  int code_;
};

}  // namespace shell
