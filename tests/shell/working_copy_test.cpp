#include "shell/working_copy.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <functional>

#include "platform/drive_mapping.h"
#include "shell/io_error.h"
#include "shell/platform_setup.h"
#include "support/faulty_file_system.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace shell {
namespace {

namespace fs = std::filesystem;

class WorkingCopyTest : public testing::Test {
 protected:
  void SetUp() override {
    platform::SetDriveCOverride(drive_.path().string());
    fs::create_directories(drive_.path() / "GC");
  }
  void TearDown() override { platform::SetDriveCOverride(""); }

  std::string Bytes(size_t n) const {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>(i * 7 + 3);
    return s;
  }
#ifndef _WIN32
  // Runs `body` in a child process (to change its user or limits) and
  // returns what it printed through `report`.
  std::string InChild(const std::function<std::string()>& body) {
    int fds[2];
    EXPECT_EQ(pipe(fds), 0);
    const pid_t pid = fork();
    if (pid == 0) {
      close(fds[0]);
      const std::string text = body();
      (void)!write(fds[1], text.data(), text.size());
      _exit(0);
    }
    close(fds[1]);
    std::string out;
    char buf[256];
    ssize_t n;
    while ((n = read(fds[0], buf, sizeof buf)) > 0) out.append(buf, n);
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status));
    return out;
  }
#endif
  static std::string CopyText(const std::string& to, const std::string& from) {
    try {
      CopyDataFile(testing_support::DriveC(), to, from);
      return "ok";
    } catch (const IoError& e) {
      return e.what();
    }
  }

  testing_support::TempDir drive_{"tqv-wc"};
};

TEST_F(WorkingCopyTest, CopiesEveryByteAcrossBlockBoundaries) {
  fs::create_directories(drive_.path() / "QTEMP");
  for (size_t size : {0, 1, 2047, 2048, 2049, 4096, 5000}) {
    drive_.Write("GC/datos.dbf", Bytes(size));
    CopyDataFile(testing_support::DriveC(), "C:\\QTEMP\\copia.dbf",
                 "C:\\GC\\datos.dbf");
    ASSERT_TRUE(fs::exists(drive_.path() / "QTEMP" / "copia.dbf")) << size;
    EXPECT_EQ(drive_.Read("QTEMP/copia.dbf"), Bytes(size)) << size;
  }
}

TEST_F(WorkingCopyTest, MissingSourceCreatesNothing) {
  fs::create_directories(drive_.path() / "QTEMP");
  CopyDataFile(testing_support::DriveC(), "C:\\QTEMP\\x.dbf", "C:\\GC\\x.dbf");
  EXPECT_FALSE(fs::exists(drive_.path() / "QTEMP" / "x.dbf"));
}

TEST_F(WorkingCopyTest, DestinationFolderGetsTheSourceName) {
  fs::create_directories(drive_.path() / "QTEMP");
  drive_.Write("GC/Horgrup.dbf", "abc");
  for (const char* folder : {"C:\\QTEMP\\", "C:\\QTEMP/"}) {
    fs::remove(drive_.path() / "QTEMP" / "horgrup.dbf");
    CopyDataFile(testing_support::DriveC(), folder, "C:\\GC\\horgrup.dbf");
    EXPECT_EQ(drive_.Read("QTEMP/horgrup.dbf"), "abc") << folder;
  }
}

TEST_F(WorkingCopyTest, FailuresCarryTheirCodeAndText) {
  drive_.Write("GC/a.dbf", "abc");
  fs::create_directories(drive_.path() / "GC" / "carpeta.dbf");
  fs::create_directories(drive_.path() / "QTEMP" / "ocupado.dbf");
  const struct {
    const char* to;
    const char* from;
    const char* text;
  } kCases[] = {
      {"C:\\NOEXISTE\\a.dbf", "C:\\GC\\a.dbf", "Nombre de archivo inválido"},
      {"C:\\QTEMP\\b.dbf", "C:\\GC\\carpeta.dbf", "Acceso al archivo denegado"},
      {"C:\\QTEMP\\ocupado.dbf", "C:\\GC\\a.dbf", "Acceso al archivo denegado"},
  };
  for (const auto& c : kCases) {
    // The second line names the files.
    EXPECT_EQ(CopyText(c.to, c.from),
              std::string(c.text) + "\nal copiar " + c.from + " en " + c.to);
  }
}

