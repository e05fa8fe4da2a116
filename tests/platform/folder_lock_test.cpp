#include "platform/folder_lock.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace platform {
namespace {

TEST(FolderLockTest, OneHolderAtATimeUntilReleased) {
  testing_support::TempDir folder("tqv-lock");
  const std::string path = folder.path().string();
  FolderLock first;
  ASSERT_EQ(first.TryLock(path), 0);
  // A second lock is refused even inside the same process.
  FolderLock second;
  EXPECT_EQ(second.TryLock(path), kLockHeldCode);
  EXPECT_FALSE(second.locked());
  first.Unlock();
  EXPECT_EQ(second.TryLock(path), 0);
  // The lock file stays; its presence alone blocks nobody.
  second.Unlock();
  EXPECT_EQ(first.TryLock(path), 0);
}

TEST(FolderLockTest, AMissingFolderIsReportedNotCreated) {
  testing_support::TempDir folder("tqv-lock");
  FolderLock lock;
  EXPECT_EQ(lock.TryLock(folder.File("absent")), 3);
  EXPECT_FALSE(lock.locked());
}

}  // namespace
}  // namespace platform
