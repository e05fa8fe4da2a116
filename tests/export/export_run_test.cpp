#include "export/export_run.h"

#include <gtest/gtest.h>

#include "export/export_fixture.h"
#include "tables/table_error.h"

namespace exporting {
namespace {

using Call = testing_support::ScriptedUi::Call;
using Calls = std::vector<Call>;

class ExportSchoolDataTest : public export_testing::ExportFixture {
 protected:
  // A small school in the working copy: every table the run reads.
  void WriteSchool() {
    using namespace export_testing;
    WriteSource("asignat", kAsignat, {{"1ESO01", "MAT", "Mat", "Mat", "4"}});
    WriteSource("OCUPA", kOcupa, {{"GUA", "Guàrdia", "Guardia"}});
    WriteSource("profesor", kProfesor, {{"", "GIL ANA", "101", "MAT"}});
    WriteSource("aulas", kAulas, {{"101", "Aula"}});
    WriteSource("grupos", kGrupos, {{"1ESOA", "M", "1r A", "101"}});
    WriteSource("alumnos", kAlumnos, {{"1", "ROIG PAU", "1ESOA", "1ESO", "0"}});
    WriteSource("asigalum", kAsigalum, {{"1", "1ESO01"}});
    WriteSource("horgrup", kHorgrup, {{"1ESOA", "1ESO01", "101"}});
  }
};

TEST_F(ExportSchoolDataTest, CompletedRunInEachMode) {
  const struct {
    int embedded_mode;
    Calls calls;
  } kCases[] = {
      {0,
       {{"message", kWarningText},
        {"busy", "1"},
        {"busy", "0"},
        {"message", kFinishedText},
        {"buttons", "0"}}},
      {2,
       {{"message", kWarningText},
        {"busy", "1"},
        {"busy", "0"},
        {"message", kFinishedText},
        {"buttons", "0"},
        {"close", ""}}},
  };
  WriteSchool();
  for (const auto& c : kCases) {
    testing_support::ScriptedUi ui;
    shell::TransferContext context(&ui);
    context.embedded_mode = c.embedded_mode;
    EXPECT_TRUE(ExportSchoolData(context).completed);
    EXPECT_EQ(ui.log, c.calls);
    EXPECT_EQ(context.transformed, 1);
    for (const char* table :
         {"ASIGVALT", "ASIGNOMT", "PROFT", "AULAT", "ALUMNOST", "ASIGCURT",
          "GRUPOST", "CURSOST", "ASIGT"}) {
      EXPECT_EQ(ReadTable(table).empty(), false) << table;
    }
  }
}

TEST_F(ExportSchoolDataTest, FailedRunRestoresTheCursorAndReportsNothingDone) {
  // Each case removes one table the run needs; the steps before it complete.
  const char* kMissing[] = {"asignat", "profesor", "aulas",
                            "alumnos", "grupos",   "horgrup"};
  for (const char* missing : kMissing) {
    WriteSchool();
    std::filesystem::remove(drive_.path() / "QTEMP" / "VALENCIA" /
                            (std::string(missing) + ".dbf"));
    testing_support::ScriptedUi ui;
    shell::TransferContext context(&ui);
    context.embedded_mode = 2;
    EXPECT_THROW(ExportSchoolData(context), tables::TableError) << missing;
    EXPECT_EQ(ui.log,
              (Calls{{"message", kWarningText}, {"busy", "1"}, {"busy", "0"}}))
        << missing;
    EXPECT_EQ(context.transformed, 0) << missing;
    EXPECT_TRUE(ui.buttons_enabled()) << missing;
    EXPECT_FALSE(ui.closed()) << missing;
  }
}

TEST_F(ExportSchoolDataTest, RunCanBeRepeatedAfterAFailure) {
  WriteSchool();
  WriteSource("asignat", export_testing::kAsignat,
              {{"1ESO01", "MAT", "", "", "XX"}});
  EXPECT_THROW(ExportSchoolData(context_), tables::TableError);
  WriteSchool();
  ExportSchoolData(context_);
  EXPECT_EQ(context_.transformed, 1);
  EXPECT_EQ(Values("ASIGT", "CPROF"), std::vector<std::string>{"GA"});
}

TEST_F(ExportSchoolDataTest, StaleIndexFilesOfAnyLetterCaseAreDeleted) {
  WriteSchool();
  // Left by another program: production indexes beside tables that have
  // none, which a reader would otherwise take for theirs.
  for (const char* name : {"asigt.mdx", "AULAT.MDX", "Grupost.Mdx"}) {
    drive_.Write("QTEMP/" + std::string(name), "not an index");
  }
  ExportSchoolData(context_);
  for (const char* name : {"asigt.mdx", "AULAT.MDX", "Grupost.Mdx"}) {
    EXPECT_FALSE(std::filesystem::exists(drive_.path() / "QTEMP" / name))
        << name;
  }
  EXPECT_EQ(Values("AULAT", "ABREV"), std::vector<std::string>{"101"});
}

}  // namespace
}  // namespace exporting
