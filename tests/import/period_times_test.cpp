#include "import/period_times.h"

#include "import/import_fixture.h"
#include "support/faulty_file_system.h"

namespace import_testing {
namespace {

using importing::PeriodTimes;

class PeriodTimesTest : public ImportFixture {
 protected:
  PeriodTimes ReadLhortipo(const std::vector<Row>& rows) {
    WriteTable("QTEMP/VALENCIA/lhortipo.dbf", kLhortipo, rows);
    PeriodTimes times;
    times.ReadFromLhortipo(context_.wwTableLhortipo, kCentre);
    context_.wwTableLhortipo.Close();
    return times;
  }
};

struct LhortipoCase {
  const char* name;
  std::vector<Row> rows;
  // Expected (period, start, end) for the periods checked.
  std::vector<std::tuple<int, std::string, std::string>> expected;
};

TEST_F(PeriodTimesTest, ReadsTheCentresRowsFromLhortipo) {
  const std::vector<LhortipoCase> cases = {
      {"no row of the centre",
       {{kOtherCentre, "1", "08:00", "08:55"}},
       {{1, "", ""}, {20, "", ""}}},
      {"periods 0 and 21 passed over, 1 and 20 taken",
       {{kCentre, "0", "07:00", "07:55"},
        {kCentre, "21", "23:00", "23:55"},
        {kCentre, "1", "08:00", "08:55"},
        {kCentre, "20", "22:00", "22:55"}},
       {{1, "08:00", "08:55"}, {20, "22:00", "22:55"}}},
      {"later non-empty times win, empty ones never overwrite",
       {{kCentre, "3", "10:00", "10:55"},
        {kCentre, "3", "", "11:00"},
        {kCentre, "3", "10:05", ""}},
       {{3, "10:05", "11:00"}}},
      {"other centres' rows do not mix in",
       {{kCentre, "2", "09:00", "09:55"},
        {kOtherCentre, "2", "15:00", "15:55"}},
       {{2, "09:00", "09:55"}}},
      {"centre compared exactly",
       {{"4601234", "5", "12:00", "12:55"}},
       {{5, "", ""}}},
  };
  for (const LhortipoCase& c : cases) {
    const PeriodTimes times = ReadLhortipo(c.rows);
    for (const auto& [period, start, end] : c.expected) {
      EXPECT_EQ(times.At(period).start, start)
          << c.name << ", period " << period;
      EXPECT_EQ(times.At(period).end, end) << c.name << ", period " << period;
    }
  }
}

TEST_F(PeriodTimesTest, PlantillaHoldsTwentyRowsWithTimesCutToFive) {
  PeriodTimes times;
  times.Set(1, {"08:00:00", "08:55"});
  times.Set(20, {"", "22:55"});
  times.WritePlantilla(testing_support::DriveC());

  const auto rows = ReadRows(importing::kPlantillaPath);
  ASSERT_EQ(rows.size(), 20u);
  for (int n = 1; n <= 20; ++n) EXPECT_EQ(rows[n - 1][0], std::to_string(n));
  EXPECT_EQ(rows[0], (Values{"1", "08:00", "08:55"}));
  EXPECT_EQ(rows[1], (Values{"2", "", ""}));
  EXPECT_EQ(rows[19], (Values{"20", "", "22:55"}));
  EXPECT_TRUE(testing_support::DriveC().Exists(
      testing_support::DriveC().NativePath(importing::kPlantillaIndexPath)));

  // Writing again replaces the table instead of adding to it.
  times.WritePlantilla(testing_support::DriveC());
  EXPECT_EQ(ReadRows(importing::kPlantillaPath).size(), 20u);
}

TEST_F(PeriodTimesTest, ReadsBackTheTableAsTheUserLeftIt) {
  PeriodTimes times;
  for (int p = 1; p <= 20; ++p) times.Set(p, {"t" + std::to_string(p), "x"});
  times.WritePlantilla(testing_support::DriveC());
  {
    // What a user could leave: a changed time, a row moved to HORA 25, a
    // second row for period 4 after the first in HORA order.
    tables::Table plantilla(testing_support::DriveC());
    plantilla.SetTableName(importing::kPlantillaPath);
    plantilla.Open();
    for (plantilla.First(); !plantilla.Eof(); plantilla.Next()) {
      const int64_t hora = plantilla.FieldByName("HORA").AsInteger();
      if (hora == 3 || hora == 7) {
        plantilla.Edit();
        if (hora == 3) plantilla.FieldByName("HORAINI").SetAsString("09:10");
        if (hora == 7) plantilla.FieldByName("HORA").SetAsInteger(25);
        plantilla.Post();
      }
    }
    plantilla.Append();
    plantilla.FieldByName("HORA").SetAsInteger(4);
    plantilla.FieldByName("HORAINI").SetAsString("late");
    plantilla.Post();
    plantilla.Close();
  }
  times.ReadBackPlantilla(testing_support::DriveC());
  EXPECT_EQ(times.At(3).start, "09:10");
  EXPECT_EQ(times.At(7).start, "");  // no row names period 7 any more
  EXPECT_EQ(times.At(7).end, "");
  EXPECT_EQ(times.At(4).start, "late");
  EXPECT_EQ(times.At(4).end, "");  // the later row's empty end time wins
  EXPECT_EQ(times.At(5).start, "t5");
}

}  // namespace
}  // namespace import_testing
