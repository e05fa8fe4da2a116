// File operations around tables and case-insensitive path resolution.
#include "tables/files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/temp_dir.h"
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
  for (const auto& [written, resolved] : cases) {
    EXPECT_EQ(ResolvePath(written), resolved) << written;
  }
  EXPECT_TRUE(FileExists(root + "\\QTEMP\\VALENCIA\\ASIGNAT.DBF"));
  EXPECT_TRUE(FileExists(root + "\\QTEMP"));  // folders too
  EXPECT_FALSE(FileExists(root + "\\QTEMP\\nada.dbf"));
}

TEST(FilesTest, FoldersAreMadeWithTheirParentsAndDeletionIsQuiet) {
  TempDir dir;
  const std::string deep = (dir.path() / "a" / "b" / "c").string();
  ForceDirectories(deep);
  EXPECT_TRUE(std::filesystem::is_directory(deep));
  ForceDirectories(deep);  // existing: nothing happens
  dir.Write("f.dbf", "x");
  DeleteFile(dir.File("f.dbf"));
  EXPECT_FALSE(FileExists(dir.File("f.dbf")));
  DeleteFile(dir.File("f.dbf"));  // missing: no error
  dir.Write("file", "x");
  const std::string blocked = dir.File("file") + "/sub";
  try {
    ForceDirectories(blocked);
    ADD_FAILURE() << "a folder was made under a file";
  } catch (const TableError& error) {
    EXPECT_EQ(std::string(error.what()),
              "No se puede crear la carpeta '" + blocked + "'");
  }
}

TEST(FilesTest, PathMapperIsAppliedBeforeResolution) {
  TempDir dir;
  const std::string root = dir.path().string();
  SetPathMapper([root](std::string_view path) {
    std::string text(path);
    if (text.rfind("C:", 0) == 0) text = root + text.substr(2);
    return text;
  });
  dir.Write("CENTRO.DBF", "x");
  EXPECT_EQ(ResolvePath("C:\\centro.dbf"), root + "/CENTRO.DBF");
  EXPECT_TRUE(FileExists("C:\\Centro.dbf"));
  SetPathMapper(nullptr);
  EXPECT_EQ(MapPath("C:\\x"), "C:\\x");
}
#endif

}  // namespace
}  // namespace tables
