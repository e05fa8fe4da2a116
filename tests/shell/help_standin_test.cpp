// The command lines with which the stand-in for "HHCtrl.ocx" starts a CHM
// viewer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/html_help_library.h"
#include "platform/html_help_standin.h"

namespace platform {
namespace {

using Args = std::vector<std::string>;

struct CommandCase {
  const char* name;
  ChmViewers viewers;
  const char* file;
  unsigned command;
  std::uintptr_t data;
  Args expected;
};

TEST(ChmViewerCommand, MapsEachRequestToTheBestInstalledViewer) {
  static const char kKeyword[] = "horarios";
  const auto keyword = reinterpret_cast<std::uintptr_t>(kKeyword);
  const ChmViewers both{"/x/xchm", "/k/kchmviewer"};
  const ChmViewers xchm{"/x/xchm", ""};
  const ChmViewers kchm{"", "/k/kchmviewer"};
  const char* chm = "/opt/ZELMAR.chm";
  const char* topic = "/opt/ZELMAR.chm::/alta.htm";
  const CommandCase cases[] = {
      {"contents", both, chm, kHhDisplayToc, 0, {"/x/xchm", chm}},
      {"contents, kchmviewer only",
       kchm,
       chm,
       kHhDisplayToc,
       0,
       {"/k/kchmviewer", chm}},
      {"context", both, chm, kHhHelpContext, 1, {"/x/xchm", "-c", "1", chm}},
      {"context, kchmviewer only",
       kchm,
       chm,
       kHhHelpContext,
       1,
       {"/k/kchmviewer", chm}},
      {"topic",
       both,
       topic,
       kHhDisplayTopic,
       0,
       {"/k/kchmviewer", "-showPage", "alta.htm", chm}},
      {"topic, xchm only", xchm, topic, kHhDisplayTopic, 0, {"/x/xchm", chm}},
      {"index",
       both,
       chm,
       kHhDisplayIndex,
       keyword,
       {"/k/kchmviewer", "-sindex", "horarios", chm}},
      {"index, xchm only",
       xchm,
       chm,
       kHhDisplayIndex,
       keyword,
       {"/x/xchm", chm}},
      {"no viewer", ChmViewers{}, chm, kHhDisplayToc, 0, {}},
      {"no file", both, nullptr, kHhDisplayToc, 0, {}},
      {"close all starts nothing", both, nullptr, kHhCloseAll, 0, {}},
      {"unknown command", both, chm, 99, 0, {}},
  };
  for (const CommandCase& c : cases) {
    EXPECT_EQ(ChmViewerCommand(c.viewers, c.file, c.command, c.data),
              c.expected)
        << c.name;
  }
}

}  // namespace
}  // namespace platform
