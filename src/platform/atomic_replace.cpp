#include "platform/atomic_replace.h"

#include <utility>

#include "platform/raw_file.h"

namespace platform {

StagedFile::StagedFile(std::string destination)
    : destination_(std::move(destination)),
      temp_path_(destination_ + ".tqv" + std::to_string(CurrentProcessId()) +
                 ".tmp") {}

StagedFile::~StagedFile() {
  if (staged_) RemoveFileQuietly(temp_path_);
}

int StagedFile::Stage(std::string_view bytes) {
  if (staged_) {
    RemoveFileQuietly(temp_path_);
    staged_ = false;
  }
  // A temporary file left by a process that was killed is stale.
  RemoveFileQuietly(temp_path_);
  const int code = WriteNewFileDurably(temp_path_, bytes);
  staged_ = code == 0;
  return code;
}

int StagedFile::StageCopyOf(const std::string& source) {
  RawFile in;
  int code = in.OpenForReading(source);
  if (code != 0) return code;
  std::string bytes;
  char buffer[65536];
  for (;;) {
    size_t count = 0;
    code = in.Read(buffer, sizeof buffer, &count);
    if (code != 0) return code;
    if (count == 0) break;
    bytes.append(buffer, count);
  }
  code = in.Close();
  if (code != 0) return code;
  return Stage(bytes);
}

int StagedFile::Commit() {
  const int code = RenameOverDurably(temp_path_, destination_);
  if (code == 0) staged_ = false;
  return code;
}

int AtomicReplaceFile(const std::string& source,
                      const std::string& destination) {
  StagedFile staged(destination);
  const int code = staged.StageCopyOf(source);
  return code != 0 ? code : staged.Commit();
}

}  // namespace platform
