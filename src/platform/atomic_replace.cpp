#include "platform/atomic_replace.h"

#include <filesystem>
#include <system_error>
#include <utility>

#include "platform/raw_file.h"

namespace platform {

StagedFile::StagedFile(std::string destination, FileSystem& files)
    : files_(files),
      destination_(std::move(destination)),
      temp_path_(destination_ + ".tqv" + std::to_string(CurrentProcessId()) +
                 ".tmp") {}

StagedFile::~StagedFile() { Discard(); }

namespace {

std::filesystem::path FromUtf8(const std::string& text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

std::string ToUtf8(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace

std::string ReplacementTarget(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path given = FromUtf8(path);
  if (!fs::is_symlink(given, error)) return path;
  // A link to a file that is missing still names where the file goes.
  const fs::path target = fs::weakly_canonical(given, error);
  return error ? path : ToUtf8(target);
}

void RemoveStaleStagedFiles(const std::string& destination) {
  namespace fs = std::filesystem;
  const fs::path target = FromUtf8(destination);
  const std::string prefix = ToUtf8(target.filename()) + ".tqv";
  std::error_code error;
  for (fs::directory_iterator it(target.parent_path(), error), end;
       !error && it != end; it.increment(error)) {
    const std::string name = ToUtf8(it->path().filename());
    if (name.size() > prefix.size() + 4 && name.starts_with(prefix) &&
        name.ends_with(".tmp")) {
      RemoveFileQuietly(ToUtf8(it->path()));
    }
  }
}

void StagedFile::Discard() {
  if (started_ || staged_) RemoveFileQuietly(temp_path_);
  started_ = false;
  staged_ = false;
}

int StagedFile::FlushThenKeepAttributes() {
  // The data first: a read-only file (Windows) cannot be opened to flush
  // it. The attributes reach the disk with the rename, which is flushed.
  const int code = files_.Flush(temp_path_);
  return code != 0 ? code : KeepFileAttributes(destination_, temp_path_);
}

int StagedFile::Stage(std::string_view bytes) {
  Discard();
  RemoveStaleStagedFiles(destination_);
  int code = files_.WriteWhole(temp_path_, bytes);
  if (code == 0) code = FlushThenKeepAttributes();
  if (code != 0) RemoveFileQuietly(temp_path_);
  staged_ = code == 0;
  return code;
}

int StagedFile::StageCopyOf(const std::string& source) {
  const int code = StartCopyOf(source);
  return code != 0 ? code : FinishStaging();
}

int StagedFile::StartCopyOf(const std::string& source) {
  // A source that is no file (missing, a folder) leaves an earlier stage
  // as it was.
  if (!files_.IsFile(source)) return files_.Exists(source) ? 5 : 2;
  Discard();
  RemoveStaleStagedFiles(destination_);
  const int code = files_.CopyWhole(source, temp_path_);
  if (code != 0) {
    RemoveFileQuietly(temp_path_);
    return code;
  }
  StartWriteBack(temp_path_);
  started_ = true;
  return 0;
}

int StagedFile::FinishStaging() {
  started_ = false;
  const int code = FlushThenKeepAttributes();
  if (code != 0) {
    RemoveFileQuietly(temp_path_);
    return code;
  }
  staged_ = true;
  return 0;
}

int StagedFile::Commit() {
  const int code = files_.RenameOver(temp_path_, destination_);
  if (code == 0) staged_ = false;
  return code;
}

int AtomicReplaceFile(const std::string& source, const std::string& destination,
                      FileSystem& files) {
  StagedFile staged(destination, files);
  const int code = staged.StageCopyOf(source);
  return code != 0 ? code : staged.Commit();
}

}  // namespace platform
