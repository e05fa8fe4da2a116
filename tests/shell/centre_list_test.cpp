#include "shell/centre_list.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/drive_mapping.h"
#include "shell/platform_setup.h"
#include "support/dbf_bytes.h"
#include "support/faulty_file_system.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"
#include "tables/table_error.h"

namespace shell {
namespace {

class CentreListTest : public testing::Test {
 protected:
  void SetUp() override {
    platform::SetDriveCOverride(drive_.path().string());
    std::filesystem::create_directories(drive_.path() / "QTEMP" / "VALENCIA");
  }
  void TearDown() override { platform::SetDriveCOverride(""); }
  void WriteCentro(const std::vector<std::vector<std::string>>& rows) {
    drive_.Write("QTEMP/VALENCIA/CENTRO.DBF",
                 testing_support::DbfBytes(
                     {{"CODCEN", 'C', 8}, {"NOMCEN", 'C', 20}}, rows));
  }
  testing_support::TempDir drive_{"tqv-centre"};
  testing_support::ScriptedUi ui_;
  TransferContext context_{&ui_};
};

TEST_F(CentreListTest, StoredOrderWithDuplicatesAndTableClosedAfter) {
  const struct {
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> codes;
  } kCases[] = {
      {{}, {}},
      {{{"46019999", "IES Z"}, {"03001111", "IES A"}, {"46019999", "Otra"}},
       {"46019999", "03001111", "46019999"}},
  };
  for (const auto& c : kCases) {
    WriteCentro(c.rows);
    EXPECT_EQ(ReadCentreCodes(context_), c.codes);
    EXPECT_FALSE(context_.wwTableCentro.Active());
  }
}

TEST_F(CentreListTest, MissingTableIsTheEnginesError) {
  EXPECT_THROW(ReadCentreCodes(context_), tables::TableError);
  EXPECT_FALSE(context_.wwTableCentro.Active());
}

}  // namespace
}  // namespace shell
