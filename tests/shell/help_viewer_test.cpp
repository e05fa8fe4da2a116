// The HTML help viewer: each operation's HTML Help call, its answers, the
// help-file rules and the selector.
#include "shell/help_viewer.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "shell/help_file.h"
#include "shell/help_recorder.h"
#include "shell/help_registration.h"
#include "shell/help_system.h"

namespace shell {
namespace {

using help_test::HtmlHelpCall;
using platform::kHhCloseAll;
using platform::kHhDisplayIndex;
using platform::kHhDisplayToc;
using platform::kHhDisplayTopic;
using platform::kHhHelpContext;

constexpr char kFolder[] = "C:\\TQV\\";
constexpr char kShown[] = "C:\\TQV\\ZELMAR.chm";
constexpr std::uintptr_t kOwner = 0x77;

// A help system with the viewer registered on a recording library, as at
// program start.
class HelpViewerTest : public ::testing::Test {
 protected:
  HelpViewerTest()
      : calls_(std::make_shared<std::vector<HtmlHelpCall>>()),
        registration_(std::make_unique<HtmlHelpRegistration>(
            system_, help_test::RecordingLibrary(calls_), kFolder)) {
    system_.SetOwnerWindow(kOwner);
    system_.SetApplicationHelpFile(kApplicationHelpFile);
  }

  HtmlHelpViewer& viewer() { return registration_->viewer(); }
  std::vector<HtmlHelpCall>& calls() { return *calls_; }