TEST(IoErrorTest, TextsOfTheRuntime) {
  const struct {
    int code;
    const char* text;
  } kCases[] = {{2, "No se encuentra el archivo"},
                {3, "Nombre de archivo inválido"},
                {4, "Demasiados archivos abiertos"},
                {5, "Acceso al archivo denegado"},
                {100, "Se intenta leer después del fin del archivo"},
                {101, "Disco lleno"},
                {106, "Valor numérico de entrada inválido"},
                {32, "Error de E/S 32"},
                {1117, "Error de E/S 1117"}};
  for (const auto& c : kCases) {
    const IoError e = IoError::FromCode(c.code);
    EXPECT_EQ(std::string(e.what()), c.text);
    EXPECT_EQ(e.code(), c.code);
  }
  EXPECT_EQ(IoError::DiskFull().code(), 101);
}

#ifndef _WIN32  // users, file modes and size limits are POSIX's
// Opening the source for reading only lets a write-protected file copy
// (run as an unprivileged user, for whom the protection is real).
TEST_F(WorkingCopyTest, WriteProtectedSourceIsCopied) {
  drive_.Write("GC/profesor.dbf", "profes");
  fs::create_directories(drive_.path() / "QTEMP");
  chmod(drive_.path().c_str(), 0777);
  chmod((drive_.path() / "GC").c_str(), 0555);
  chmod((drive_.path() / "QTEMP").c_str(), 0777);
  chmod((drive_.path() / "GC" / "profesor.dbf").c_str(), 0444);
  const std::string result = InChild([] {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) {
      return std::string("setuid failed");
    }
    return CopyText("C:\\QTEMP\\profesor.dbf", "C:\\GC\\profesor.dbf");
  });
  chmod((drive_.path() / "GC").c_str(), 0755);
  EXPECT_EQ(result, "ok");
  EXPECT_EQ(drive_.Read("QTEMP/profesor.dbf"), "profes");
}

// A write that stores fewer bytes than were read is an error, never a
// silently short copy. The file-size limit makes the kernel cut the write.
TEST_F(WorkingCopyTest, ShortWriteIsDiskFull) {
  drive_.Write("GC/alumnos.fpt", Bytes(4096));
  fs::create_directories(drive_.path() / "QTEMP");
  const std::string result = InChild([] {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{3000, 3000};
    setrlimit(RLIMIT_FSIZE, &limit);
    return CopyText("C:\\QTEMP\\alumnos.fpt", "C:\\GC\\alumnos.fpt");
  });
  EXPECT_EQ(result,
            "Disco lleno\nal copiar C:\\GC\\alumnos.fpt en "
            "C:\\QTEMP\\alumnos.fpt");
}
#endif

class RefreshTest : public WorkingCopyTest {
 protected:
  static constexpr const char* kFiles[] = {
      "grupos.dbf",  "profesor.dbf", "horgrup.dbf", "asigalum.dbf",
      "asignat.dbf", "aulas.dbf",    "alumnos.dbf", "alumnos.fpt",
      "centro.dbf",  "lhortipo.dbf", "OCUPA.dbf"};
  void FillOldCopy() {
    fs::create_directories(drive_.path() / "QTEMP" / "VALENCIA");
    for (const char* f : kFiles)
      drive_.Write(std::string("QTEMP/VALENCIA/") + f, "old");
  }
  std::vector<std::string> CopyContents() {
    std::vector<std::string> out;
    for (const char* f : kFiles) {
      const fs::path p = drive_.path() / "QTEMP" / "VALENCIA" / f;
      out.push_back(fs::exists(p)
                        ? drive_.Read(std::string("QTEMP/VALENCIA/") + f)
                        : "-");
    }
    return out;
  }
  testing_support::ScriptedUi ui_;
  TransferContext context_{&ui_};
};

