#include "shell/io_error.h"

#include "platform/raw_file.h"

namespace shell {

std::string IoError::TextFor(int code) {
  switch (code) {
    case 2:
      return "No se encuentra el archivo";
    case 3:
      return "Nombre de archivo inválido";
    case 4:
      return "Demasiados archivos abiertos";
    case 5:
      return "Acceso al archivo denegado";
    case 100:
      return "Se intenta leer después del fin del archivo";
    case 101:
      return "Disco lleno";
    case 106:
      return "Valor numérico de entrada inválido";
    default:
      return "Error de E/S " + std::to_string(code);
  }
}

IoError IoError::FromCode(int code) { return IoError(code, TextFor(code)); }

IoError IoError::DiskFull() { return FromCode(platform::kDiskFullCode); }

}  // namespace shell
