#pragma once

// Where "HHCtrl.ocx" does not exist, help requests go to a CHM viewer from
// the system's packages, started with the command line that comes closest to
// the request. xchm can open a context number; kchmviewer can open a page
// and search the index.

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct ChmViewers {
  std::string xchm;        // the executable's path; empty when not installed
  std::string kchmviewer;  // likewise
  bool Any() const { return !xchm.empty() || !kchmviewer.empty(); }
};

// Looks both viewers up in the folders of `path_variable` (the PATH
// environment variable's format, ':'-separated). Not on Windows, where
// the real library is used.
ChmViewers FindChmViewers(const std::string& path_variable);

// The command line (program first) that shows one HTML Help request with the
// installed viewers: HH_DISPLAY_TOC, HH_DISPLAY_INDEX (`data` points to the
// keyword), HH_DISPLAY_TOPIC (`file` is "FILE.chm::/TOPIC") and
// HH_HELP_CONTEXT (`data` is the context number). Empty when nothing is to be
// started: no viewer, no file, or another command.
std::vector<std::string> ChmViewerCommand(const ChmViewers& viewers,
                                          const char* file, unsigned command,
                                          std::uintptr_t data);

}  // namespace platform
