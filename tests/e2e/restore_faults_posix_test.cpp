// A restore killed at any moment leaves the administration's pair whole:
// once the next transfer has started (and completed what the killed one
// decided), both timetables are the ones it replaced, or both the backup's.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <random>

#include "e2e/import_e2e_support.h"

namespace import_e2e {
namespace {

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

TEST(RestoreFaultsTest, AKilledRestoreLeavesThePairWhole) {
  SampleSchool school;
  ASSERT_TRUE(school.ok());
  const std::string old_horgrup = ReadFile(school.admin() / "horgrup.dbf");
  const std::string old_horprof = ReadFile(school.admin() / "horprof.dbf");
  ASSERT_EQ(RunProgram(school.ImportCommand()).status, 0);
  const std::string new_horgrup = ReadFile(school.admin() / "horgrup.dbf");
  const std::string new_horprof = ReadFile(school.admin() / "horprof.dbf");
  ASSERT_NE(new_horgrup, old_horgrup);
  std::string stamp;
  for (const auto& entry : fs::directory_iterator(school.exchange() / "COPIAS"))
    stamp = entry.path().filename().string();  // the import's one backup
  const std::vector<std::string> restore = {
      Transquendra(), "restore", "--drive-c", school.drive().string(), stamp};
  const std::vector<std::string> list = {Transquendra(), "restore", "--drive-c",
                                         school.drive().string(), "--list"};
  auto put_new_pair = [&] {
    WriteFile(school.admin() / "horgrup.dbf", new_horgrup);
    WriteFile(school.admin() / "horprof.dbf", new_horprof);
  };

  long run_us = 0;
  for (int run = 0; run < 3; ++run) {
    put_new_pair();
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(RunProgram(restore).status, 0);
    const long us = std::chrono::duration_cast<std::chrono::microseconds>(
                        std::chrono::steady_clock::now() - start)
                        .count();
    run_us = run == 0 ? us : std::min(run_us, us);
  }
  ASSERT_EQ(ReadFile(school.admin() / "horgrup.dbf"), old_horgrup);

  std::mt19937 random(20261209);
  std::uniform_int_distribution<long> anywhere(0, run_us);
  int killed = 0, restored = 0;
  for (int kill = 0; kill < 40; ++kill) {
    put_new_pair();
    const long after_us = anywhere(random);
    killed += RunProgram(restore, after_us).status == -SIGKILL;
    // The next transfer completes a replacement the kill left half done.
    ASSERT_EQ(RunProgram({Transquendra(), "restore", "--drive-c",
                          school.drive().string(), "no-existe"})
                  .status,
              1);
    const std::string horgrup = ReadFile(school.admin() / "horgrup.dbf");
    const std::string horprof = ReadFile(school.admin() / "horprof.dbf");
    const bool both_new = horgrup == new_horgrup && horprof == new_horprof;
    const bool both_old = horgrup == old_horgrup && horprof == old_horprof;
    EXPECT_TRUE(both_new || both_old) << "kill at " << after_us << " us";
    restored += both_old;
  }
  EXPECT_GE(killed, 10);
  RecordProperty("killed", killed);
  RecordProperty("restored", restored);
  EXPECT_EQ(RunProgram(list).status, 0);
}

}  // namespace
}  // namespace import_e2e
