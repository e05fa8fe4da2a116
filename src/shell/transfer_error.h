#pragma once

// Refusals of a transfer before it touches anything, with the Spanish text
// the person reads: what is wrong, where, and what to do.

#include <stdexcept>
#include <string>
#include <vector>

namespace shell {

class TransferError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;

  // Another transfer (an export, an import, a refresh of the working copy
  // or a restore) holds the lock of the exchange folder `folder`.
  static TransferError Busy(const std::string& folder);
  // The lock file of `folder` could not be made or locked: `reason` is the
  // system's text for it.
  static TransferError LockFailed(const std::string& folder,
                                  const std::string& reason);
  // A run was killed while it replaced `names` ("horgrup.dbf y
  // horprof.dbf") in `folder`; the replacement has now been completed. The
  // old files are in `backup`. (A message, not an error.)
  static TransferError ReplacementCompleted(const std::string& names,
                                            const std::string& folder,
                                            const std::string& backup);
  // The same, but completing it failed for `reason`.
  static TransferError ReplacementUnfinished(const std::string& names,
                                             const std::string& folder,
                                             const std::string& backup,
                                             const std::string& reason);
  // The centre given on the command line is none of the centre table's
  // `codes`, found in `table` (as the program writes the path).
  static TransferError UnknownCentre(const std::string& centre,
                                     const std::vector<std::string>& codes,
                                     const std::string& table);
};

}  // namespace shell
