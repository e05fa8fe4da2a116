#include "platform/atomic_replace.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

size_t FileCount(const fs::path& folder) {
  return static_cast<size_t>(
      std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

TEST(StagedFileTest, CommitReplacesAndAnUncommittedStageLeavesNoTrace) {
  testing_support::TempDir dir("tqv-replace");
  const std::string target = dir.Write("horgrup.dbf", "old");
  {
    platform::StagedFile staged(target);
    ASSERT_EQ(staged.Stage("new, not committed"), 0);
    EXPECT_EQ(dir.Read("horgrup.dbf"), "old");
    EXPECT_EQ(FileCount(dir.path()), 2u);
  }
  EXPECT_EQ(dir.Read("horgrup.dbf"), "old");
  EXPECT_EQ(FileCount(dir.path()), 1u);

  // A temporary file of a killed process goes with the next stage.
  dir.Write("horgrup.dbf.tqv99999.tmp", "stale");
  dir.Write("horprof.dbf.tqv99999.tmp", "another file's");
  const std::string source = dir.Write("source", std::string(100000, 'x'));
  ASSERT_EQ(platform::AtomicReplaceFile(source, target), 0);
  EXPECT_EQ(dir.Read("horgrup.dbf"), std::string(100000, 'x'));
  EXPECT_FALSE(fs::exists(dir.path() / "horgrup.dbf.tqv99999.tmp"));
  EXPECT_TRUE(fs::exists(dir.path() / "horprof.dbf.tqv99999.tmp"));
}

TEST(StagedFileTest, FailuresComeBackAsWindowsCodes) {
  testing_support::TempDir dir("tqv-replace");
  const struct {
    const char* name;
    std::string source;
    std::string destination;
    int code;
  } cases[] = {
      {"missing source", dir.File("none"), dir.File("x.dbf"), 2},
      {"missing folder", dir.Write("s", "s"), dir.File("no/x.dbf"), 3},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(platform::AtomicReplaceFile(c.source, c.destination), c.code)
        << c.name;
  }
}

}  // namespace