TEST_F(RefreshTest, CreatesTheFolderAndCopiesAllElevenFiles) {
  for (const char* f : kFiles) drive_.Write(std::string("GC/") + f, f);
  RefreshWorkingCopy(context_);
  std::vector<std::string> expected(std::begin(kFiles), std::end(kFiles));
  EXPECT_EQ(CopyContents(), expected);
  EXPECT_TRUE(ui_.log.empty());  // no cursor, no messages
}

TEST_F(RefreshTest, FolderWithSomeFilesLeavesExactlyThose) {
  FillOldCopy();
  // Mixed-case names in the administration folder are found.
  drive_.Write("GC/GRUPOS.DBF", "g");
  drive_.Write("GC/Centro.Dbf", "c");
  drive_.Write("GC/ocupa.DBF", "o");
  context_.admin_folder = "c:\\gc";
  RefreshWorkingCopy(context_);
  EXPECT_EQ(CopyContents(),
            (std::vector<std::string>{"g", "-", "-", "-", "-", "-", "-", "-",
                                      "c", "-", "o"}));
}

TEST_F(RefreshTest, DriveRootAsAdministrationFolder) {
  drive_.Write("aulas.dbf", "a");
  context_.admin_folder = "C:\\";
  RefreshWorkingCopy(context_);
  EXPECT_EQ(drive_.Read("QTEMP/VALENCIA/aulas.dbf"), "a");
}

TEST_F(RefreshTest, StopsAtTheFirstFileThatCannotBeCopied) {
  FillOldCopy();
  for (const char* f : kFiles) drive_.Write(std::string("GC/") + f, "new");
  fs::remove(drive_.path() / "GC" / "horgrup.dbf");
  fs::create_directories(drive_.path() / "GC" / "horgrup.dbf");
  try {
    RefreshWorkingCopy(context_);
    FAIL() << "no error";
  } catch (const IoError& e) {
    EXPECT_STREQ(e.what(),
                 "Acceso al archivo denegado\nal copiar C:\\GC\\horgrup.dbf "
                 "en C:\\QTEMP\\VALENCIA\\horgrup.dbf");
  }
  // Rows before it are fresh, its own copy is gone, the rest are the old.
  EXPECT_EQ(CopyContents(),
            (std::vector<std::string>{"new", "new", "-", "old", "old", "old",
                                      "old", "old", "old", "old", "old"}));
}

#ifndef _WIN32
TEST_F(RefreshTest, AFifoOrADeviceFailsAtOnceAsADamagedTable) {
  // A hang fails the test instead of stopping the suite.
  ::alarm(20);
  for (const char* f : kFiles) drive_.Write(std::string("GC/") + f, "new");
  const struct {
    const char* file;
    std::function<void(const std::string&)> make;
  } cases[] = {
      {"centro.dbf",
       [](const std::string& path) {
         ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
       }},
      {"alumnos.fpt",
       [](const std::string& path) { fs::create_symlink("/dev/zero", path); }},
  };
  for (const auto& c : cases) {
    const std::string path = drive_.File(std::string("GC/") + c.file);
    fs::remove(path);
    c.make(path);
    try {
      RefreshWorkingCopy(context_);
      ADD_FAILURE() << c.file << ": no error";
    } catch (const std::exception& e) {
      EXPECT_EQ(std::string(e.what()), std::string("La tabla 'C:\\GC\\") +
                                           c.file +
                                           "' está dañada: no es un archivo "
                                           "normal");
    }
    fs::remove(path);
    drive_.Write(std::string("GC/") + c.file, "new");
  }
  ::alarm(0);
}
#endif

}  // namespace
}  // namespace shell
