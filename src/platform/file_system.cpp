#include "platform/file_system.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "platform/atomic_replace.h"
#include "platform/drive_mapping.h"
#include "platform/path_case.h"
#include "platform/raw_file.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

// Paths cross the program as UTF-8 on every platform.
fs::path FsPath(const std::string& utf8) {
  return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace

std::string NativeFileSystem::NativePath(std::string_view path) {
  if (paths_ == Paths::kDriveC) return MapFixedPath(path);
#ifdef _WIN32
  return std::string(path);  // the file system ignores letter case already
#else
  return ResolveCase(NormalizeSeparators(path));
#endif
}

std::string NativeFileSystem::Identity(const std::string& path) {
  std::error_code error;
  const fs::path canonical = fs::weakly_canonical(FsPath(path), error);
  std::string key = error ? path : Utf8(canonical);
#ifdef _WIN32
  std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) {
    return static_cast<char>(std::tolower(c));
  });
#endif
  return key;
}

bool NativeFileSystem::ReadWhole(const std::string& path, std::string* bytes) {
  RawFile file;
  return file.OpenForReading(path) == 0 && file.ReadAll(bytes) == 0 &&
         file.Close() == 0;
}

bool NativeFileSystem::ReplaceWhole(const std::string& path,
                                    std::string_view bytes) {
  StagedFile staged(path, *this);
  return staged.Stage(bytes) == 0 && staged.Commit() == 0;
}

bool NativeFileSystem::Exists(const std::string& path) {
  std::error_code error;
  return fs::exists(FsPath(path), error);
}

bool NativeFileSystem::IsFile(const std::string& path) {
  std::error_code error;
  return fs::is_regular_file(FsPath(path), error);
}

void NativeFileSystem::Remove(const std::string& path) noexcept {
  try {
    std::error_code error;
    fs::remove(FsPath(path), error);
  } catch (...) {
    // A failure is not reported.
  }
}

bool NativeFileSystem::CreateFolders(const std::string& path) {
  std::error_code error;
  const fs::path native = FsPath(path);
  fs::create_directories(native, error);
  return fs::is_directory(native, error);
}

int NativeFileSystem::CopyWhole(const std::string& from,
                                const std::string& to) {
  RawFile in;
  int code = in.OpenForReading(from);
  if (code != 0) return code;
  RawFile out;
  code = out.Create(to);
  if (code != 0) return code;
  code = in.CopyTo(out);
  const int closed_out = out.Close();
  if (code == 0) code = closed_out;
  const int closed_in = in.Close();
  return code != 0 ? code : closed_in;
}

int NativeFileSystem::WriteWhole(const std::string& path,
                                 std::string_view bytes) {
  RawFile out;
  int code = out.Create(path);
  while (code == 0 && !bytes.empty()) {
    size_t count = 0;
    code = out.Write(bytes.data(), bytes.size(), &count);
    if (code == 0 && count == 0) code = kDiskFullCode;
    bytes.remove_prefix(count);
  }
  if (!out.IsOpen()) return code;
  const int closed = out.Close();
  return code != 0 ? code : closed;
}

int NativeFileSystem::Flush(const std::string& path) {
  return FlushFileData(path);
}

int NativeFileSystem::RenameOver(const std::string& from,
                                 const std::string& to) {
  return RenameOverDurably(from, to);
}

bool NativeFileSystem::HeldByAnotherProgram(const std::string& path,
                                            PlannedUse use) {
  return platform::HeldByAnotherProgram(path, use);
}

NativeFileSystem& NativeFileSystem::Local() {
  static NativeFileSystem local(Paths::kNative);
  return local;
}

}  // namespace platform
