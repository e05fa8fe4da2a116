// Exclusive opens on Windows: the share mode of CreateFileW is the lock, so
// another program that holds the file (a handle of its own, here opened
// directly) keeps us out with our Spanish message, and ours keeps it out.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "support/temp_dir.h"
#include "tables/table.h"
#include "tables/table_error.h"

namespace tables {
namespace {

// A handle on the file as another program would hold it.
class OtherProgram {
 public:
  OtherProgram(const std::string& path, DWORD share) {
    const std::wstring wide(path.begin(), path.end());  // an ASCII temp path
    handle_ =
        CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    error_ = handle_ == INVALID_HANDLE_VALUE ? GetLastError() : 0;
  }
  ~OtherProgram() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  bool holds() const { return handle_ != INVALID_HANDLE_VALUE; }
  DWORD error() const { return error_; }

 private:
  HANDLE handle_;
  DWORD error_;
};

class TableLockWindowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Table table;
    table.SetDatabaseName(dir_.path().string());
    table.SetTableName("PROFT");
    table.AddFieldDef("ABREV", FieldType::kText, 10);
    table.CreateTable();
    path_ = table.FilePath();
  }

  std::string OpenError(bool exclusive) {
    Table table;
    table.SetTableName(path_);
    table.SetExclusive(exclusive);
    try {
      table.Open();
    } catch (const TableError& error) {
      return error.what();
    }
    return "";
  }

  std::string Locked() const {
    return "La tabla '" + path_ + "' está en uso por otro programa";
  }

  testing_support::TempDir dir_;
  std::string path_;
};

TEST_F(TableLockWindowsTest, AnotherProgramsExclusiveHandleKeepsUsOut) {
  OtherProgram other(path_, 0);
  ASSERT_TRUE(other.holds());
  EXPECT_EQ(OpenError(false), Locked());
  EXPECT_EQ(OpenError(true), Locked());
}

TEST_F(TableLockWindowsTest, SharedHandleAllowsOnlySharedOpens) {
  OtherProgram other(path_, FILE_SHARE_READ | FILE_SHARE_WRITE);
  ASSERT_TRUE(other.holds());
  EXPECT_EQ(OpenError(false), "");
  EXPECT_EQ(OpenError(true), Locked());
}

TEST_F(TableLockWindowsTest, OurExclusiveOpenKeepsOthersOut) {
  Table table;
  table.SetTableName(path_);
  table.SetExclusive(true);
  table.Open();
  OtherProgram other(path_, FILE_SHARE_READ | FILE_SHARE_WRITE);
  EXPECT_FALSE(other.holds());
  EXPECT_EQ(other.error(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  table.Close();
  EXPECT_TRUE(OtherProgram(path_, 0).holds());
}

}  // namespace
}  // namespace tables
