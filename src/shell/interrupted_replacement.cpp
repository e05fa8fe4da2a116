#include "shell/interrupted_replacement.h"

#include <filesystem>
#include <system_error>

#include "platform/drive_mapping.h"
#include "platform/pair_replacement.h"
#include "shell/io_error.h"
#include "shell/transfer_error.h"
#include "tables/files.h"

namespace shell {
namespace {

namespace fs = std::filesystem;

fs::path FromUtf8(const std::string& text) {
  return fs::path(std::u8string(text.begin(), text.end()));
}

std::string ToUtf8(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

// "horgrup.dbf y horprof.dbf" and the folder they are in, as the program
// writes paths.
void Describe(const std::vector<std::string>& destinations, std::string* names,
              std::string* folder) {
  for (size_t i = 0; i < destinations.size(); ++i) {
    const fs::path path = FromUtf8(destinations[i]);
    if (i > 0) *names += i + 1 == destinations.size() ? " y " : ", ";
    *names += ToUtf8(path.filename());
    *folder = platform::ProgramPath(ToUtf8(path.parent_path()));
  }
}

}  // namespace

void CompleteInterruptedReplacements(UserInterface& ui,
                                     platform::FileSystem& files) {
  const std::string root = files.NativePath(kBackupRoot);
  std::error_code error;
  for (fs::directory_iterator it(FromUtf8(root), error), end;
       !error && it != end; it.increment(error)) {
    const std::string journal =
        ToUtf8(it->path() / FromUtf8(kReplacementJournal));
    const platform::CompletedReplacement done =
        platform::CompleteReplacement(journal, files);
    if (!done.found) continue;
    std::string names, folder;
    Describe(done.destinations, &names, &folder);
    const std::string backup =
        std::string(kBackupRoot) + "\\" + ToUtf8(it->path().filename());
    if (done.code != 0) {
      throw TransferError::ReplacementUnfinished(names, folder, backup,
                                                 IoError::TextFor(done.code));
    }
    ui.ShowMessage(
        TransferError::ReplacementCompleted(names, folder, backup).what());
  }
}

}  // namespace shell
