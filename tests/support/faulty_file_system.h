#pragma once

// A file system for tests that reaches the real one but can be told to fail
// any of its calls, as a full disk, a short write, refused access or a lock
// held by another program would, without root and without filling a disk.
// It may be called from several threads at once.

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/file_system.h"

namespace testing_support {

// The drive-mapped file system of the programs ("C:\..." under the folder
// that platform::SetDriveCOverride names).
platform::FileSystem& DriveC();

class FaultyFileSystem : public platform::FileSystem {
 public:
  // Each call of the file system, and of the files it opens, that can fail.
  enum class Call {
    kOpen,
    kReadWhole,
    kReplaceWhole,
    kCreateFolders,
    kSize,
    kReadAt,
    kWriteAt,
    kTruncate,
    kLockExclusive,
    kCopyWhole,
    kWriteWhole,
    kFlush,
    kRenameOver,
    kHeldByAnotherProgram,
    kRemove,
  };
  static constexpr int kCallKinds = 15;
  static const char* NameOf(Call call);

  // What a failing call does.
  enum class Fault {
    kDiskFull,      // nothing is stored: "Disco lleno"
    kShortWrite,    // half of the bytes are stored, then the disk is full
    kAccessDenied,  // "Acceso al archivo denegado"
    kLocked,        // another program holds the file
    kMissing,       // the file is not there
  };
  static const char* NameOf(Fault fault);

  explicit FaultyFileSystem(platform::FileSystem& real) : real_(real) {}

  // The `nth` call (1 = the next) of `call` on a path that contains
  // `path_part` ("" for any) fails with `fault`; the calls before and after
  // it reach the real file system.
  void FailAt(Call call, Fault fault, int nth = 1, std::string path_part = "");
  // Every call of `call` on such a path fails from now on.
  void FailAlways(Call call, Fault fault, std::string path_part = "");
  // The `nth` call of any kind (1 = the next) fails with `fault`.
  void FailNthCall(int nth, Fault fault);
  void Heal();
  // How many calls of `call` were made so far.
  int Count(Call call) const;
  // Every call so far, in order, with its path.
  std::vector<std::pair<Call, std::string>> Calls() const;
  // The call that a fault hit last, if any ("" otherwise).
  std::string LastFailed() const;

  std::string NativePath(std::string_view path) override {
    return real_.NativePath(path);
  }
  std::string Identity(const std::string& path) override {
    return real_.Identity(path);
  }
  std::unique_ptr<platform::OpenFile> Open(const std::string& path,
                                           bool writable,
                                           platform::FileLock lock,
                                           platform::OpenMode mode) override;
  bool ReadWhole(const std::string& path, std::string* bytes) override;
  bool ReplaceWhole(const std::string& path, std::string_view bytes) override;
  bool Exists(const std::string& path) override { return real_.Exists(path); }
  bool IsFile(const std::string& path) override { return real_.IsFile(path); }
  // A failing removal leaves the file, silently, as the real one does.
  void Remove(const std::string& path) noexcept override;
  bool CreateFolders(const std::string& path) override;
  int CopyWhole(const std::string& from, const std::string& to) override;
  int WriteWhole(const std::string& path, std::string_view bytes) override;
  int Flush(const std::string& path) override;
  int RenameOver(const std::string& from, const std::string& to) override;
  bool HeldByAnotherProgram(const std::string& path,
                            platform::PlannedUse use) override;

  // For the files this opens: whether a fault is due for `call` on `path`;
  // if so it is stored in `*fault`. Counts the call.
  bool Due(Call call, const std::string& path, Fault* fault);
  [[noreturn]] static void Throw(Fault fault);
  // The error code (Windows numbering) that a call answering one gives.
  static int CodeOf(Fault fault);

 private:
  struct Rule {
    bool any_call;  // counts calls of every kind
    Call call;
    Fault fault;
    int countdown;  // 0: always; -1: spent
    std::string path_part;
  };

  platform::FileSystem& real_;
  mutable std::mutex mutex_;
  std::vector<Rule> rules_;
  int counts_[kCallKinds] = {};
  std::vector<std::pair<Call, std::string>> calls_;
  std::string last_failed_;
};

}  // namespace testing_support
