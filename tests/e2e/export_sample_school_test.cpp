// The export end to end: the sample school generator writes an
// administration folder, `transquendra export` runs on it, and an
// independent reader (python3-dbfread) checks all nine tables.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

struct Result {
  int status = -1;
  std::string output;
};

Result RunShell(const std::string& command) {
  Result result;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return result;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
    result.output.append(buffer, n);
  result.status = pclose(pipe);
  return result;
}

std::string Quote(const std::string& text) { return "'" + text + "'"; }

const std::string kTransquendra =
    std::string(TQV_BINARY_DIR) + "/src/transquendra";
const std::string kPython = "/usr/bin/python3 ";

void MakeSchool(const fs::path& folder, const std::string& size) {
  const Result made =
      RunShell(kPython + TQV_SOURCE_DIR "/tools/sample_school.py " +
               Quote(folder.string()) + " --size " + size);
  ASSERT_EQ(made.status, 0) << made.output;
}

TEST(ExportSampleSchoolTest, AllNineTablesMatchTheAdministrationFolder) {
  ASSERT_TRUE(fs::exists(kTransquendra)) << "build the transquendra target";
  const struct {
    std::string size;
    std::string language;
    bool native_admin;  // --admin as a native path instead of C:\GC
  } kCases[] = {
      {"small", "VALENCIÁ", false},
      {"small", "CASTELLANO", true},
      {"1234", "VALENCIÁ", true},
  };
  for (const auto& c : kCases) {
    testing_support::TempDir dir("tqv-e2e-export");
    const fs::path drive = dir.path() / "c";
    const fs::path admin =
        c.native_admin ? dir.path() / "escola" : drive / "GC";
    MakeSchool(admin, c.size);
    // The first case leaves --admin and --language at their defaults.
    std::string command =
        kTransquendra + " export --drive-c " + Quote(drive.string());
    if (c.native_admin) {
      command += " --language " + Quote(c.language) + " --admin " +
                 Quote(admin.string());
    }
    const Result run = RunShell(command);
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_THAT(run.output,
                testing::HasSubstr("ZELMAR.\nProceso finalizado\n"));

    const Result check =
        RunShell(kPython + TQV_SOURCE_DIR "/tests/e2e/export_check.py " +
                 Quote(admin.string()) + " " +
                 Quote((drive / "QTEMP").string()) + " " + Quote(c.language));
    EXPECT_EQ(check.status, 0) << c.size << " " << c.language << "\n"
                               << check.output;
    EXPECT_THAT(check.output, testing::HasSubstr("ASIGT "));
  }
}

TEST(ExportSampleSchoolTest, FailedRunExitsWithTheErrorText) {
  ASSERT_TRUE(fs::exists(kTransquendra)) << "build the transquendra target";
  testing_support::TempDir dir("tqv-e2e-export");
  const fs::path admin = dir.path() / "c" / "GC";
  MakeSchool(admin, "small");
  // Subject hours that are no number end the run in its first step: the
  // Horsemte of the row before 1BAT02 (then Codcur, 4 bytes, and the next
  // row's deletion flag) becomes "AB".
  {
    const fs::path asignat = admin / "asignat.dbf";
    std::string bytes;
    {
      std::ifstream in(asignat, std::ios::binary);
      bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    const size_t next = bytes.find("1BAT02");
    ASSERT_NE(next, std::string::npos);
    bytes.replace(next - 8, 3, "AB ");
    std::ofstream(asignat, std::ios::binary) << bytes;
  }
  const Result run = RunShell(kTransquendra + " export --drive-c " +
                              Quote((dir.path() / "c").string()));
  EXPECT_NE(run.status, 0);
  EXPECT_THAT(run.output, testing::HasSubstr(
                              "'AB' no es un valor punto flotante válido.\n"));
  EXPECT_THAT(run.output,
              testing::Not(testing::HasSubstr("Proceso finalizado")));
}

}  // namespace
