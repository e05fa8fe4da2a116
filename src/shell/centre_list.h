#pragma once

#include <string>
#include <vector>

#include "shell/transfer_context.h"

namespace shell {

// The centre codes of the working copy's centre table: opens
// wwTableCentro, reads "Codcen" as text from every record in stored order
// (no sorting, duplicates kept) and closes it again, also on failure.
// Throws the engine's error when the table is missing.
std::vector<std::string> ReadCentreCodes(TransferContext& context);

}  // namespace shell
