#pragma once

// What the benchmarks share: processor time, whole-file reads and writes
// for the I/O floors, and a user interface that stays silent.

#include <time.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "shell/user_interface.h"

namespace bench {

// Processor seconds this process has used, user and system.
inline double CpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + now.tv_nsec / 1e9;
}

inline std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::string bytes(std::filesystem::file_size(path), '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return bytes;
}

inline void WriteAll(const std::filesystem::path& path,
                     const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Runs need no person: every message and window is dropped.
class QuietUi : public shell::UserInterface {
 public:
  void ShowMessage(const std::string&) override {}
  void ShowError(const std::string&) override {}
  void SetBusyCursor(bool) override {}
  void SetRunButtonsEnabled(bool) override {}
  void CloseWindow() override {}
  void ShowTeacherIdentityWindow() override {}
  void ShowPeriodTimesWindow() override {}
};

}  // namespace bench
