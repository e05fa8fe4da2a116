// transquendra import with a FIFO or a device in place of a table that only
// the engine opens (the export's tables in C:\QTEMP): the run stops at once
// with the message for a damaged table and changes nothing in C:\GC. A
// regression hangs the program; the watchdog then kills it and the test
// fails instead of hanging.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <condition_variable>
#include <functional>
#include <mutex>

#include "e2e/import_e2e_support.h"

namespace import_e2e {
namespace {

// Runs `argv`, killing it when it takes longer than `seconds`.
RunResult RunWithin(const std::vector<std::string>& argv, int seconds) {
  const Started started = StartProgram(argv);
  std::mutex mutex;
  std::condition_variable ended;
  bool done = false;
  std::thread watchdog([&] {
    std::unique_lock<std::mutex> lock(mutex);
    if (!ended.wait_for(lock, std::chrono::seconds(seconds),
                        [&] { return done; })) {
      ::kill(started.pid, SIGKILL);
    }
  });
  RunResult result = Finish(started);
  {
    const std::lock_guard<std::mutex> lock(mutex);
    done = true;
  }
  ended.notify_one();
  watchdog.join();
  return result;
}

TEST(SpecialFilesTest, AnExportTableThatIsNoFileStopsTheImportAtOnce) {
  SampleSchool school;
  ASSERT_TRUE(school.ok());
  const std::vector<std::string> import = school.ImportCommand();
  const std::string horgrup = ReadFile(school.admin() / "horgrup.dbf");
  const std::string horprof = ReadFile(school.admin() / "horprof.dbf");
  const struct {
    const char* kind;
    std::function<void(const fs::path&)> make;
  } kinds[] = {
      {"FIFO",
       [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0644), 0); }},
      {"link to /dev/zero",
       [](const fs::path& p) { fs::create_symlink("/dev/zero", p); }},
  };
  const struct {
    const char* file;   // under the drive
    const char* shown;  // as the message names it
  } tables[] = {
      {"QTEMP/PROFT.DBF", "C:\\QTEMP\\PROFT.DBF"},
      {"QTEMP/ASIGVALT.DBF", "C:\\QTEMP\\ASIGVALT.DBF"},
  };
  for (const auto& table : tables) {
    const fs::path path = school.drive() / table.file;
    const std::string bytes = ReadFile(path);
    for (const auto& kind : kinds) {
      fs::remove(path);
      kind.make(path);
      const RunResult result = RunWithin(import, 30);
      EXPECT_EQ(result.status, 1) << table.file << ", " << kind.kind;
      EXPECT_NE(result.err.find(std::string("La tabla '") + table.shown +
                                "' está dañada: no es un archivo normal"),
                std::string::npos)
          << table.file << ", " << kind.kind << ": " << result.err;
      EXPECT_EQ(ReadFile(school.admin() / "horgrup.dbf"), horgrup);
      EXPECT_EQ(ReadFile(school.admin() / "horprof.dbf"), horprof);
    }
    fs::remove(path);
    std::ofstream(path, std::ios::binary) << bytes;
  }
}

}  // namespace
}  // namespace import_e2e
