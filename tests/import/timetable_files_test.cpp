#include "import/timetable_files.h"

#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "import/import_fixture.h"
#include "shell/io_error.h"
#include "support/faulty_file_system.h"

namespace import_testing {
namespace {

namespace fs = std::filesystem;

// The replacement of the administration timetables when something fails on
// the way: the administration folder stays as it was, no staged file stays
// beside it, and a backup that could be made is complete.
class ReplaceAdminTimetablesTest : public ImportFixture {
 protected:
  void SetUp() override {
    ImportFixture::SetUp();
    old_groups_ = WriteTable("GC/horgrup.dbf", kHorgrup,
                             {{"1", "1", "", "", kOtherCentre, "5"}});
    old_teachers_ = WriteTable("GC/horprof.dbf", kHorprof,
                               {{"1", "1", "", "", "AA", kOtherCentre, "5"}});
    WriteTable("QTEMP/VALENCIA/horgrup.dbf", kHorgrup, {});
    WriteTable("QTEMP/VALENCIA/horprof.dbf", kHorprof, {});
  }
  // The backup folders of this second and the next few, so that a case can
  // block the one the run will use.
  std::vector<fs::path> BackupFolders() const {
    std::vector<fs::path> folders;
    const std::time_t now = std::time(nullptr);
    for (int s = 0; s < 5; ++s) {
      folders.push_back(drive_.path() / "QTEMP" / "COPIAS" /
                        importing::BackupStamp(now + s));
    }
    return folders;
  }
  // The names in the administration folder.
  std::vector<std::string> AdminNames() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(drive_.path() / "GC"))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  std::string old_groups_;
  std::string old_teachers_;
};

TEST_F(ReplaceAdminTimetablesTest,
       AFailureLeavesTheAdministrationFolderAsItWas) {
  const std::string staged_horprof =
      "horprof.dbf.tqv" + std::to_string(::getpid()) + ".tmp";
  const struct {
    const char* name;
    std::function<void()> block;
    bool backup_complete;
    std::vector<std::string> admin_names;
  } cases[] = {
      // A folder where the staged copy of horprof should go: staging fails
      // after horgrup was staged; the backup is still made whole.
      {"staging fails",
       [&] { fs::create_directories(Native("GC/" + staged_horprof)); },
       true,
       {"horgrup.dbf", "horprof.dbf", staged_horprof}},
      // A folder where the backup of horgrup should go: the backup fails
      // after both files were staged; the staged files go.
      {"the backup fails",
       [&] {
         for (const fs::path& folder : BackupFolders())
           fs::create_directories(folder / "horgrup.dbf");
       },
       false,
       {"horgrup.dbf", "horprof.dbf"}},
  };
  for (const auto& tc : cases) {
    fs::remove_all(drive_.path() / "QTEMP" / "COPIAS");
    tc.block();
    EXPECT_THROW(
        importing::ReplaceAdminTimetables(testing_support::DriveC(), "C:\\GC"),
        shell::IoError)
        << tc.name;
    EXPECT_EQ(drive_.Read("GC/horgrup.dbf"), old_groups_) << tc.name;
    EXPECT_EQ(drive_.Read("GC/horprof.dbf"), old_teachers_) << tc.name;
    EXPECT_EQ(AdminNames(), tc.admin_names) << tc.name;
    if (tc.backup_complete) {
      int backups = 0;
      for (const fs::path& folder : BackupFolders()) {
        if (!fs::exists(folder)) continue;
        ++backups;
        EXPECT_EQ(
            drive_.Read(
                fs::relative(folder / "horgrup.dbf", drive_.path()).string()),
            old_groups_)
            << tc.name;
        EXPECT_EQ(
            drive_.Read(
                fs::relative(folder / "horprof.dbf", drive_.path()).string()),
            old_teachers_)
            << tc.name;
      }
      EXPECT_EQ(backups, 1) << tc.name;
    }
    fs::remove_all(Native("GC/" + staged_horprof));
  }
}

// Runs in the same second each keep their own backup: a later run never
// writes over the copies of an earlier one.
TEST_F(ReplaceAdminTimetablesTest, RunsInOneSecondKeepEveryBackup) {
  const std::time_t now = std::time(nullptr);
  const fs::path root = drive_.path() / "QTEMP" / "COPIAS";
  const std::string stamp = importing::BackupStamp(now);
  EXPECT_EQ(importing::NewBackupFolder(testing_support::DriveC(), now),
            "C:\\QTEMP\\COPIAS\\" + stamp);
  fs::create_directories(root / stamp);
  drive_.Write("QTEMP/COPIAS/" + stamp + "/horprof.dbf", "copy of run 1");
  EXPECT_EQ(importing::NewBackupFolder(testing_support::DriveC(), now),
            "C:\\QTEMP\\COPIAS\\" + stamp + "-2");
  fs::create_directories(root / (stamp + "-2"));
  drive_.Write("QTEMP/COPIAS/" + stamp + "-2/horgrup.dbf", "copy of run 2");
  EXPECT_EQ(importing::NewBackupFolder(testing_support::DriveC(), now),
            "C:\\QTEMP\\COPIAS\\" + stamp + "-3");

  // Two replacements one after the other: each backup holds what the
  // administration folder held before it.
  fs::remove_all(root);
  const std::string first_new =
      WriteTable("QTEMP/VALENCIA/horgrup.dbf", kHorgrup,
                 {{"2", "3", "", "", kOtherCentre, "7"}});
  importing::ReplaceAdminTimetables(testing_support::DriveC(), "C:\\GC");
  WriteTable("QTEMP/VALENCIA/horgrup.dbf", kHorgrup, {});
  importing::ReplaceAdminTimetables(testing_support::DriveC(), "C:\\GC");
  std::vector<std::string> held;
  for (const auto& entry : fs::directory_iterator(root))
    held.push_back(drive_.Read(
        fs::relative(entry.path() / "horgrup.dbf", drive_.path()).string()));
  std::sort(held.begin(), held.end());
  std::vector<std::string> expected = {old_groups_, first_new};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(held, expected);
}

}  // namespace
}  // namespace import_testing
