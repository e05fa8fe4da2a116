#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "export/export_fixture.h"
#include "export/export_run.h"
#include "tables/table_error.h"

namespace exporting {
namespace {

using export_testing::kAulas;
using export_testing::kProfesor;
using Strings = std::vector<std::string>;

class ExportTeachersTest : public export_testing::ExportFixture {};

TEST_F(ExportTeachersTest, SkipsOnlyTeachersWhoLeftWithACompleteRecord) {
  const struct {
    export_testing::Row teacher;
    bool exported;
  } kCases[] = {
      {{"20250630", "GIL PAU", "11", "MAT"}, false},
      {{"20250630", "", "12", "MAT"}, true},
      {{"20250630", "   ", "13", "MAT"}, true},
      {{"20250630", "ROIG ANA", "0", "MAT"}, true},
      {{"20250630", "ROIG ANA", "", "MAT"}, true},
      {{"", "ROIG ANA", "14", "MAT"}, true},
  };
  for (const auto& c : kCases) {
    WriteSource("profesor", kProfesor, {c.teacher});
    ExportTeachers(context_);
    EXPECT_EQ(ReadTable("PROFT").size(), c.exported ? 1u : 0u)
        << c.teacher[0] << "|" << c.teacher[1] << "|" << c.teacher[2];
  }
}

TEST_F(ExportTeachersTest, RowsWithUniqueAbbreviationsInStoredOrder) {
  WriteSource("profesor", kProfesor,
              {{"", "GARCIA LOPEZ, JUAN", "101", "MATEMÀTIQUES"},
               {"", "GIL LLOPIS, JOAN", "", "VALENCIÀ"},
               {"20240101", "GIL LLOPIS, JOSEP", "103", "VALENCIÀ"},
               {"", "GOMEZ LARA, ANA", "104", "FÍSICA"},
               {"", "GARCIA LOPEZ, JOSE", "105", ""},
               {"", "", "0", ""},
               {"", "", "107", ""},
               {"", "PEREZ ANA", "108", "MÚSICA"}});
  ExportTeachers(context_);
  EXPECT_EQ(Layout("PROFT"), (Strings{"ABREV C10", "NOMBRE C80", "EMAIL C100",
                                      "DEPART C40", "DNI"}));
  EXPECT_EQ(Values("PROFT", "ABREV"),
            (Strings{"GLJ", "GLJ2", "GLA", "GLJ3", "", "2", "PA"}));
  EXPECT_EQ(Values("PROFT", "DNI"),
            (Strings{"101", "0", "104", "105", "0", "107", "108"}));
  EXPECT_EQ(Values("PROFT", "DEPART")[0], "MATEMÀTIQUES");
  EXPECT_EQ(Values("PROFT", "NOMBRE")[6], "PEREZ ANA");
  for (const std::string& email : Values("PROFT", "EMAIL"))
    EXPECT_EQ(email, "");
}

TEST_F(ExportTeachersTest, EmptyProfesorGivesEmptyProft) {
  WriteSource("profesor", kProfesor, {});
  ExportTeachers(context_);
  EXPECT_TRUE(ReadTable("PROFT").empty());
}

TEST_F(ExportTeachersTest, BadIdentityNumberEndsTheStepBeforeThePass) {
  WriteSource("profesor", kProfesor,
              {{"", "GIL ANA", "1", ""},
               {"", "GIL ARA", "2", ""},
               {"", "GIL AVA", "X3", ""}});
  try {
    ExportTeachers(context_);
    FAIL() << "no error";
  } catch (const tables::TableError& error) {
    // The engine's conversion error, naming the text it could not read.
    EXPECT_THAT(error.what(), testing::StartsWith("'X3' no es un valor"));
  }
  EXPECT_EQ(Values("PROFT", "ABREV"), (Strings{"GA", "GA"}));
  EXPECT_FALSE(context_.wwTableProfesor.Active());
}

class ExportRoomsTest : public export_testing::ExportFixture {};

TEST_F(ExportRoomsTest, EveryRoomInStoredOrderWithFixedBuildingAndSize) {
  WriteSource("aulas", kAulas,
              {{"101", "Aula 1.01"},
               {"GIM", "Gimnàs"},
               {"101", "Aula repetida"},
               {"LABORATORI12", std::string(85, 'x')}});
  ExportRooms(context_);
  EXPECT_EQ(Layout("AULAT"),
            (Strings{"ABREV C10", "NOMBRE C80", "EDIFICIO C1", "MAXALUM"}));
  EXPECT_EQ(Values("AULAT", "ABREV"),
            (Strings{"101", "GIM", "101", "LABORATORI"}));
  EXPECT_EQ(Values("AULAT", "NOMBRE")[1], "Gimnàs");
  EXPECT_EQ(Values("AULAT", "NOMBRE")[3], std::string(80, 'x'));
  EXPECT_EQ(Values("AULAT", "EDIFICIO"), Strings(4, "1"));
  EXPECT_EQ(Values("AULAT", "MAXALUM"), Strings(4, "0"));
}

TEST_F(ExportRoomsTest, EmptyAulasGivesEmptyAulat) {
  WriteSource("aulas", kAulas, {});
  ExportRooms(context_);
  EXPECT_TRUE(ReadTable("AULAT").empty());
}

}  // namespace
}  // namespace exporting
