// Drive C: on Windows: the real C: unless --drive-c gives a folder.
#include <gtest/gtest.h>

#include <string>

#include "platform/drive_mapping.h"

namespace platform {
namespace {

class DriveMappingWindowsTest : public ::testing::Test {
 protected:
  ~DriveMappingWindowsTest() override { SetDriveCOverride(""); }
};

struct MapCase {
  const char* override_folder;
  const char* path;
  const char* mapped;
};

TEST_F(DriveMappingWindowsTest, MapsDriveCToTheOverrideOnly) {
  const MapCase cases[] = {
      {"", "C:\\QTEMP\\ASIGVALT.DBF", "C:\\QTEMP\\ASIGVALT.DBF"},
      {"D:\\escuela", "C:\\QTEMP\\ASIGVALT.DBF",
       "D:\\escuela\\QTEMP\\ASIGVALT.DBF"},
      {"D:\\escuela\\", "c:\\gc", "D:\\escuela\\gc"},
      {"D:\\escuela", "C:", "D:\\escuela\\"},
      {"D:\\escuela", "C:GC", "D:\\escuela\\GC"},
      {"D:\\escuela", "E:\\GC", "E:\\GC"},
      {"D:\\escuela", "horgrup.dbf", "horgrup.dbf"},
      // A folder on C: itself: mapping twice changes nothing more.
      {"C:\\Temp\\t1", "C:\\Temp\\t1\\QTEMP", "C:\\Temp\\t1\\QTEMP"},
      {"C:\\Temp\\t1", "c:/temp/T1/QTEMP", "c:/temp/T1/QTEMP"},
      {"C:\\Temp\\t1", "C:\\Temp\\t10\\GC", "C:\\Temp\\t1\\Temp\\t10\\GC"},
  };
  for (const MapCase& c : cases) {
    SetDriveCOverride(c.override_folder);
    EXPECT_EQ(MapFixedPath(c.path), c.mapped)
        << c.override_folder << " | " << c.path;
    if (c.mapped != std::string(c.path)) {
      EXPECT_EQ(MapFixedPath(MapFixedPath(c.path)), c.mapped) << c.path;
    }
  }
}

TEST_F(DriveMappingWindowsTest, ProgramPathAndDriveFolder) {
  EXPECT_EQ(DriveCFolder(), "C:\\");
  EXPECT_EQ(ProgramPath("D:\\escuela\\GC"), "D:\\escuela\\GC");
  SetDriveCOverride("D:\\escuela");
  EXPECT_EQ(DriveCFolder(), "D:\\escuela\\");
  EXPECT_EQ(ProgramPath("D:\\escuela\\GC"), "C:\\GC");
  EXPECT_EQ(ProgramPath("d:\\ESCUELA"), "C:\\");
  EXPECT_EQ(ProgramPath("D:\\escuelas\\GC"), "D:\\escuelas\\GC");
}

}  // namespace
}  // namespace platform
