#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "platform/drive_mapping.h"
#include "platform/locale_settings.h"
#include "platform/path_case.h"
#include "support/temp_dir.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

class DriveMappingTest : public testing::Test {
 protected:
  void SetUp() override {
    SetDriveCOverride(drive_.path().string());
    fs::create_directories(drive_.path() / "QTEMP" / "Valencia");
    drive_.Write("QTEMP/Valencia/ASIGNAT.DBF", "x");
    drive_.Write("QTEMP/SOLUC.DBF", "x");
  }
  void TearDown() override { SetDriveCOverride(""); }
  std::string Native(const std::string& rest) const {
    return drive_.path().string() + rest;
  }
  testing_support::TempDir drive_{"tqv-drive"};
};

TEST_F(DriveMappingTest, MapsFixedPathsWhateverTheirCase) {
  const struct {
    const char* program_path;
    const char* native_rest;
  } kCases[] = {
      {"C:\\QTEMP\\VALENCIA\\asignat.dbf", "/QTEMP/Valencia/ASIGNAT.DBF"},
      {"c:\\qtemp\\valencia\\Asignat.Dbf", "/QTEMP/Valencia/ASIGNAT.DBF"},
      {"C:\\QTEMP\\Valencia", "/QTEMP/Valencia"},
      {"C:\\QTEMP\\soluc.dbf", "/QTEMP/SOLUC.DBF"},
      // New names keep the case the program writes.
      {"C:\\QTEMP\\VALENCIA\\PLANTILLA.DBF", "/QTEMP/Valencia/PLANTILLA.DBF"},
      {"C:\\qtemp\\Nueva\\Otra\\x.dbf", "/QTEMP/Nueva/Otra/x.dbf"},
      {"C:\\", "/"},
      // A drive root followed by a backslashed name.
      {"C:\\\\qtemp\\\\SOLUC.dbf", "/QTEMP/SOLUC.DBF"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(MapFixedPath(c.program_path), Native(c.native_rest))
        << c.program_path;
  }
}

TEST_F(DriveMappingTest, NativePathsResolveCaseToo) {
  EXPECT_EQ(MapFixedPath(Native("/qtemp/valencia\\asignat.dbf")),
            Native("/QTEMP/Valencia/ASIGNAT.DBF"));
}

TEST_F(DriveMappingTest, ExactSpellingWinsOverAnotherCase) {
  drive_.Write("QTEMP/soluc.dbf", "y");
  EXPECT_EQ(MapFixedPath("C:\\QTEMP\\soluc.dbf"), Native("/QTEMP/soluc.dbf"));
  EXPECT_EQ(MapFixedPath("C:\\QTEMP\\SOLUC.DBF"), Native("/QTEMP/SOLUC.DBF"));
}

TEST_F(DriveMappingTest, ProgramPathShowsDriveC) {
  EXPECT_EQ(ProgramPath(Native("/GC/Centro 2")), "C:\\GC\\Centro 2");
  EXPECT_EQ(ProgramPath(Native("")), "C:\\");
  EXPECT_EQ(ProgramPath("/home/ana/gc"), "/home/ana/gc");
  EXPECT_EQ(ProgramPath(Native("x/GC")), Native("x/GC"));  // not inside
}

TEST(DriveCFolderTest, EnvironmentThenWinePrefixThenDataFolder) {
  testing_support::TempDir home("tqv-home");
  const std::string h = home.path().string();
  SetDriveCOverride("");
  setenv("HOME", h.c_str(), 1);
  unsetenv("WINEPREFIX");
  unsetenv("XDG_DATA_HOME");
  setenv("TQV_DRIVE_C", (h + "/env_c").c_str(), 1);
  EXPECT_EQ(DriveCFolder(), h + "/env_c");
  unsetenv("TQV_DRIVE_C");
  EXPECT_EQ(DriveCFolder(), h + "/.local/share/TransQuendraValencia/drive_c");
  EXPECT_TRUE(fs::is_directory(DriveCFolder()));  // created when needed
  fs::create_directories(h + "/.wine/drive_c");
  EXPECT_EQ(DriveCFolder(), h + "/.wine/drive_c");
  setenv("WINEPREFIX", (h + "/pfx").c_str(), 1);
  EXPECT_EQ(DriveCFolder(), h + "/.local/share/TransQuendraValencia/drive_c");
  SetDriveCOverride(h + "/flag_c/");
  EXPECT_EQ(DriveCFolder(), h + "/flag_c");
  SetDriveCOverride("");
  unsetenv("WINEPREFIX");
}

TEST(NormalizeSeparatorsTest, BackslashesAndRuns) {
  EXPECT_EQ(NormalizeSeparators("a\\b\\\\c"), "a/b/c");
  EXPECT_EQ(NormalizeSeparators("/a//b/"), "/a/b/");
}

TEST(UserDecimalSeparatorTest, FollowsTheEnvironmentLocale) {
  setenv("LC_ALL", "C", 1);
  EXPECT_EQ(UserDecimalSeparator(), '.');
  // A locale that is not installed falls back to the point, not a crash.
  setenv("LC_ALL", "xx_YY.NOEXISTE", 1);
  EXPECT_EQ(UserDecimalSeparator(), '.');
  unsetenv("LC_ALL");
}

}  // namespace
}  // namespace platform
