// Another program's lock on an administration table, of whatever kind,
// stops the copy or the replacement with the held-table message.
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include "import/import_fixture.h"
#include "import/timetable_files.h"
#include "shell/working_copy.h"
#include "support/faulty_file_system.h"
#include "tables/table_error.h"

namespace import_testing {
namespace {

enum class Kind {
  kFlockExclusive,
  kFlockShared,
  kPosixWrite,
  kPosixRead,
  kOfdWrite,
  kOfdRead
};

// A child process holding `path` with a lock of `kind` until it is killed.
class Holder {
 public:
  Holder(const std::string& path, Kind kind) {
    int ready[2];
    if (::pipe(ready) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::close(ready[0]);
      const bool write = kind == Kind::kPosixWrite || kind == Kind::kOfdWrite ||
                         kind == Kind::kFlockExclusive;
      const int fd = ::open(path.c_str(), write ? O_RDWR : O_RDONLY);
      struct flock range {};
      range.l_type = write ? F_WRLCK : F_RDLCK;
      range.l_whence = SEEK_SET;
      range.l_start = 0;
      range.l_len = 1;  // one byte is enough to hold the file
      bool held = false;
      switch (kind) {
        case Kind::kFlockExclusive:
          held = ::flock(fd, LOCK_EX) == 0;
          break;
        case Kind::kFlockShared:
          held = ::flock(fd, LOCK_SH) == 0;
          break;
        case Kind::kPosixWrite:
        case Kind::kPosixRead:
          held = ::fcntl(fd, F_SETLK, &range) == 0;
          break;
        case Kind::kOfdWrite:
        case Kind::kOfdRead:
          held = ::fcntl(fd, F_OFD_SETLK, &range) == 0;
          break;
      }
      const char answer = held ? 'y' : 'n';
      (void)!::write(ready[1], &answer, 1);
      ::pause();
      ::_exit(0);
    }
    ::close(ready[1]);
    char answer = 'n';
    held_ = ::read(ready[0], &answer, 1) == 1 && answer == 'y';
    ::close(ready[0]);
  }
  ~Holder() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  bool held() const { return held_; }

 private:
  pid_t pid_ = -1;
  bool held_ = false;
};

class HeldTableTest : public ImportFixture {
 protected:
  void SetUp() override {
    ImportFixture::SetUp();
    old_teachers_ = WriteTable("GC/horprof.dbf", kHorprof, {});
    WriteTable("GC/horgrup.dbf", kHorgrup, {});
    WriteTable("QTEMP/VALENCIA/horgrup.dbf", kHorgrup, {});
    WriteTable("QTEMP/VALENCIA/horprof.dbf", kHorprof,
               {{"1", "1", "", "", "AA", kCentre, "5"}});
  }
  std::string old_teachers_;
};

TEST_F(HeldTableTest, EveryKindOfLockIsSeen) {
  const std::string held =
      "La tabla 'C:\\GC\\horprof.dbf' está en uso por "
      "otro programa";
  const struct {
    const char* name;
    Kind kind;
    bool copy_refused;  // a copy is refused only by a holder of writing
  } cases[] = {
      {"flock exclusive", Kind::kFlockExclusive, true},
      {"flock shared", Kind::kFlockShared, false},
      {"POSIX write lock", Kind::kPosixWrite, true},
      {"POSIX read lock", Kind::kPosixRead, false},
      {"OFD write lock", Kind::kOfdWrite, true},
      {"OFD read lock", Kind::kOfdRead, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Holder holder(Native("GC/horprof.dbf"), c.kind);
    ASSERT_TRUE(holder.held());
    try {
      importing::ReplaceAdminTimetables(testing_support::DriveC(), "C:\\GC");
      ADD_FAILURE() << "replaced under the holder";
    } catch (const tables::TableError& error) {
      EXPECT_EQ(std::string(error.what()), held);
    }
    EXPECT_EQ(drive_.Read("GC/horprof.dbf"), old_teachers_);
    bool copy_refused = false;
    try {
      shell::CopyDataFile(testing_support::DriveC(), "C:\\QTEMP\\copia.dbf",
                          "C:\\GC\\horprof.dbf");
    } catch (const tables::TableError& error) {
      EXPECT_EQ(std::string(error.what()), held);
      copy_refused = true;
    }
    EXPECT_EQ(copy_refused, c.copy_refused);
  }
}

}  // namespace
}  // namespace import_testing
