// The stand-in for "HHCtrl.ocx" on systems without it: each request starts a
// CHM viewer (xchm or kchmviewer) when one is installed. Without a viewer the
// library counts as missing, so help does nothing, as on Windows.
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/html_help_library.h"
#include "platform/html_help_standin.h"

extern char** environ;

namespace platform {
namespace {

bool IsExecutableFile(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
         access(path.c_str(), X_OK) == 0;
}

// The viewers this library started, so that HH_CLOSE_ALL closes them and
// finished ones are reaped. Only our own children are ever signalled.
class ViewerProcesses {
 public:
  explicit ViewerProcesses(ChmViewers viewers) : viewers_(std::move(viewers)) {}
  ~ViewerProcesses() { Reap(); }

  std::uintptr_t Request(const char* file, unsigned command,
                         std::uintptr_t data) {
    Reap();
    if (command == kHhCloseAll) {
      CloseAll();
      return 0;
    }
    const std::vector<std::string> args =
        ChmViewerCommand(viewers_, file, command, data);
    if (!args.empty()) Start(args);
    return 0;  // there is no help window handle to give
  }

 private:
  void Start(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& arg : args) {
      argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    pid_t pid;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) ==
        0) {
      children_.push_back(pid);
    }
  }

  void CloseAll() {
    for (pid_t pid : children_) kill(pid, SIGTERM);
    for (pid_t pid : children_) waitpid(pid, nullptr, 0);
    children_.clear();
  }

  void Reap() {
    std::vector<pid_t> running;
    for (pid_t pid : children_) {
      if (waitpid(pid, nullptr, WNOHANG) == 0) running.push_back(pid);
    }
    children_.swap(running);
  }

  ChmViewers viewers_;
  std::vector<pid_t> children_;
};

}  // namespace

ChmViewers FindChmViewers(const std::string& path_variable) {
  ChmViewers found;
  std::string_view rest = path_variable;
  for (;;) {
    const std::string_view::size_type end = rest.find(':');
    const std::string_view entry = rest.substr(0, end);
    // An empty entry means the current folder.
    const std::string folder = entry.empty() ? "." : std::string(entry);
    if (found.xchm.empty() && IsExecutableFile(folder + "/xchm")) {
      found.xchm = folder + "/xchm";
    }
    if (found.kchmviewer.empty() && IsExecutableFile(folder + "/kchmviewer")) {
      found.kchmviewer = folder + "/kchmviewer";
    }
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
  return found;
}

std::unique_ptr<HtmlHelpLibrary> HtmlHelpLibrary::Load() {
  const char* path = std::getenv("PATH");
  ChmViewers viewers = FindChmViewers(path != nullptr ? path : "");
  if (!viewers.Any()) return std::make_unique<HtmlHelpLibrary>(nullptr);
  auto processes = std::make_shared<ViewerProcesses>(std::move(viewers));
  return std::make_unique<HtmlHelpLibrary>(
      [processes](std::uintptr_t, const char* file, unsigned command,
                  std::uintptr_t data) {
        return processes->Request(file, command, data);
      });
}

}  // namespace platform
