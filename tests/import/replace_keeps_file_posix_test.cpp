// Replacing the administration's timetables keeps what each file was: its
// owner, group and permissions, and a symbolic link stays a link whose
// target gets the new content.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "import/import_fixture.h"
#include "import/timetable_files.h"
#include "support/faulty_file_system.h"

namespace import_testing {
namespace {

namespace fs = std::filesystem;

class ReplaceKeepsFileTest : public ImportFixture {
 protected:
  void SetUp() override {
    ImportFixture::SetUp();
    WriteTable("GC/horgrup.dbf", kHorgrup, {});
    WriteTable("GC/horprof.dbf", kHorprof, {});
    new_groups_ = WriteTable("QTEMP/VALENCIA/horgrup.dbf", kHorgrup,
                             {{"1", "1", "", "", kCentre, "5"}});
    new_teachers_ = WriteTable("QTEMP/VALENCIA/horprof.dbf", kHorprof,
                               {{"1", "1", "", "", "AA", kCentre, "5"}});
  }
  static struct stat Stat(const std::string& path) {
    struct stat status {};
    EXPECT_EQ(::lstat(path.c_str(), &status), 0) << path;
    return status;
  }

  std::string new_groups_, new_teachers_;
};

TEST_F(ReplaceKeepsFileTest, OwnerGroupAndModeStay) {
  const std::string horgrup = Native("GC/horgrup.dbf");
  // Another user's file where this process may give files away (root);
  // otherwise this process's own, with unusual bits.
  const bool root = ::geteuid() == 0;
  const uid_t uid = root ? 1000 : ::geteuid();
  const gid_t gid = root ? 1000 : ::getegid();
  ASSERT_EQ(::chown(horgrup.c_str(), uid, gid), 0);
  for (const mode_t mode : {0664, 0600, 0640, 0444}) {
    SCOPED_TRACE(mode);
    ASSERT_EQ(::chmod(horgrup.c_str(), mode), 0);
    importing::ReplaceAdminTimetables(testing_support::DriveC(), "C:\\GC");
    const struct stat after = Stat(horgrup);
    EXPECT_EQ(after.st_mode & 07777, mode);
    EXPECT_EQ(after.st_uid, uid);
    EXPECT_EQ(after.st_gid, gid);
    EXPECT_EQ(drive_.Read("GC/horgrup.dbf"), new_groups_);
  }
}

TEST_F(ReplaceKeepsFileTest, ALinkIsFollowedToItsTarget) {
  fs::create_directories(drive_.path() / "SHARED");
  fs::rename(Native("GC/horprof.dbf"), Native("SHARED/horprof.dbf"));
  fs::create_symlink("../SHARED/horprof.dbf", Native("GC/horprof.dbf"));
  importing::ReplaceAdminTimetables(testing_support::DriveC(), "C:\\GC");
  EXPECT_TRUE(fs::is_symlink(Native("GC/horprof.dbf")));
  EXPECT_EQ(fs::read_symlink(Native("GC/horprof.dbf")),
            "../SHARED/horprof.dbf");
  EXPECT_EQ(drive_.Read("SHARED/horprof.dbf"), new_teachers_);
  EXPECT_EQ(drive_.Read("GC/horgrup.dbf"), new_groups_);
  // Nothing is left beside the target.
  EXPECT_EQ(std::distance(fs::directory_iterator(drive_.path() / "SHARED"),
                          fs::directory_iterator()),
            1);
}

}  // namespace
}  // namespace import_testing
