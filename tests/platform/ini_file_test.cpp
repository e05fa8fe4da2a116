#include "platform/ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace platform {
namespace {

struct IniCase {
  const char* name;
  const char* before;
  const char* after;
};

// Transformado=1 written into section Transformadores of each file.
const IniCase kCases[] = {
    {"EmptyFileGetsSectionAndKey", "",
     "[Transformadores]\r\nTransformado=1\r\n"},
    {"ReplacesOnlyThatKey",
     "[Transformadores]\r\nOtra=7\r\nTransformado=0\r\nMas=x\r\n",
     "[Transformadores]\r\nOtra=7\r\nTransformado=1\r\nMas=x\r\n"},
    {"SectionAndKeyMatchedWithoutCase",
     "[transformadores]\r\n  TRANSFORMADO = 0\r\n",
     "[transformadores]\r\nTransformado=1\r\n"},
    {"KeepsCommentsOtherSectionsAndOrder",
     "; Quendrix\r\n[Rutas]\r\nDatos=C:\\QTEMP\r\n\r\n[Transformadores]\r\n"
     "; la utilidad escribe aqui\r\nZeta=1\r\n\r\n[Ventana]\r\nX=3\r\n",
     "; Quendrix\r\n[Rutas]\r\nDatos=C:\\QTEMP\r\n\r\n[Transformadores]\r\n"
     "; la utilidad escribe aqui\r\nZeta=1\r\nTransformado=1\r\n\r\n"
     "[Ventana]\r\nX=3\r\n"},
    {"SameKeyInAnotherSectionIsLeftAlone", "[Otra]\nTransformado=0\n",
     "[Otra]\nTransformado=0\n[Transformadores]\nTransformado=1\n"},
    {"CommentedKeyIsNotTheKey", "[Transformadores]\n;Transformado=0\n",
     "[Transformadores]\n;Transformado=0\nTransformado=1\n"},
    {"UnixLineBreaksKept", "[Transformadores]\nTransformado=0\n",
     "[Transformadores]\nTransformado=1\n"},
    {"LastLineWithoutBreak", "[A]\r\nb=1",
     "[A]\r\nb=1\r\n[Transformadores]\r\nTransformado=1\r\n"},
    {"ValueWithEqualsAndBlanksUntouchedElsewhere",
     "[X]\r\nk = a=b \r\n[Transformadores]\r\nTransformado=0",
     "[X]\r\nk = a=b \r\n[Transformadores]\r\nTransformado=1"},
};

class SetIniValueTest : public testing::TestWithParam<IniCase> {};

TEST_P(SetIniValueTest, WritesOnlyTheKey) {
  EXPECT_EQ(
      SetIniValue(GetParam().before, "Transformadores", "Transformado", "1"),
      GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(Cases, SetIniValueTest, testing::ValuesIn(kCases),
                         [](const auto& info) { return info.param.name; });

TEST(WriteProfileStringTest, CreatesMissingFileAndKeepsExistingOnRewrite) {
  testing_support::TempDir dir;
  const std::string path = dir.File("Quendrix.ini");
  WriteProfileString(path, "Transformadores", "Transformado", "0");
  EXPECT_EQ(dir.Read("Quendrix.ini"),
            "[Transformadores]\r\nTransformado=0\r\n");
  dir.Write("Quendrix.ini", "; c\r\n[Transformadores]\r\nTransformado=0\r\n");
  WriteProfileString(path, "Transformadores", "Transformado", "1");
  EXPECT_EQ(dir.Read("Quendrix.ini"),
            "; c\r\n[Transformadores]\r\nTransformado=1\r\n");
  // Nothing of the temporary file stays behind.
  int entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    (void)entry;
    ++entries;
  }
  EXPECT_EQ(entries, 1);
}

TEST(WriteProfileStringTest, UnwritableFolderFailsWithItsText) {
  testing_support::TempDir dir;
  const std::string path = dir.File("no/existe/Quendrix.ini");
  try {
    WriteProfileString(path, "Transformadores", "Transformado", "1");
    FAIL() << "no error";
  } catch (const IniError& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + path);
  }
}

}  // namespace
}  // namespace platform
