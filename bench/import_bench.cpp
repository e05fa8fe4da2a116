// Import benchmark: the import run on a solution of 100,000 rows with 3,000
// teachers and 1,000 subjects, against the I/O floor measured in the same
// run: reading the same input files and writing the same output bytes with
// plain file I/O.
//
//   import_bench [solution_rows]     (default 100000)
//
// The inputs are written as dBase bytes into a temporary drive C. Each
// measurement runs three times; the median is reported.

#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "import/import_run.h"
#include "shell/platform_setup.h"
#include "shell/transfer_context.h"
#include "support/import_tables.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

class QuietUi : public shell::UserInterface {
 public:
  void ShowMessage(const std::string&) override {}
  void ShowError(const std::string&) override {}
  void SetBusyCursor(bool) override {}
  void SetRunButtonsEnabled(bool) override {}
  void CloseWindow() override {}
  void ShowTeacherIdentityWindow() override {}
  void ShowPeriodTimesWindow() override {}
};

double CpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + now.tv_nsec / 1e9;
}

struct Times {
  double wall = 0;
  double cpu = 0;
};

// The median of three runs, by wall-clock time and by processor time apart.
Times Median3(const std::function<void()>& work) {
  std::vector<double> wall, cpu;
  for (int i = 0; i < 3; ++i) {
    const double cpu_start = CpuSeconds();
    const auto start = Clock::now();
    work();
    wall.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    cpu.push_back(CpuSeconds() - cpu_start);
  }
  std::sort(wall.begin(), wall.end());
  std::sort(cpu.begin(), cpu.end());
  return {wall[1], cpu[1]};
}

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::string bytes(fs::file_size(path), '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return bytes;
}

void WriteAll(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// What the run reads, relative to drive C.
const char* kInputs[] = {"QTEMP/SOLUC.DBF",    "QTEMP/PROFT.DBF",
                         "QTEMP/ASIGVALT.DBF", "QTEMP/VALENCIA/lhortipo.dbf",
                         "GC/horgrup.dbf",     "GC/horprof.dbf"};

// Reads the inputs; writes the two new timetables twice (working copy and
// administration folder) and the old ones once (the backup).
void IoFloor(const fs::path& drive, const std::string& horgrup,
             const std::string& horprof, const fs::path& scratch) {
  size_t total = 0;
  for (const char* name : kInputs) total += ReadAll(drive / name).size();
  WriteAll(scratch / "wc_horgrup.dbf", horgrup);
  WriteAll(scratch / "wc_horprof.dbf", horprof);
  WriteAll(scratch / "horgrup.dbf", horgrup);
  WriteAll(scratch / "horprof.dbf", horprof);
  WriteAll(scratch / "old_horgrup.dbf", horgrup);
  WriteAll(scratch / "old_horprof.dbf", horprof);
  if (total == 0) std::fprintf(stderr, "nothing read\n");
}

long PeakMb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024;
}

}  // namespace

int main(int argc, char** argv) {
  bench::ImportSizes sizes;
  if (argc > 1) sizes.solution_rows = std::atoll(argv[1]);
  const fs::path root = fs::temp_directory_path() /
                        ("tqv-import-bench-" + std::to_string(getpid()));
  const fs::path drive = root / "c";
  bench::WriteImportInputs(drive, sizes);
  shell::SetUpPlatform(drive.string());
  QuietUi ui;
  shell::TransferContext context(&ui);
  context.centre_code = "46012345";

  const Times run = Median3([&] { importing::BImportarClick(context); });
  const long peak_mb = PeakMb();

  const std::string horgrup = ReadAll(drive / "GC" / "horgrup.dbf");
  const std::string horprof = ReadAll(drive / "GC" / "horprof.dbf");
  const fs::path scratch = root / "floor";
  fs::create_directories(scratch);
  const Times floor =
      Median3([&] { IoFloor(drive, horgrup, horprof, scratch); });

  size_t input_bytes = 0;
  for (const char* name : kInputs) input_bytes += fs::file_size(drive / name);
  std::printf(
      "solution %lld rows, %d teachers, %d subjects; input %.1f MB, "
      "output horgrup %.1f MB + horprof %.1f MB\n",
      static_cast<long long>(sizes.solution_rows), sizes.teachers,
      sizes.subjects, input_bytes / 1e6, horgrup.size() / 1e6,
      horprof.size() / 1e6);
  std::printf("                                          wall       cpu\n");
  std::printf("import run                             %7.3f s %7.3f s\n",
              run.wall, run.cpu);
  std::printf("I/O floor (read inputs, write outputs) %7.3f s %7.3f s\n",
              floor.wall, floor.cpu);
  std::printf(
      "ratio import / I/O floor               %7.2f   %7.2f  (target <= 3)\n",
      run.wall / floor.wall, run.cpu / floor.cpu);
  std::printf("peak resident memory: %ld MB\n", peak_mb);
  fs::remove_all(root);
  return 0;
}
