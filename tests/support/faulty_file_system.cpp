#include "support/faulty_file_system.h"

#include <cerrno>
#include <cstring>
#include <utility>

namespace testing_support {
namespace {

using Call = FaultyFileSystem::Call;
using Fault = FaultyFileSystem::Fault;

class FaultyFile : public platform::OpenFile {
 public:
  FaultyFile(FaultyFileSystem& owner, std::unique_ptr<platform::OpenFile> real,
             std::string path)
      : owner_(owner), real_(std::move(real)), path_(std::move(path)) {}

  bool writable() const override { return real_->writable(); }
  uint64_t Size() override {
    Check(Call::kSize);
    return real_->Size();
  }
  size_t ReadAt(uint64_t offset, char* data, size_t size) override {
    Check(Call::kReadAt);
    return real_->ReadAt(offset, data, size);
  }
  void WriteAt(uint64_t offset, const char* data, size_t size) override {
    const Fault* fault = owner_.Due(Call::kWriteAt, path_);
    if (fault != nullptr && *fault == Fault::kShortWrite) {
      real_->WriteAt(offset, data, size / 2);
      FaultyFileSystem::Throw(Fault::kDiskFull);
    }
    if (fault != nullptr) FaultyFileSystem::Throw(*fault);
    real_->WriteAt(offset, data, size);
  }
  void Truncate(uint64_t size) override {
    Check(Call::kTruncate);
    real_->Truncate(size);
  }
  void LockExclusive() override {
    Check(Call::kLockExclusive);
    real_->LockExclusive();
  }

 private:
  void Check(Call call) {
    if (const Fault* fault = owner_.Due(call, path_))
      FaultyFileSystem::Throw(*fault);
  }

  FaultyFileSystem& owner_;
  std::unique_ptr<platform::OpenFile> real_;
  std::string path_;
};

}  // namespace

platform::FileSystem& DriveC() {
  static platform::NativeFileSystem files(
      platform::NativeFileSystem::Paths::kDriveC);
  return files;
}

void FaultyFileSystem::FailAt(Call call, Fault fault, int nth,
                              std::string path_part) {
  rules_.push_back({call, fault, nth, std::move(path_part)});
}

void FaultyFileSystem::FailAlways(Call call, Fault fault,
                                  std::string path_part) {
  rules_.push_back({call, fault, 0, std::move(path_part)});
}

const Fault* FaultyFileSystem::Due(Call call, const std::string& path) {
  ++counts_[static_cast<int>(call)];
  for (Rule& rule : rules_) {
    if (rule.call != call || path.find(rule.path_part) == std::string::npos)
      continue;
    if (rule.countdown == 0) return &(due_ = rule.fault);
    if (--rule.countdown == 0) {
      due_ = rule.fault;
      rule.countdown = -1;  // spent
      return &due_;
    }
  }
  return nullptr;
}

void FaultyFileSystem::Throw(Fault fault) {
  using Kind = platform::FileError::Kind;
  switch (fault) {
    case Fault::kLocked:
      throw platform::FileError(Kind::kLocked, std::strerror(EWOULDBLOCK));
    case Fault::kMissing:
      throw platform::FileError(Kind::kNotFound, std::strerror(ENOENT));
    case Fault::kAccessDenied:
      throw platform::FileError(Kind::kFailed, std::strerror(EACCES));
    case Fault::kDiskFull:
    case Fault::kShortWrite:
      break;
  }
  throw platform::FileError(Kind::kFailed, std::strerror(ENOSPC));
}

std::unique_ptr<platform::OpenFile> FaultyFileSystem::Open(
    const std::string& path, bool writable, platform::FileLock lock,
    platform::OpenMode mode) {
  if (const Fault* fault = Due(Call::kOpen, path)) Throw(*fault);
  return std::make_unique<FaultyFile>(
      *this, real_.Open(path, writable, lock, mode), path);
}

bool FaultyFileSystem::ReadWhole(const std::string& path, std::string* bytes) {
  if (Due(Call::kReadWhole, path) != nullptr) return false;
  return real_.ReadWhole(path, bytes);
}

bool FaultyFileSystem::ReplaceWhole(const std::string& path,
                                    std::string_view bytes) {
  if (Due(Call::kReplaceWhole, path) != nullptr) return false;
  return real_.ReplaceWhole(path, bytes);
}

bool FaultyFileSystem::CreateFolders(const std::string& path) {
  if (Due(Call::kCreateFolders, path) != nullptr) return false;
  return real_.CreateFolders(path);
}

}  // namespace testing_support
