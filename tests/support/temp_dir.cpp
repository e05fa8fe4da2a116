#include "support/temp_dir.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <system_error>

#ifdef _WIN32
#include <process.h>
#define TQV_GETPID _getpid
#else
#include <unistd.h>
#define TQV_GETPID getpid
#endif

namespace testing_support {
namespace {

std::atomic<unsigned> counter{0};

std::filesystem::path FromUtf8(const std::string& text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

std::string ToUtf8(const std::filesystem::path& path) {
  std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

std::string UniqueName(const std::string& prefix) {
  std::random_device device;
  std::mt19937_64 rng(
      device() ^
      static_cast<std::uint64_t>(
          std::chrono::steady_clock::now().time_since_epoch().count()));
  return prefix + "-" + std::to_string(TQV_GETPID()) + "-" +
         std::to_string(counter.fetch_add(1)) + "-" +
         std::to_string(rng() % 1000000000ULL);
}

}  // namespace

TempDir::TempDir(const std::string& prefix) {
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::filesystem::path candidate = base / UniqueName(prefix);
    std::error_code error;
    // create_directory returns false when it already exists: try another.
    if (std::filesystem::create_directory(candidate, error)) {
      path_ = candidate;
      return;
    }
  }
  throw std::runtime_error("TempDir: cannot create a temporary folder");
}

TempDir::~TempDir() {
  std::error_code error;
  std::filesystem::remove_all(path_, error);
}

std::string TempDir::File(const std::string& name) const {
  return ToUtf8(path_ / FromUtf8(name));
}

std::string TempDir::Write(const std::string& name,
                           const std::string& bytes) const {
  std::string file = File(name);
  std::ofstream out(FromUtf8(file), std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("TempDir: cannot write " + file);
  return file;
}

std::string TempDir::Read(const std::string& name) const {
  std::ifstream in(FromUtf8(File(name)), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in),
                     std::istreambuf_iterator<char>());
}

}  // namespace testing_support
