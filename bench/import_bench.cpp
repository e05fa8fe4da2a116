// Import benchmark: the import run on a solution of 100,000 rows with 3,000
// teachers and 1,000 subjects, against the I/O floor measured in the same
// run: reading the same input files and writing the same output bytes with
// plain file I/O.
//
//   import_bench [solution_rows] [runs]     (defaults 100000 and 21)
//
// The inputs are written as dBase bytes into a temporary drive C, and one
// untimed import makes the administration timetables full size, as they are
// on a repeated import. Every measurement then runs in a child process of
// its own (this program started again with --child), import and floor taking
// turns, and the best of `runs` is reported for each, so that noise from
// other users of the machine stays out of the ratio. The import takes about
// three times as long as the floor, so a burst of noise catches it more
// often: 21 turns (some five seconds in all) give each side a fair chance at
// its undisturbed time.
//
// For profiling, `import_bench --child prepare ROOT [solution_rows]` leaves
// the inputs (after the untimed import) in ROOT, and `import_bench --child
// import ROOT` runs one import on them.

#include <fcntl.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <utility>

#include "import/import_run.h"
#include "shell/platform_setup.h"
#include "shell/transfer_context.h"
#include "support/bench_measure.h"
#include "support/import_tables.h"

namespace {

using bench::CpuSeconds;
using bench::QuietUi;
using bench::ReadAll;
using bench::WriteAll;

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// What a child reports: wall and processor seconds, peak resident KB.
struct Times {
  double wall = 0;
  double cpu = 0;
  long peak_kb = 0;
};

template <typename Work>
Times Measure(Work work) {
  const double cpu_start = CpuSeconds();
  const auto start = Clock::now();
  work();
  Times times;
  times.wall = std::chrono::duration<double>(Clock::now() - start).count();
  times.cpu = CpuSeconds() - cpu_start;
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  times.peak_kb = usage.ru_maxrss;
  return times;
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

// `with_page`: whether the run gathers what it finds and writes HORARIOS.html.
Times ImportOnce(const fs::path& drive, bool with_page = true) {
  shell::SetUpPlatform(drive.string());
  QuietUi ui;
  shell::TransferContext context(&ui);
  context.centre_code = "46012345";
  context.report.SetGathering(with_page);
  return Measure([&] { importing::ImportTimetables(context); });
}

// What the safe replacement of the two administration files costs at the
// least: each new file written and flushed to disk before it is renamed over
// the old one, the folder flushed after each rename. The import pays it and
// the floor does not; it is shown beside the ratio, not added to the floor.
void DurableReplace(const fs::path& folder, const std::string& horgrup,
                    const std::string& horprof) {
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  for (const auto& [name, bytes] : {std::pair{"horgrup.dbf", &horgrup},
                                    std::pair{"horprof.dbf", &horprof}}) {
    const fs::path target = folder / name;
    const fs::path temp = folder / (std::string(name) + ".tmp");
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 ||
        ::write(fd, bytes->data(), bytes->size()) !=
            static_cast<ssize_t>(bytes->size()) ||
        ::fsync(fd) != 0 || ::close(fd) != 0 ||
        ::rename(temp.c_str(), target.c_str()) != 0 || ::fsync(dir) != 0) {
      throw std::runtime_error("durable replace failed");
    }
  }
  ::close(dir);
}

Times DurableOnce(const fs::path& root) {
  const fs::path drive = root / "c";
  const std::string horgrup = ReadAll(drive / "GC" / "horgrup.dbf");
  const std::string horprof = ReadAll(drive / "GC" / "horprof.dbf");
  const fs::path scratch = root / "durable";
  fs::create_directories(scratch);
  WriteAll(scratch / "horgrup.dbf", horgrup);  // files to replace, as in GC
  WriteAll(scratch / "horprof.dbf", horprof);
  return Measure([&] { DurableReplace(scratch, horgrup, horprof); });
}

Times FloorOnce(const fs::path& root) {
  const fs::path drive = root / "c";
  const std::string horgrup = ReadAll(drive / "GC" / "horgrup.dbf");
  const std::string horprof = ReadAll(drive / "GC" / "horprof.dbf");
  const fs::path scratch = root / "floor";
  fs::create_directories(scratch);
  return Measure([&] { IoFloor(drive, horgrup, horprof, scratch); });
}

void Prepare(const fs::path& root, const bench::ImportSizes& sizes) {
  bench::WriteImportInputs(root / "c", sizes);
  ImportOnce(root / "c");  // full-size administration timetables
}

// The child: one measurement, printed for the parent.
int RunChild(const std::string& what, const fs::path& root,
             const bench::ImportSizes& sizes) {
  try {
    if (what == "prepare") {
      Prepare(root, sizes);
      return 0;
    }
    const Times t = what == "import"    ? ImportOnce(root / "c")
                    : what == "bare"    ? ImportOnce(root / "c", false)
                    : what == "durable" ? DurableOnce(root)
                                        : FloorOnce(root);
    std::printf("%.6f %.6f %ld\n", t.wall, t.cpu, t.peak_kb);
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s: %s\n", what.c_str(), error.what());
    return 1;
  }
}

Times SpawnChild(const std::string& self, const std::string& what,
                 const fs::path& root) {
  const std::string command =
      "'" + self + "' --child " + what + " '" + root.string() + "'";
  FILE* pipe = popen(command.c_str(), "r");
  Times t;
  const bool read = pipe != nullptr && std::fscanf(pipe, "%lf %lf %ld", &t.wall,
                                                   &t.cpu, &t.peak_kb) == 3;
  if (pipe == nullptr || pclose(pipe) != 0 || !read)
    throw std::runtime_error(what + " failed");
  return t;
}

void KeepBest(Times& best, const Times& t, bool first) {
  if (first) {
    best = t;
    return;
  }
  best.wall = std::min(best.wall, t.wall);
  best.cpu = std::min(best.cpu, t.cpu);
  best.peak_kb = std::max(best.peak_kb, t.peak_kb);
}

}  // namespace

