// The folder lock against other processes: a live holder blocks, a killed
// one does not, and the record locks Wine takes for Windows programs count.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/folder_lock.h"
#include "support/temp_dir.h"

namespace platform {
namespace {

enum class HolderKind { kFolderLock, kPosixRecordLock };

// A child process that holds the folder's lock file in the way `kind` says
// until it is killed.
pid_t StartHolder(const std::string& folder, HolderKind kind) {
  int ready[2];
  if (::pipe(ready) != 0) return -1;
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(ready[0]);
    bool held = false;
    FolderLock lock;
    if (kind == HolderKind::kFolderLock) {
      held = lock.TryLock(folder) == 0;
    } else {
      const std::string path = folder + "/" + FolderLock::kLockFileName;
      const int fd = ::open(path.c_str(), O_RDWR | O_CREAT, 0666);
      struct flock first_byte {};
      first_byte.l_type = F_WRLCK;
      first_byte.l_whence = SEEK_SET;
      first_byte.l_len = 1;
      held = fd >= 0 && ::fcntl(fd, F_SETLK, &first_byte) == 0;
    }
    const char answer = held ? 'y' : 'n';
    (void)!::write(ready[1], &answer, 1);
    ::pause();
    ::_exit(0);
  }
  ::close(ready[1]);
  char answer = 'n';
  const bool told = ::read(ready[0], &answer, 1) == 1;
  ::close(ready[0]);
  return told && answer == 'y' ? pid : -1;
}

class FolderLockProcessTest : public testing::TestWithParam<HolderKind> {};

TEST_P(FolderLockProcessTest, ALiveHolderBlocksAndAKilledOneDoesNot) {
  testing_support::TempDir folder("tqv-lock");
  const std::string path = folder.path().string();
  const pid_t holder = StartHolder(path, GetParam());
  ASSERT_GT(holder, 0);
  FolderLock lock;
  EXPECT_EQ(lock.TryLock(path), kLockHeldCode);
  ::kill(holder, SIGKILL);
  ::waitpid(holder, nullptr, 0);
  EXPECT_EQ(lock.TryLock(path), 0);
}

INSTANTIATE_TEST_SUITE_P(Holders, FolderLockProcessTest,
                         testing::Values(HolderKind::kFolderLock,
                                         HolderKind::kPosixRecordLock));

}  // namespace
}  // namespace platform