  HelpSystem system_;
  std::shared_ptr<std::vector<HtmlHelpCall>> calls_;
  std::unique_ptr<HtmlHelpRegistration> registration_;
};

struct OperationCase {
  const char* name;
  void (*request)(HtmlHelpViewer&);
  unsigned command;
  std::string file;
  std::uintptr_t data;
  std::string keyword;
};

TEST_F(HelpViewerTest, EachOperationMakesItsOneCall) {
  const std::string topic = std::string(kShown) + "::/";
  const OperationCase cases[] = {
      {"contents", [](HtmlHelpViewer& v) { v.ShowTableOfContents(); },
       kHhDisplayToc, kShown, 0, ""},
      {"keyword after a colon, blanks trimmed",
       [](HtmlHelpViewer& v) { v.ShowHelp("Tema:   horarios  "); },
       kHhDisplayIndex, kShown, 0, "horarios"},
      {"keyword without a colon",
       [](HtmlHelpViewer& v) { v.ShowHelp(" grupos "); }, kHhDisplayIndex,
       kShown, 0, "grupos"},
      {"only the first colon goes",
       [](HtmlHelpViewer& v) { v.ShowHelp("a: b:c"); }, kHhDisplayIndex, kShown,
       0, "b:c"},
      {"topic without extension",
       [](HtmlHelpViewer& v) { v.DisplayTopic("intro"); }, kHhDisplayTopic,
       topic + "intro.htm", 0, ""},
      {"topic .HTML", [](HtmlHelpViewer& v) { v.DisplayTopic("intro.HTML"); },
       kHhDisplayTopic, topic + "intro.HTML", 0, ""},
      {"topic .Htm", [](HtmlHelpViewer& v) { v.DisplayTopic("a/b.Htm"); },
       kHhDisplayTopic, topic + "a/b.Htm", 0, ""},
      {"topic with another extension",
       [](HtmlHelpViewer& v) { v.DisplayTopic("notas.txt"); }, kHhDisplayTopic,
       topic + "notas.txt.htm", 0, ""},
      {"dot in a folder of the topic",
       [](HtmlHelpViewer& v) { v.DisplayTopic("v1.2/alta"); }, kHhDisplayTopic,
       topic + "v1.2/alta.htm", 0, ""},
      {"context ignores the name it is given",
       [](HtmlHelpViewer& v) { v.DisplayHelpContext(42, "otro.chm"); },
       kHhHelpContext, kShown, 42, ""},
  };
  for (const OperationCase& c : cases) {
    SCOPED_TRACE(c.name);
    calls().clear();
    c.request(viewer());
    ASSERT_EQ(calls().size(), 1u);
    const HtmlHelpCall& call = calls()[0];
    EXPECT_EQ(call.command, c.command);
    EXPECT_EQ(call.owner, kOwner);
    EXPECT_EQ(call.file, c.file);
    if (c.command == kHhDisplayIndex) {
      EXPECT_EQ(call.keyword, c.keyword);
    } else {
      EXPECT_EQ(call.data, c.data);
    }
  }
}

TEST_F(HelpViewerTest, SoftShutdownClosesAllWithoutWindowOrFile) {
  viewer().SoftShutDown();
  ASSERT_EQ(calls().size(), 1u);
  EXPECT_EQ(calls()[0].command, kHhCloseAll);
  EXPECT_EQ(calls()[0].owner, 0u);
  EXPECT_FALSE(calls()[0].has_file);
  EXPECT_EQ(calls()[0].data, 0u);
  EXPECT_TRUE(viewer().HoldsHelpManager());  // soft: still registered
}

TEST_F(HelpViewerTest, WithoutAnHtmlHelpFileNothingIsShown) {
  for (const char* file : {"ZELMAR.hlp", "ZELMAR", "ayuda.chm\\ZELMAR", ""}) {
    SCOPED_TRACE(file);
    system_.SetApplicationHelpFile(file);
    viewer().ShowTableOfContents();
    viewer().ShowHelp("a");
    viewer().DisplayTopic("a");
    viewer().DisplayHelpContext(1, "ZELMAR.chm");
    EXPECT_TRUE(calls().empty());
    EXPECT_EQ(viewer().UnderstandsKeyword("a"), 0);
    EXPECT_FALSE(viewer().UnderstandsTopic("a"));
  }
}

TEST_F(HelpViewerTest, Answers) {
  EXPECT_EQ(viewer().GetViewerName(), kHtmlHelpViewerName);
  EXPECT_EQ(viewer().UnderstandsKeyword("x"), 1);
  EXPECT_TRUE(viewer().UnderstandsTopic("x"));
  EXPECT_TRUE(viewer().CanShowTableOfContents());
  EXPECT_EQ(
      viewer().GetHelpStrings("Tema: x"),
      std::vector<std::string>{std::string(kHtmlHelpViewerName) + ": Tema: x"});
  // Context: the name given decides, not the application's file.
  system_.SetApplicationHelpFile("");
  EXPECT_TRUE(viewer().UnderstandsContext(1, "C:\\A\\Z.CHM"));
  EXPECT_FALSE(viewer().UnderstandsContext(1, "Z.hlp"));
  EXPECT_FALSE(viewer().UnderstandsContext(1, ""));
  EXPECT_TRUE(calls().empty());  // answering never calls HTML Help
}

struct SelectCase {
  std::vector<std::string> list;
  int index;
};

TEST_F(HelpViewerTest, SelectKeywordTakesTheFirstEntryOfItsOwn) {
  const std::string own = kHtmlHelpViewerName;
  const SelectCase cases[] = {
      {{own + ": a", "WinHelp: a"}, 0},
      {{"WinHelp: a", own + ": a"}, 1},
      {{": a", "x", own + ": a", own + ": b"}, 2},
      {{"WinHelp: a", own}, 1},  // no colon: the whole text is the name
      {{"WinHelp: a", own + " : a"}, 0},      // the blank belongs to the name
      {{"WinHelp: a", "tqvhtmlhelp: a"}, 0},  // case counts; none: 0
      {{}, 0},
  };
  for (const SelectCase& c : cases) {
    EXPECT_EQ(viewer().SelectKeyword(c.list), c.index)
        << ::testing::PrintToString(c.list);
  }
}

TEST_F(HelpViewerTest, TableOfContentsFindsItsNameInAnyCase) {
  const SelectCase cases[] = {
      {{"WinHelp", kHtmlHelpViewerName}, 1},
      {{"tqvhtmlhelp", "WinHelp"}, 0},
      {{"WinHelp", "TQVHtmlHelp2"}, -1},
      {{}, -1},
  };
  for (const SelectCase& c : cases) {
    EXPECT_EQ(viewer().TableOfContents(c.list), c.index)
        << ::testing::PrintToString(c.list);
  }
}

TEST(HelpViewerMissingLibrary, EveryRequestDoesNothingSilently) {
  HelpSystem system;
  system.SetApplicationHelpFile(kApplicationHelpFile);
  // An empty entry point would throw if it were ever called.
  HtmlHelpRegistration registration(
      system, std::make_unique<platform::HtmlHelpLibrary>(nullptr), kFolder);
  HtmlHelpViewer& viewer = registration.viewer();
  viewer.ShowTableOfContents();
  viewer.ShowHelp("a: b");
  viewer.DisplayTopic("intro");
  viewer.DisplayHelpContext(1, kApplicationHelpFile);
  system.ShowTableOfContents();
  system.ShowContextHelp(1, kApplicationHelpFile);
  viewer.SoftShutDown();
  EXPECT_EQ(viewer.UnderstandsKeyword("a"), 1);  // answers do not change
}

struct ResolveCase {
  const char* manager;
  const char* application;
  const char* shown;
};

TEST(HelpFile, ResolutionAndHtmlHelpTest) {
  const ResolveCase cases[] = {
      {"", "ZELMAR.chm", "C:\\TQV\\ZELMAR.chm"},
      {"AYUDA.CHM", "ZELMAR.chm", "C:\\TQV\\AYUDA.CHM"},
      {"D:\\AYUDA\\ZELMAR.chm", "x.chm", "D:\\AYUDA\\ZELMAR.chm"},
      {"", "ayuda\\ZELMAR.chm", "ayuda\\ZELMAR.chm"},
      {"", "/srv/ayuda/ZELMAR.chm", "/srv/ayuda/ZELMAR.chm"},
      {"", "C:ZELMAR.chm", "C:ZELMAR.chm"},
      {"", "", ""},
  };
  for (const ResolveCase& c : cases) {
    EXPECT_EQ(ResolveHelpFile(c.manager, c.application, kFolder), c.shown)
        << c.manager << " | " << c.application;
  }
  EXPECT_TRUE(IsHtmlHelpFile("a.ChM"));
  EXPECT_FALSE(IsHtmlHelpFile("a.chm.bak"));
  EXPECT_FALSE(IsHtmlHelpFile("chm"));
  EXPECT_FALSE(IsHtmlHelpFile("C:\\x.chm\\ayuda"));
}

}  // namespace
}  // namespace shell
