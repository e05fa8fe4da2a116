// The stand-in for "HHCtrl.ocx" on systems without it, with a fake xchm on
// PATH that writes down its arguments.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/html_help_library.h"
#include "platform/html_help_standin.h"
#include "support/temp_dir.h"

namespace platform {
namespace {

// Sets PATH for one test and puts the old value back.
class ScopedPath {
 public:
  explicit ScopedPath(const std::string& value) {
    const char* old = std::getenv("PATH");
    had_ = old != nullptr;
    if (had_) old_ = old;
    setenv("PATH", value.c_str(), 1);
  }
  ~ScopedPath() {
    if (had_) {
      setenv("PATH", old_.c_str(), 1);
    } else {
      unsetenv("PATH");
    }
  }

 private:
  bool had_ = false;
  std::string old_;
};

std::string WriteScript(const testing_support::TempDir& dir,
                        const std::string& name, const std::string& body) {
  const std::string path = dir.Write(name, "#!/bin/sh\n" + body + "\n");
  chmod(path.c_str(), 0755);
  return path;
}

TEST(HtmlHelpStandIn, WithoutAViewerTheLibraryCountsAsMissing) {
  testing_support::TempDir empty("tqv_help");
  ScopedPath path(empty.path().string());
  EXPECT_FALSE(HtmlHelpLibrary::Load()->HasEntryPoint());
}

TEST(HtmlHelpStandIn, FindsExecutableViewersOnly) {
  testing_support::TempDir first("tqv_help");
  testing_support::TempDir second("tqv_help");
  first.Write("kchmviewer", "not executable");
  const std::string kchm = WriteScript(second, "kchmviewer", "exit 0");
  const std::string xchm = WriteScript(second, "xchm", "exit 0");
  const ChmViewers found =
      FindChmViewers(first.path().string() + ":" + second.path().string());
  EXPECT_EQ(found.xchm, xchm);
  EXPECT_EQ(found.kchmviewer, kchm);
  EXPECT_FALSE(FindChmViewers("").Any());
}

TEST(HtmlHelpStandIn, StartsTheViewerWithTheContext) {
  testing_support::TempDir dir("tqv_help");
  const std::string record = dir.File("args.txt");
  WriteScript(dir, "xchm",
              "echo \"$@\" > " + record + ".tmp && /bin/mv " + record +
                  ".tmp " + record);
  ScopedPath path(dir.path().string());
  auto library = HtmlHelpLibrary::Load();
  ASSERT_TRUE(library->HasEntryPoint());
  library->HtmlHelp(0, "/opt/ZELMAR.chm", kHhHelpContext, 1);
  std::string args;
  for (int i = 0; i < 200 && args.empty(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    args = dir.Read("args.txt");
  }
  EXPECT_EQ(args, "-c 1 /opt/ZELMAR.chm\n");
}

TEST(HtmlHelpStandIn, CloseAllEndsTheViewersItStarted) {
  testing_support::TempDir dir("tqv_help");
  const std::string pid_file = dir.File("pid");
  // A viewer that stays open until it is told to close.
  WriteScript(dir, "xchm", "echo $$ > " + pid_file + "; exec /bin/sleep 30");
  ScopedPath path(dir.path().string());
  auto library = HtmlHelpLibrary::Load();
  library->HtmlHelp(0, "/opt/ZELMAR.chm", kHhDisplayToc, 0);
  std::string pid_text;
  for (int i = 0; i < 200 && pid_text.empty(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    pid_text = dir.Read("pid");
  }
  ASSERT_FALSE(pid_text.empty());
  const pid_t pid = static_cast<pid_t>(std::stol(pid_text));
  EXPECT_EQ(kill(pid, 0), 0);  // open
  library->HtmlHelp(0, nullptr, kHhCloseAll, 0);
  EXPECT_NE(kill(pid, 0), 0);  // ended and reaped
}

}  // namespace
}  // namespace platform
