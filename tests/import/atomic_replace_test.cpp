#include "platform/atomic_replace.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/raw_file.h"
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

#ifndef _WIN32
// The replaced file is closed after the rename on a thread of its own; its
// handle must not stay open.
TEST(StagedFileTest, ReplacedFilesAreClosedAfterTheRename) {
  testing_support::TempDir dir("tqv-replace");
  const std::string target = dir.Write("horgrup.dbf", "old");
  const std::string source = dir.Write("source", std::string(70000, 'n'));
  const size_t open_before = FileCount("/proc/self/fd");
  for (int i = 0; i < 20; ++i)
    ASSERT_EQ(platform::AtomicReplaceFile(source, target), 0);
  EXPECT_EQ(dir.Read("horgrup.dbf"), std::string(70000, 'n'));
  size_t open_after = 0;
  for (int wait = 0; wait < 200; ++wait) {
    open_after = FileCount("/proc/self/fd");
    if (open_after <= open_before) break;
    usleep(10000);
  }
  EXPECT_EQ(open_after, open_before);
}
#endif

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

// Bytes that differ from their neighbours, so that a byte read from the wrong
// place shows.
std::string Pattern(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 % 251);
  return bytes;
}

TEST(RawFileTest, ReadAllReadsFromThePositionToTheEndOrTheLimit) {
  testing_support::TempDir dir("tqv-rawfile");
  constexpr size_t kAll = std::string::npos;
  const struct {
    size_t size;
    size_t skip;  // bytes read before ReadAll
    size_t limit;
  } cases[] = {
      {0, 0, kAll},         {1, 0, kAll},          {65535, 0, kAll},
      {65536, 0, kAll},     {200001, 0, kAll},     {200001, 0, 0},
      {200001, 0, 10},      {200001, 0, 200001},   {200001, 0, 200002},
      {200001, 1000, kAll}, {200001, 1000, 65536}, {10, 10, kAll},
  };
  for (const auto& c : cases) {
    const std::string content = Pattern(c.size);
    const std::string path = dir.Write("data.dbf", content);
    platform::RawFile file;
    ASSERT_EQ(file.OpenForReading(path), 0);
    std::string skipped(c.skip, '\0');
    size_t count = 0;
    if (c.skip > 0) {
      ASSERT_EQ(file.Read(skipped.data(), c.skip, &count), 0);
    }
    std::string bytes = "old content";
    ASSERT_EQ(file.ReadAll(&bytes, c.limit), 0);
    EXPECT_EQ(bytes, content.substr(c.skip, c.limit))
        << c.size << " " << c.skip << " " << c.limit;
    EXPECT_EQ(file.Close(), 0);
  }
}

// CopyTo copies from the source's position to its end, to the target's
// position, whichever way the system lets it: within one file system (the
// kernel copies) and across two (/dev/shm is another one where it exists;
// the copy then goes through blocks).
TEST(RawFileTest, CopyToCopiesTheRestOfTheFileWhereTheTargetStands) {
  testing_support::TempDir dir("tqv-rawfile");
  std::vector<fs::path> source_folders = {dir.path()};
  std::error_code ec;
  const fs::path shm = "/dev/shm";
  if (fs::is_directory(shm, ec)) source_folders.push_back(shm);
  const struct {
    size_t size;
    size_t skip;  // bytes of the source read before the copy
    size_t lead;  // bytes written to the target before the copy
  } cases[] = {{0, 0, 0},          {1, 0, 0},      {262143, 0, 0},
               {262144, 0, 0},     {262145, 0, 0}, {1000003, 0, 0},
               {1000003, 4097, 5}, {10, 10, 3},    {300000, 299999, 0}};
  for (const fs::path& folder : source_folders) {
    const fs::path source_path =
        folder / ("tqv-copy-" + std::to_string(::getpid()) + ".dbf");
    for (const auto& c : cases) {
      const std::string content = Pattern(c.size);
      std::ofstream(source_path, std::ios::binary | std::ios::trunc) << content;
      platform::RawFile in, out;
      ASSERT_EQ(in.OpenForReading(source_path.string()), 0);
      ASSERT_EQ(out.Create(dir.File("copy.dbf")), 0);
      std::string skipped(c.skip, '\0');
      size_t count = 0;
      if (c.skip > 0) {
        ASSERT_EQ(in.Read(skipped.data(), c.skip, &count), 0);
      }
      const std::string lead(c.lead, '#');
      if (c.lead > 0) {
        ASSERT_EQ(out.Write(lead.data(), c.lead, &count), 0);
      }
      EXPECT_EQ(in.CopyTo(out), 0);
      EXPECT_EQ(out.Close(), 0);
      EXPECT_EQ(in.Close(), 0);
      EXPECT_EQ(dir.Read("copy.dbf"), lead + content.substr(c.skip))
          << folder << " " << c.size << " " << c.skip << " " << c.lead;
    }
    fs::remove(source_path, ec);
  }
}

TEST(StagedFileTest, AFailedCopyLeavesNoTemporaryFile) {
  testing_support::TempDir dir("tqv-replace");
  const std::string target = dir.Write("horgrup.dbf", "old");
  fs::create_directories(dir.path() / "folder.dbf");
  platform::StagedFile staged(target);
  ASSERT_EQ(staged.StageCopyOf(dir.Write("first", "first")), 0);
  // A folder is no file: the earlier stage stays until a new one starts.
  EXPECT_EQ(staged.StageCopyOf(dir.File("folder.dbf")), 5);
  EXPECT_TRUE(staged.staged());
  ASSERT_EQ(staged.StageCopyOf(dir.Write("second", "second")), 0);
  ASSERT_EQ(staged.Commit(), 0);
  EXPECT_EQ(dir.Read("horgrup.dbf"), "second");
  EXPECT_EQ(FileCount(dir.path()), 4u);  // target, folder, first, second
}

TEST(StagedFileTest, AStartedCopyIsStagedOnlyOnceFinished) {
  testing_support::TempDir dir("tqv-replace");
  const std::string target = dir.Write("horprof.dbf", "old");
  const std::string source = dir.Write("source", "new");
  {
    platform::StagedFile staged(target);
    ASSERT_EQ(staged.StartCopyOf(source), 0);
    EXPECT_FALSE(staged.staged());
    EXPECT_EQ(FileCount(dir.path()), 3u);
  }  // never finished: the temporary file goes
  EXPECT_EQ(FileCount(dir.path()), 2u);
  platform::StagedFile staged(target);
  ASSERT_EQ(staged.StartCopyOf(source), 0);
  ASSERT_EQ(staged.FinishStaging(), 0);
  EXPECT_TRUE(staged.staged());
  EXPECT_EQ(dir.Read("horprof.dbf"), "old");
  ASSERT_EQ(staged.Commit(), 0);
  EXPECT_EQ(dir.Read("horprof.dbf"), "new");
  EXPECT_EQ(FileCount(dir.path()), 2u);
}

}  // namespace
