// Export benchmark: the seven export steps on a generated school against the
// I/O floor measured in the same run: copying the same input files and
// writing the same output bytes with plain file I/O.
//
//   export_bench [size]      (small, medium, large or a number of students;
//                             default large: 30,000 students, 450,000
//                             asigalum rows, 3,000 teachers, 1,500 groups,
//                             60,000 horgrup lessons)
//
// The school is written by tools/sample_school.py into a temporary drive C.
// Each measurement runs three times; the median is reported. Peak memory is
// the process's peak resident size after the export runs, before the floor
// is measured.

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

#include "export/export_run.h"
#include "platform/drive_mapping.h"
#include "shell/platform_setup.h"
#include "shell/transfer_context.h"
#include "shell/working_copy.h"
#include "support/bench_measure.h"

namespace {

using bench::CpuSeconds;
using bench::QuietUi;
using bench::ReadAll;
using bench::WriteAll;

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Seconds(const std::function<void()>& work) {
  const auto start = Clock::now();
  work();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Wall-clock and processor seconds of one piece of work.
struct Times {
  double wall = 0;
  double cpu = 0;
};

Times Measure(const std::function<void()>& work) {
  const double cpu = CpuSeconds();
  const double wall = Seconds(work);
  return {wall, CpuSeconds() - cpu};
}

// The median of five runs, by wall-clock time and by processor time apart.
Times Median5(const std::function<void()>& work) {
  std::vector<double> wall, cpu;
  for (int i = 0; i < 5; ++i) {
    const Times t = Measure(work);
    wall.push_back(t.wall);
    cpu.push_back(t.cpu);
  }
  std::sort(wall.begin(), wall.end());
  std::sort(cpu.begin(), cpu.end());
  return {wall[2], cpu[2]};
}

// Reads, with the engine, every field the export reads from the
// administration tables, as text: the part of the run no search can save.
void ReadSourceFields(shell::TransferContext& context) {
  const std::pair<tables::Table*, std::vector<const char*>> kReads[] = {
      {&context.wwTableAsignat,
       {"Codasig", "Litresv", "Vliteasig", "Horsemte"}},
      {&context.wwTableProfesor, {"FBaja", "Apenomprof", "Dni", "Departa"}},
      {&context.wwTableAulas, {"Codaula", "Litaula"}},
      {&context.wwTableGrupos, {"Codgrup", "Turno", "LITEGRUP", "DNI"}},
      {&context.wwTableAlumnos,
       {"Codigo", "Apenom", "Codgrup", "Codcur", "Repite"}},
      {&context.wwTableAsigAlum, {"Codigo", "Codasig"}},
      {&context.wwTableHorGrup, {"Codgrup", "Codasig", "Dni"}}};
  size_t total = 0;
  for (const auto& [table, names] : kReads) {
    table->Open();
    std::vector<tables::Field> fields;
    for (const char* name : names) fields.push_back(table->FieldByName(name));
    for (table->First(); !table->Eof(); table->Next()) {
      for (const tables::Field& field : fields)
        total += field.AsString().size();
    }
    table->Close();
  }
  if (total == 0) std::fprintf(stderr, "no data read\n");
}

// The export run with and without its report, turn by turn so that both see
// the same state of the machine; the median of seven turns of each.
std::pair<Times, Times> WithAndWithoutReport(shell::TransferContext& context) {
  std::vector<double> with_wall, with_cpu, bare_wall, bare_cpu;
  for (int i = 0; i < 7; ++i) {
    for (bool report : {false, true}) {
      context.report.SetGathering(report);
      const Times t = Measure([&] { exporting::ExportSchoolData(context); });
      (report ? with_wall : bare_wall).push_back(t.wall);
      (report ? with_cpu : bare_cpu).push_back(t.cpu);
    }
  }
  context.report.SetGathering(true);
  for (auto* list : {&with_wall, &with_cpu, &bare_wall, &bare_cpu})
    std::sort(list->begin(), list->end());
  return {{with_wall[3], with_cpu[3]}, {bare_wall[3], bare_cpu[3]}};
}

long PeakMb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024;
}

// The working-copy files the export reads.
const char* kInputs[] = {"asignat.dbf", "OCUPA.dbf",    "profesor.dbf",
                         "aulas.dbf",   "grupos.dbf",   "alumnos.dbf",
                         "alumnos.fpt", "asigalum.dbf", "horgrup.dbf"};

// Copies the inputs and writes the outputs' bytes into `scratch`.
void IoFloor(const fs::path& working_copy,
             const std::vector<std::pair<std::string, std::string>>& outputs,
             const fs::path& scratch) {
  for (const char* name : kInputs) {
    WriteAll(scratch / name, ReadAll(working_copy / name));
  }
  for (const auto& [name, bytes] : outputs) WriteAll(scratch / name, bytes);
}

// Writes the sample school with the generator that lies beside this file's
// folder in the source tree.
bool GenerateSchool(const fs::path& folder, const std::string& size) {
  const fs::path generator = fs::path(__FILE__).parent_path().parent_path() /
                             "tools" / "sample_school.py";
  const std::string generate = "/usr/bin/python3 '" + generator.string() +
                               "' '" + folder.string() + "' --size " + size +
                               " >/dev/null";
  return std::system(generate.c_str()) == 0;
}

// One line per step with its wall-clock time in one run.
std::string StepTimes(shell::TransferContext& context) {
  const std::pair<const char*, void (*)(shell::TransferContext&)> kSteps[] = {
      {"ExportSubjects", exporting::ExportSubjects},
      {"ExportTeachers", exporting::ExportTeachers},
      {"ExportRooms", exporting::ExportRooms},
      {"ExportStudents", exporting::ExportStudents},
      {"ExportCourseSubjectHours", exporting::ExportCourseSubjectHours},
      {"ExportGroupsAndCourses", exporting::ExportGroupsAndCourses},
      {"ExportTeachingLoad", exporting::ExportTeachingLoad}};
  std::string step_times;
  for (const auto& [name, step] : kSteps) {
    char line[80];
    std::snprintf(line, sizeof line, "  %-26s %.3f s\n", name,
                  Seconds([&, step = step] { step(context); }));
    step_times += line;
  }
  return step_times;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string size = argc > 1 ? argv[1] : "large";
  const fs::path root = fs::temp_directory_path() /
                        ("tqv-export-bench-" + std::to_string(getpid()));
  const fs::path drive = root / "c";
  if (!GenerateSchool(drive / "GC", size)) {
    std::fprintf(stderr, "sample_school.py failed\n");
    return 1;
  }
  shell::SetUpPlatform(drive.string());
  QuietUi ui;
  shell::TransferContext context(&ui);
  shell::RefreshWorkingCopy(context);

  const auto [run, bare] = WithAndWithoutReport(context);
  const size_t cases = context.report.cases().size();
  const long peak_mb = PeakMb();
  const std::string step_times = StepTimes(context);

  std::vector<std::pair<std::string, std::string>> outputs;
  for (const auto& entry : fs::directory_iterator(drive / "QTEMP")) {
    if (entry.is_regular_file())
      outputs.emplace_back(entry.path().filename().string(),
                           ReadAll(entry.path()));
  }
  size_t output_bytes = 0;
  for (const auto& output : outputs) output_bytes += output.second.size();
  const fs::path scratch = root / "floor";
  fs::create_directories(scratch);
  const fs::path working_copy = drive / "QTEMP" / "VALENCIA";
  const Times floor = Median5([&] { IoFloor(working_copy, outputs, scratch); });
  const Times reads = Median5([&] { ReadSourceFields(context); });

  size_t input_bytes = 0;
  for (const char* name : kInputs)
    input_bytes += fs::file_size(working_copy / name);
  std::printf("school: %s  input %.1f MB  output %.1f MB (%zu files)\n",
              size.c_str(), input_bytes / 1e6, output_bytes / 1e6,
              outputs.size());
  std::printf("                                          wall       cpu\n");
  std::printf("export run (7 steps)                   %7.3f s %7.3f s\n",
              run.wall, run.cpu);
  std::printf("export run without its report          %7.3f s %7.3f s\n",
              bare.wall, bare.cpu);
  std::printf(
      "report's cost (with / without - 1)     %6.1f %%  %6.1f %%  "
      "(target < 10 %%; %zu cases)\n",
      100 * (run.wall / bare.wall - 1), 100 * (run.cpu / bare.cpu - 1), cases);
  std::printf("I/O floor (copy inputs, write outputs) %7.3f s %7.3f s\n",
              floor.wall, floor.cpu);
  std::printf(
      "ratio export / I/O floor               %7.2f   %7.2f  "
      "(target <= 3)\n",
      run.wall / floor.wall, run.cpu / floor.cpu);
  std::printf("engine reading the source fields       %7.3f s %7.3f s\n",
              reads.wall, reads.cpu);
  std::printf("steps, one run:\n%s", step_times.c_str());
  std::printf("peak resident memory: %ld MB  (target < 500)\n", peak_mb);
  fs::remove_all(root);
  return 0;
}
