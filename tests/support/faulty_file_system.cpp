#include "support/faulty_file_system.h"

#include <utility>

#include "platform/raw_file.h"

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
    Fault fault;
    if (owner_.Due(Call::kWriteAt, path_, &fault)) {
      if (fault == Fault::kShortWrite) real_->WriteAt(offset, data, size / 2);
      FaultyFileSystem::Throw(fault);
    }
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
    Fault fault;
    if (owner_.Due(call, path_, &fault)) FaultyFileSystem::Throw(fault);
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

const char* FaultyFileSystem::NameOf(Call call) {
  static const char* const kNames[kCallKinds] = {
      "Open",          "ReadWhole",
      "ReplaceWhole",  "CreateFolders",
      "Size",          "ReadAt",
      "WriteAt",       "Truncate",
      "LockExclusive", "CopyWhole",
      "WriteWhole",    "Flush",
      "RenameOver",    "HeldByAnotherProgram",
      "Remove"};
  return kNames[static_cast<int>(call)];
}

const char* FaultyFileSystem::NameOf(Fault fault) {
  static const char* const kNames[] = {"disk full", "short write",
                                       "access denied", "locked", "missing"};
  return kNames[static_cast<int>(fault)];
}

void FaultyFileSystem::FailAt(Call call, Fault fault, int nth,
                              std::string path_part) {
  const std::lock_guard<std::mutex> lock(mutex_);
  rules_.push_back({false, call, fault, nth, std::move(path_part)});
}

void FaultyFileSystem::FailAlways(Call call, Fault fault,
                                  std::string path_part) {
  const std::lock_guard<std::mutex> lock(mutex_);
  rules_.push_back({false, call, fault, 0, std::move(path_part)});
}

void FaultyFileSystem::FailNthCall(int nth, Fault fault) {
  const std::lock_guard<std::mutex> lock(mutex_);
  rules_.push_back({true, Call::kOpen, fault, nth, ""});
}

void FaultyFileSystem::Heal() {
  const std::lock_guard<std::mutex> lock(mutex_);
  rules_.clear();
}

int FaultyFileSystem::Count(Call call) const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return counts_[static_cast<int>(call)];
}

std::vector<std::pair<Call, std::string>> FaultyFileSystem::Calls() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return calls_;
}

std::string FaultyFileSystem::LastFailed() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return last_failed_;
}

bool FaultyFileSystem::Due(Call call, const std::string& path, Fault* fault) {
  const std::lock_guard<std::mutex> lock(mutex_);
  ++counts_[static_cast<int>(call)];
  calls_.emplace_back(call, path);
  for (Rule& rule : rules_) {
    if (rule.countdown < 0) continue;  // spent
    if (!rule.any_call &&
        (rule.call != call || path.find(rule.path_part) == std::string::npos))
      continue;
    if (rule.countdown > 0) {  // 0: every call
      if (--rule.countdown > 0) continue;
      rule.countdown = -1;
    }
    *fault = rule.fault;
    last_failed_ = std::string(NameOf(call)) + " " + path;
    return true;
  }
  return false;
}

int FaultyFileSystem::CodeOf(Fault fault) {
  switch (fault) {
    case Fault::kLocked:
      return 32;
    case Fault::kMissing:
      return 2;
    case Fault::kAccessDenied:
      return 5;
    case Fault::kDiskFull:
    case Fault::kShortWrite:
      break;
  }
  return platform::kDiskFullCode;
}

void FaultyFileSystem::Throw(Fault fault) {
  using Kind = platform::FileError::Kind;
  const std::string text = platform::ErrorText(CodeOf(fault));
  switch (fault) {
    case Fault::kLocked:
      throw platform::FileError(Kind::kLocked, text);
    case Fault::kMissing:
      throw platform::FileError(Kind::kNotFound, text);
    default:
      throw platform::FileError(Kind::kFailed, text);
  }
}

std::unique_ptr<platform::OpenFile> FaultyFileSystem::Open(
    const std::string& path, bool writable, platform::FileLock lock,
    platform::OpenMode mode) {
  Fault fault;
  if (Due(Call::kOpen, path, &fault)) Throw(fault);
  return std::make_unique<FaultyFile>(
      *this, real_.Open(path, writable, lock, mode), path);
}

bool FaultyFileSystem::ReadWhole(const std::string& path, std::string* bytes) {
  Fault fault;
  if (Due(Call::kReadWhole, path, &fault)) return false;
  return real_.ReadWhole(path, bytes);
}

bool FaultyFileSystem::ReplaceWhole(const std::string& path,
                                    std::string_view bytes) {
  Fault fault;
  if (Due(Call::kReplaceWhole, path, &fault)) return false;
  return real_.ReplaceWhole(path, bytes);
}

void FaultyFileSystem::Remove(const std::string& path) noexcept {
  Fault fault;
  if (!Due(Call::kRemove, path, &fault)) real_.Remove(path);
}

bool FaultyFileSystem::CreateFolders(const std::string& path) {
  Fault fault;
  if (Due(Call::kCreateFolders, path, &fault)) return false;
  return real_.CreateFolders(path);
}

int FaultyFileSystem::CopyWhole(const std::string& from,
                                const std::string& to) {
  Fault fault;
  if (!Due(Call::kCopyWhole, to, &fault)) return real_.CopyWhole(from, to);
  if (fault == Fault::kShortWrite) {
    std::string bytes;
    if (real_.ReadWhole(from, &bytes)) {
      real_.WriteWhole(to, std::string_view(bytes).substr(0, bytes.size() / 2));
    }
  }
  return CodeOf(fault);
}

int FaultyFileSystem::WriteWhole(const std::string& path,
                                 std::string_view bytes) {
  Fault fault;
  if (!Due(Call::kWriteWhole, path, &fault))
    return real_.WriteWhole(path, bytes);
  if (fault == Fault::kShortWrite)
    real_.WriteWhole(path, bytes.substr(0, bytes.size() / 2));
  return CodeOf(fault);
}

int FaultyFileSystem::Flush(const std::string& path) {
  Fault fault;
  if (Due(Call::kFlush, path, &fault)) return CodeOf(fault);
  return real_.Flush(path);
}

int FaultyFileSystem::RenameOver(const std::string& from,
                                 const std::string& to) {
  Fault fault;
  if (Due(Call::kRenameOver, to, &fault)) return CodeOf(fault);
  return real_.RenameOver(from, to);
}

bool FaultyFileSystem::HeldByAnotherProgram(const std::string& path,
                                            platform::PlannedUse use) {
  Fault fault;
  if (Due(Call::kHeldByAnotherProgram, path, &fault)) return true;
  return real_.HeldByAnotherProgram(path, use);
}

}  // namespace testing_support
