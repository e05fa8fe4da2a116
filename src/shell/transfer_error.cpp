#include "shell/transfer_error.h"

namespace shell {

TransferError TransferError::Busy(const std::string& folder) {
  return TransferError("Hay otra transferencia en curso en " + folder +
                       " (una exportación, una importación o una "
                       "restauración).\nEspere a que termine y vuelva a "
                       "intentarlo");
}

TransferError TransferError::LockFailed(const std::string& folder,
                                        const std::string& reason) {
  return TransferError("No se puede reservar la carpeta " + folder +
                       " para la transferencia: " + reason +
                       ".\nCompruebe que la carpeta existe y que puede "
                       "escribir en ella");
}

TransferError TransferError::ReplacementCompleted(const std::string& names,
                                                  const std::string& folder,
                                                  const std::string& backup) {
  return TransferError(
      "Una importación anterior se interrumpió mientras sustituía " + names +
      " en " + folder +
      ".\nSe ha completado ahora: los archivos son los nuevos, y los "
      "anteriores están en " +
      backup + ".");
}

TransferError TransferError::ReplacementUnfinished(const std::string& names,
                                                   const std::string& folder,
                                                   const std::string& backup,
                                                   const std::string& reason) {
  return TransferError(
      "Una importación anterior se interrumpió mientras sustituía " + names +
      " en " + folder + ", y no se ha podido completar: " + reason +
      ".\nCierre ZELMAR y cualquier programa que use esos archivos, y vuelva "
      "a intentarlo. Los archivos anteriores están en " +
      backup);
}

TransferError TransferError::UnknownCentre(
    const std::string& centre, const std::vector<std::string>& codes,
    const std::string& table) {
  std::string listed;
  for (const std::string& code : codes) {
    listed += (listed.empty() ? "" : ", ") + code;
  }
  if (codes.empty()) {
    return TransferError("La tabla de centros " + table +
                         " no tiene ningún centro.\nCompruebe la carpeta de "
                         "ZELMAR indicada");
  }
  return TransferError("El centro '" + centre + "' no está en la tabla " +
                       table + ".\nIndique uno de estos: " + listed);
}

}  // namespace shell
