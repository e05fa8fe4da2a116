#pragma once

// What the import's end-to-end tests share: running `transquendra` as a
// child process (optionally killed after a delay), and a drive C holding
// the sample school, exported and timetabled by the stand-in.

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/faulty_file_system.h"
#include "support/temp_dir.h"
#include "tables/table.h"

namespace import_e2e {

namespace fs = std::filesystem;

struct RunResult {
  int status = -1;  // exit status, or -signal when killed
  std::string err;  // what the program wrote to stderr
};

inline std::string Transquendra() {
  return std::string(TQV_BINARY_DIR) + "/src/transquendra";
}

// A program started by StartProgram, not yet waited for.
struct Started {
  pid_t pid = -1;
  int err_fd = -1;  // the read end of its stderr
};

// Starts argv[0] with the arguments and the environment variables `env`
// ("NAME=value") added to this process's; stdin is /dev/null.
inline Started StartProgram(const std::vector<std::string>& argv,
                            const std::vector<std::string>& env = {}) {
  int pipe_fds[2];
  if (::pipe(pipe_fds) != 0) return {};
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(pipe_fds[1], 2);
    const int null_fd = ::open("/dev/null", O_RDWR);
    ::dup2(null_fd, 0);
    ::dup2(null_fd, 1);
    ::close(pipe_fds[0]);
    for (const std::string& variable : env) {
      ::putenv(const_cast<char*>(variable.c_str()));
    }
    std::vector<char*> args;
    for (const std::string& a : argv)
      args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    ::execv(args[0], args.data());
    ::_exit(127);
  }
  ::close(pipe_fds[1]);
  return {pid, pipe_fds[0]};
}

// Waits for a started program to end.
inline RunResult Finish(const Started& started) {
  RunResult result;
  char buffer[4096];
  for (ssize_t n; (n = ::read(started.err_fd, buffer, sizeof buffer)) > 0;) {
    result.err.append(buffer, static_cast<size_t>(n));
  }
  ::close(started.err_fd);
  int status = 0;
  ::waitpid(started.pid, &status, 0);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
  return result;
}

// Runs argv[0] with the arguments; stdin is /dev/null. With kill_after_us
// >= 0, the child gets SIGKILL after that many microseconds (if it still
// runs).
inline RunResult RunProgram(const std::vector<std::string>& argv,
                            long kill_after_us = -1,
                            const std::vector<std::string>& env = {}) {
  const Started started = StartProgram(argv, env);
  if (started.pid < 0) return {};
  if (kill_after_us >= 0) {
    std::this_thread::sleep_for(std::chrono::microseconds(kill_after_us));
    ::kill(started.pid, SIGKILL);
  }
  return Finish(started);
}

inline std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// A drive C with the sample school in C:\GC, exported into C:\QTEMP, and the
// stand-in's SOLUC.DBF.
class SampleSchool {
 public:
  explicit SampleSchool(const std::string& size = "small")
      : drive_("tqv-e2e-import") {
    fs::create_directories(admin());
    const std::string tools = std::string(TQV_SOURCE_DIR) + "/tools/";
    ok_ = RunProgram({"/usr/bin/python3", tools + "sample_school.py",
                      admin().string(), "--size", size})
                  .status == 0 &&
          RunProgram({Transquendra(), "export", "--drive-c", drive().string()})
                  .status == 0 &&
          RunProgram({"/usr/bin/python3", tools + "standin_quendrix.py",
                      exchange().string()})
                  .status == 0;
  }

  bool ok() const { return ok_; }
  const fs::path& drive() const { return drive_.path(); }
  fs::path admin() const { return drive_.path() / "GC"; }
  fs::path exchange() const { return drive_.path() / "QTEMP"; }

  // --dni options giving every PROFT teacher without a number one.
  std::vector<std::string> DniOptions() const {
    std::vector<std::string> options;
    tables::Table proft(testing_support::DriveC());
    proft.SetTableName((exchange() / "PROFT.DBF").string());
    proft.Open();
    int next = 90000001;
    for (proft.First(); !proft.Eof(); proft.Next()) {
      if (proft.FieldByName("DNI").AsInteger() != 0) continue;
      options.push_back("--dni");
      options.push_back(proft.FieldByName("ABREV").AsString() + "=" +
                        std::to_string(next++));
    }
    return options;
  }

  // transquendra import on this drive, with `extra` options after the
  // drive and the DNIs.
  std::vector<std::string> ImportCommand(
      const std::vector<std::string>& extra = {}) const {
    std::vector<std::string> argv = {Transquendra(), "import", "--drive-c",
                                     drive().string()};
    for (const std::string& o : DniOptions()) argv.push_back(o);
    for (const std::string& o : extra) argv.push_back(o);
    return argv;
  }

 private:
  testing_support::TempDir drive_;
  bool ok_ = false;
};

}  // namespace import_e2e