int main(int argc, char** argv) {
  bench::ImportSizes sizes;
  if (argc >= 4 && std::string(argv[1]) == "--child") {
    if (argc > 4) sizes.solution_rows = std::atoll(argv[4]);
    return RunChild(argv[2], argv[3], sizes);
  }
  if (argc > 1) sizes.solution_rows = std::atoll(argv[1]);
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 21;
  const std::string self = fs::read_symlink("/proc/self/exe").string();
  const fs::path root = fs::temp_directory_path() /
                        ("tqv-import-bench-" + std::to_string(getpid()));
  const fs::path drive = root / "c";
  int status = 0;
  try {
    Prepare(root, sizes);
    Times run, bare, floor, durable;
    for (int i = 0; i < runs; ++i) {
      KeepBest(run, SpawnChild(self, "import", root), i == 0);
      KeepBest(bare, SpawnChild(self, "bare", root), i == 0);
      KeepBest(floor, SpawnChild(self, "floor", root), i == 0);
      KeepBest(durable, SpawnChild(self, "durable", root), i == 0);
    }
    size_t input_bytes = 0;
    for (const char* name : kInputs) input_bytes += fs::file_size(drive / name);
    std::printf(
        "solution %lld rows, %d teachers, %d subjects; input %.1f MB, "
        "output horgrup %.1f MB + horprof %.1f MB; best of %d\n",
        static_cast<long long>(sizes.solution_rows), sizes.teachers,
        sizes.subjects, input_bytes / 1e6,
        fs::file_size(drive / "GC" / "horgrup.dbf") / 1e6,
        fs::file_size(drive / "GC" / "horprof.dbf") / 1e6, runs);
    std::printf("                                          wall       cpu\n");
    std::printf("import run                             %7.3f s %7.3f s\n",
                run.wall, run.cpu);
    std::printf("import run without HORARIOS.html       %7.3f s %7.3f s\n",
                bare.wall, bare.cpu);
    std::printf("I/O floor (read inputs, write outputs) %7.3f s %7.3f s\n",
                floor.wall, floor.cpu);
    std::printf(
        "ratio import / I/O floor               %7.2f   %7.2f  (target <= "
        "3)\n",
        run.wall / floor.wall, run.cpu / floor.cpu);
    std::printf("ratio without the page / I/O floor     %7.2f   %7.2f\n",
                bare.wall / floor.wall, bare.cpu / floor.cpu);
    std::printf(
        "safe replace of the outputs alone (write, flush, rename, flush "
        "folder) %7.3f s wall\n",
        durable.wall);
    std::printf("peak resident memory of the import: %ld MB\n",
                run.peak_kb / 1024);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "import_bench: %s\n", error.what());
    status = 1;
  }
  std::error_code ignored;
  fs::remove_all(root, ignored);
  return status;
}
