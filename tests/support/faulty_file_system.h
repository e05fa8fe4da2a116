#pragma once

// A file system for tests that reaches the real one but can be told to fail
// any of its calls, as a full disk, a short write, refused access or a lock
// held by another program would, without root and without filling a disk.

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace testing_support {

// The drive-mapped file system of the programs ("C:\..." under the folder
// that platform::SetDriveCOverride names).
platform::FileSystem& DriveC();

class FaultyFileSystem : public platform::FileSystem {
 public:
  // Each call of the file system, and of the files it opens.
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
  };
  // What a failing call does.
  enum class Fault {
    kDiskFull,      // nothing is stored: "No space left on device"
    kShortWrite,    // WriteAt stores half of the bytes, then the disk is full
    kAccessDenied,  // "Permission denied"
    kLocked,        // another program holds the file
    kMissing,       // the file is not there
  };

  explicit FaultyFileSystem(platform::FileSystem& real) : real_(real) {}

  // The `nth` call (1 = the next) of `call` on a path that contains
  // `path_part` ("" for any) fails with `fault`; the calls before and after
  // it reach the real file system.
  void FailAt(Call call, Fault fault, int nth = 1, std::string path_part = "");
  // Every call of `call` on such a path fails from now on.
  void FailAlways(Call call, Fault fault, std::string path_part = "");
  void Heal() { rules_.clear(); }
  // How many calls of `call` were made so far.
  int Count(Call call) const { return counts_[static_cast<int>(call)]; }

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
  void Remove(const std::string& path) noexcept override { real_.Remove(path); }
  bool CreateFolders(const std::string& path) override;

  // For the files this opens: the fault due for `call` on `path`, if any.
  // Counts the call.
  const Fault* Due(Call call, const std::string& path);
  [[noreturn]] static void Throw(Fault fault);

 private:
  struct Rule {
    Call call;
    Fault fault;
    int countdown;  // 0: always
    std::string path_part;
  };

  platform::FileSystem& real_;
  std::vector<Rule> rules_;
  int counts_[9] = {};
  Fault due_ = Fault::kDiskFull;
};

}  // namespace testing_support
