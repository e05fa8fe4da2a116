#include "platform/raw_file.h"

#include <algorithm>
#include <memory>

namespace platform {

std::string ErrorText(int code) {
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
    case kDiskFullCode:
      return "Disco lleno";
    case 106:
      return "Valor numérico de entrada inválido";
    default:
      return "Error de E/S " + std::to_string(code);
  }
}

int RawFile::ReadAll(std::string* bytes, size_t limit) {
  bytes->clear();
  uint64_t size = 0;
  int code = Size(&size);
  if (code != 0) return code;
  // One byte more than the file holds, so that the read that finds the end
  // needs no growth.
  bytes->resize(static_cast<size_t>(std::min<uint64_t>(limit, size + 1)));
  size_t filled = 0;
  for (;;) {
    if (filled == bytes->size()) {
      if (filled >= limit) break;
      bytes->resize(std::min(limit, filled + std::max<size_t>(filled, 65536)));
    }
    // Windows reads at most 4 GiB at once; 1 GiB at a time is plenty.
    const size_t want = std::min<size_t>(bytes->size() - filled, 1u << 30);
    size_t count = 0;
    code = Read(bytes->data() + filled, want, &count);
    if (code != 0 || count == 0) break;
    filled += count;
  }
  bytes->resize(filled);
  return code;
}

int RawFile::CopyByBlocks(RawFile& to) {
  // The copy's result does not depend on the block size; large blocks save
  // system calls on the larger tables.
  constexpr size_t kBlockSize = 256 * 1024;
  const std::unique_ptr<char[]> buffer(new char[kBlockSize]);
  for (;;) {
    size_t read = 0;
    int code = Read(buffer.get(), kBlockSize, &read);
    if (code != 0 || read == 0) return code;
    for (size_t done = 0; done < read;) {
      size_t written = 0;
      code = to.Write(buffer.get() + done, read - done, &written);
      if (code != 0) return code;
      if (written == 0) return kDiskFullCode;
      done += written;
    }
  }
}

}  // namespace platform
