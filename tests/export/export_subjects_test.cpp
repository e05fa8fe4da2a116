#include <gtest/gtest.h>

#include "export/export_fixture.h"
#include "export/export_run.h"
#include "tables/table_error.h"

namespace exporting {
namespace {

using export_testing::kAsignat;
using export_testing::kOcupa;
using Strings = std::vector<std::string>;

class ExportSubjectsTest : public export_testing::ExportFixture {};

TEST_F(ExportSubjectsTest, LayoutOfBothTables) {
  WriteSource("asignat", kAsignat, {});
  WriteSource("OCUPA", kOcupa, {});
  ExportSubjects(context_);
  EXPECT_EQ(Layout("ASIGVALT"),
            (Strings{"COD C10", "CODLARGO C10", "NOMBRE C80", "CODVALEN C10",
                     "NHORAS", "NIVEL C5", "CURSO C3"}));
  EXPECT_EQ(Layout("ASIGNOMT"),
            (Strings{"COD C10", "CODLARGO C10", "NOMBRE C80", "ESTAREA"}));
  EXPECT_TRUE(ReadTable("ASIGVALT").empty());
  EXPECT_TRUE(ReadTable("ASIGNOMT").empty());
}

TEST_F(ExportSubjectsTest, OneRowPerSubjectThenDistinctCodesThenOccupations) {
  WriteSource("asignat", kAsignat,
              {{"1ESO01", "MAT", "Matemàtiques", "Matemáticas", "4"},
               {"2B", "Mat", "Mates", "Mates C", "12"},
               {"2ESO01", "MAT", "Matemàtiques 2", "Matemáticas 2", " 3"},
               {"1ESO02", "", "Sense codi", "Sin código", ""},
               {"1ESO03", "@#$", "Marca", "Marca", "0"},
               {"3", "", "Altra", "Otra", "-2"},
               {"4ESO09", "ABCDEFGHIJKL", "Llarg", "Largo", "123"}});
  WriteSource(
      "OCUPA", kOcupa,
      {{"GUA", "Guàrdia", "Guardia"}, {"1234567890", "Llarga", "Larga"}});
  ExportSubjects(context_);

  EXPECT_EQ(Values("ASIGVALT", "COD"),
            (Strings{"MAT", "Mat", "MAT", "", "@#$", "", "ABCDEFGHIJ"}));
  EXPECT_EQ(Values("ASIGVALT", "CODLARGO"), Values("ASIGVALT", "COD"));
  EXPECT_EQ(
      Values("ASIGVALT", "CODVALEN"),
      (Strings{"1ESO01", "2B", "2ESO01", "1ESO02", "1ESO03", "3", "4ESO09"}));
  EXPECT_EQ(Values("ASIGVALT", "NHORAS"),
            (Strings{"4", "12", "3", "1", "1", "1", "12"}));
  EXPECT_EQ(Values("ASIGVALT", "NIVEL"),
            (Strings{"ESO", "B", "ESO", "ESO", "ESO", "", "ESO"}));
  EXPECT_EQ(Values("ASIGVALT", "CURSO"),
            (Strings{"1", "2", "2", "1", "1", "3", "4"}));
  EXPECT_EQ(Values("ASIGVALT", "NOMBRE")[0], "Matemàtiques");

  // Index order of COD: blanks, "@#$", "ABC...", "MAT", "Mat"; the first of
  // equal codes in asignat names the row.
  EXPECT_EQ(Values("ASIGNOMT", "COD"), (Strings{"", "@#$", "ABCDEFGHIJ", "MAT",
                                                "Mat", "*GUA", "*123456789"}));
  EXPECT_EQ(Values("ASIGNOMT", "CODLARGO"), Values("ASIGNOMT", "COD"));
  EXPECT_EQ(Values("ASIGNOMT", "NOMBRE"),
            (Strings{"Sense codi", "Marca", "Llarg", "Matemàtiques", "Mates",
                     "Guàrdia", "Llarga"}));
  EXPECT_EQ(Values("ASIGNOMT", "ESTAREA"),
            (Strings{"F", "F", "F", "F", "F", "T", "T"}));
}

TEST_F(ExportSubjectsTest, MarkerIsLeftOutOnlyWhenItIsTheFirstCode) {
  const struct {
    Strings codes;
    Strings distinct;
  } kCases[] = {
      {{"MAT", "@#$", "FQ"}, {"FQ", "MAT"}},
      {{"MAT", "@#$", " X"}, {" X", "@#$", "MAT"}},
      {{"B", "A", "B", "A"}, {"A", "B"}},
  };
  WriteSource("OCUPA", kOcupa, {});
  for (const auto& c : kCases) {
    std::vector<export_testing::Row> rows;
    for (const std::string& code : c.codes) rows.push_back({"1ESO01", code});
    WriteSource("asignat", kAsignat, rows);
    ExportSubjects(context_);
    EXPECT_EQ(Values("ASIGNOMT", "COD"), c.distinct);
  }
}

TEST_F(ExportSubjectsTest, LanguageBoxChoosesCastilianOnlyForExactText) {
  const struct {
    std::string language;
    Strings names;
  } kCases[] = {
      {"CASTELLANO", {"Matemáticas", "Guardia"}},
      {"VALENCIÁ", {"Matemàtiques", "Guàrdia"}},
      {"castellano", {"Matemàtiques", "Guàrdia"}},
      {"CASTELLANO ", {"Matemàtiques", "Guàrdia"}},
  };
  WriteSource("asignat", kAsignat,
              {{"1ESO01", "MAT", "Matemàtiques", "Matemáticas", "4"}});
  WriteSource("OCUPA", kOcupa, {{"GUA", "Guàrdia", "Guardia"}});
  for (const auto& c : kCases) {
    context_.language_text = c.language;
    ExportSubjects(context_);
    EXPECT_EQ(Values("ASIGNOMT", "NOMBRE"), c.names) << c.language;
    EXPECT_EQ(Values("ASIGVALT", "NOMBRE")[0], c.names[0]) << c.language;
  }
}

TEST_F(ExportSubjectsTest, HoursThatAreNoNumberEndTheStep) {
  WriteSource("asignat", kAsignat,
              {{"1ESO01", "MAT", "M", "M", "4"},
               {"1ESO02", "FQ", "F", "F", "AB"},
               {"1ESO03", "EF", "E", "E", "2"}});
  WriteSource("OCUPA", kOcupa, {{"GUA", "G", "G"}});
  try {
    ExportSubjects(context_);
    FAIL() << "no error";
  } catch (const tables::TableError& error) {
    EXPECT_STREQ(error.what(), "'AB' no es un valor punto flotante válido");
  }
  EXPECT_EQ(Values("ASIGVALT", "COD"), Strings{"MAT"});
  EXPECT_TRUE(ReadTable("ASIGNOMT").empty());
  // The component is closed again, so the step can be repeated.
  EXPECT_FALSE(context_.wwTableAsignat.Active());
}

TEST_F(ExportSubjectsTest, DecimalCommaConvertsOnlyTheFirstTwoCharacters) {
  tables::SetDecimalSeparator(',');
  WriteSource("asignat", kAsignat, {{"1ESO01", "MAT", "M", "M", "2,5"}});
  WriteSource("OCUPA", kOcupa, {});
  ExportSubjects(context_);
  EXPECT_EQ(Values("ASIGVALT", "NHORAS"), Strings{"2"});
}

TEST_F(ExportSubjectsTest, MissingOcupaLeavesSubjectRowsOnly) {
  WriteSource("asignat", kAsignat, {{"1ESO01", "MAT", "M", "M", "4"}});
  EXPECT_THROW(ExportSubjects(context_), tables::TableError);
  EXPECT_EQ(Values("ASIGVALT", "COD"), Strings{"MAT"});
  EXPECT_EQ(Values("ASIGNOMT", "COD"), Strings{"MAT"});
}

TEST_F(ExportSubjectsTest, ReplacesTablesOfAnEarlierRun) {
  WriteSource("asignat", kAsignat, {{"1ESO01", "MAT", "M", "M", "4"}});
  WriteSource("OCUPA", kOcupa, {{"GUA", "G", "G"}});
  ExportSubjects(context_);
  ExportSubjects(context_);
  EXPECT_EQ(ReadTable("ASIGVALT").size(), 1u);
  EXPECT_EQ(ReadTable("ASIGNOMT").size(), 2u);
}

}  // namespace
}  // namespace exporting
