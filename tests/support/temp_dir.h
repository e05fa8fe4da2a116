#pragma once

#include <filesystem>
#include <string>

namespace testing_support {

// A fresh, uniquely named folder under the system temporary folder
// (normally /tmp). The folder and everything in it are removed when the
// object is destroyed.
class TempDir {
 public:
  // `prefix` becomes the start of the folder name, to ease debugging.
  explicit TempDir(const std::string& prefix = "tqv");
  ~TempDir();

  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // Path of `name` inside the folder, as a UTF-8 string.
  std::string File(const std::string& name) const;
  // Writes `bytes` to the file `name` inside the folder; returns its path.
  std::string Write(const std::string& name, const std::string& bytes) const;
  // The whole content of the file `name` inside the folder ("" if missing).
  std::string Read(const std::string& name) const;

 private:
  std::filesystem::path path_;
};

}  // namespace testing_support
