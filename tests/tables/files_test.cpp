// File operations around tables and case-insensitive path resolution.
#include "tables/files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/drive_mapping.h"
#include "support/temp_dir.h"
#include "tables/table.h"
#include "tables/table_error.h"

namespace tables {
namespace {

using testing_support::TempDir;

TEST(FilesTest, JoinsTheWayTheProgramWritesPaths) {
  EXPECT_EQ(JoinPath("C:\\QTEMP", "ASIGVALT.DBF"), "C:\\QTEMP\\ASIGVALT.DBF");
  EXPECT_EQ(JoinPath("C:\\QTEMP\\", "x"), "C:\\QTEMP\\x");
  EXPECT_EQ(JoinPath("/tmp/", "x"), "/tmp/x");
  EXPECT_EQ(JoinPath("", "C:\\GC\\centro.dbf"), "C:\\GC\\centro.dbf");
}

#ifndef _WIN32
TEST(FilesTest, ResolvesEachComponentWithoutRegardToCase) {
  TempDir dir;
  std::filesystem::create_directories(dir.path() / "qtemp" / "VALENCIA");
  dir.Write("qtemp/VALENCIA/asignat.DBF", "x");
  const std::string root = dir.path().string();
  const std::pair<std::string, std::string> cases[] = {
      {root + "\\QTEMP\\Valencia\\ASIGNAT.dbf",
       root + "/qtemp/VALENCIA/asignat.DBF"},
      {root + "/QTemp/valencia/Nuevo.dbf", root + "/qtemp/VALENCIA/Nuevo.dbf"},
      {root + "/Otra/Carpeta/x.dbf", root + "/Otra/Carpeta/x.dbf"},
  };
  platform::FileSystem& files = platform::NativeFileSystem::Local();
  for (const auto& [written, resolved] : cases) {
    EXPECT_EQ(files.NativePath(written), resolved) << written;
  }
  EXPECT_TRUE(
      files.Exists(files.NativePath(root + "\\QTEMP\\VALENCIA\\ASIGNAT.DBF")));
  EXPECT_TRUE(files.Exists(files.NativePath(root + "\\QTEMP")));  // folders too
  EXPECT_FALSE(files.Exists(files.NativePath(root + "\\QTEMP\\nada.dbf")));
}

TEST(FilesTest, FoldersAreMadeWithTheirParentsAndDeletionIsQuiet) {
  TempDir dir;
  platform::FileSystem& files = platform::NativeFileSystem::Local();
  const std::string deep = (dir.path() / "a" / "b" / "c").string();
  ForceDirectories(files, deep);
  EXPECT_TRUE(std::filesystem::is_directory(deep));
  ForceDirectories(files, deep);  // existing: nothing happens
  dir.Write("f.dbf", "x");
  files.Remove(dir.File("f.dbf"));
  EXPECT_FALSE(files.Exists(dir.File("f.dbf")));
  files.Remove(dir.File("f.dbf"));  // missing: no error
  dir.Write("file", "x");
  const std::string blocked = dir.File("file") + "/sub";
  try {
    ForceDirectories(files, blocked);
    ADD_FAILURE() << "a folder was made under a file";
  } catch (const TableError& error) {
    EXPECT_EQ(std::string(error.what()),
              "No se puede crear la carpeta '" + blocked + "'");
  }
}

// Each table reaches its files through the file system it was given: one
// that maps drive C finds "C:\\..." there, and a table without one takes
// the path as native.
TEST(FilesTest, TheTablesFileSystemMapsItsPaths) {
  TempDir dir;
  platform::SetDriveCOverride(dir.path().string());
  dir.Write("CENTRO.DBF", "x");
  platform::NativeFileSystem drive_c(
      platform::NativeFileSystem::Paths::kDriveC);
  Table mapped(drive_c);
  mapped.SetTableName("C:\\centro.dbf");
  EXPECT_EQ(mapped.FilePath(), dir.path().string() + "/CENTRO.DBF");
  Table native;
  native.SetTableName("C:\\centro.dbf");
  EXPECT_EQ(native.FilePath(), "C:/centro.dbf");
  platform::SetDriveCOverride("");
}
#endif

}  // namespace
}  // namespace tables
