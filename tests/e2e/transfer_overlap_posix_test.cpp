// Transfers started side by side on one drive: one runs, the other is
// refused at once, and the administration's timetables stay whole.
#include <gtest/gtest.h>

#include <random>

#include "e2e/import_e2e_support.h"
#include "shell/transfer_error.h"

namespace import_e2e {
namespace {

TEST(TransferOverlapTest, ASecondTransferIsRefusedAndTouchesNothing) {
  SampleSchool school;
  ASSERT_TRUE(school.ok());
  const std::vector<std::string> import = school.ImportCommand();
  const std::vector<std::string> exporting = {
      Transquendra(), "export", "--drive-c", school.drive().string()};
  // After one import a repeated one gives the same files again.
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(RunProgram(import).status, 0);
  const long run_us = std::chrono::duration_cast<std::chrono::microseconds>(
                          std::chrono::steady_clock::now() - start)
                          .count();
  const std::string horgrup = ReadFile(school.admin() / "horgrup.dbf");
  const std::string horprof = ReadFile(school.admin() / "horprof.dbf");
  const std::string busy = shell::TransferError::Busy("C:\\QTEMP").what();

  std::mt19937 random(20261209);
  std::uniform_int_distribution<long> delay(0, run_us / 2);
  int refused = 0;
  constexpr int kPairs = 40;
  for (int pair = 0; pair < kPairs; ++pair) {
    // Even pairs: two imports; odd ones: an export beside an import.
    const Started first = StartProgram(pair % 2 == 0 ? import : exporting);
    std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
    const Started second = StartProgram(import);
    for (const RunResult& result : {Finish(first), Finish(second)}) {
      if (result.status == 0) continue;
      EXPECT_EQ(result.status, 1);
      EXPECT_NE(result.err.find(busy), std::string::npos) << result.err;
      ++refused;
    }
    ASSERT_EQ(ReadFile(school.admin() / "horgrup.dbf"), horgrup)
        << "pair " << pair;
    ASSERT_EQ(ReadFile(school.admin() / "horprof.dbf"), horprof)
        << "pair " << pair;
  }
  // Most pairs overlap; each overlap refuses one of the two.
  EXPECT_GE(refused, kPairs / 4);
  RecordProperty("pairs", kPairs);
  RecordProperty("refused", refused);
  std::printf("%d overlapping pairs started, %d runs refused\n", kPairs,
              refused);
}

}  // namespace
}  // namespace import_e2e
