// The help system's routing: F1 and the button "F1 AYUDA" reach the HTML
// help viewer through its selector and the WinHelp tester; registration at
// start and release at the end.
#include "shell/help_system.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "shell/help_recorder.h"
#include "shell/help_registration.h"
#include "shell/help_winhelp_tester.h"
#include "shell/help_winhelp_viewer.h"

namespace shell {
namespace {

using help_test::HtmlHelpCall;

constexpr char kFolder[] = "/opt/tqv/";

std::shared_ptr<std::vector<HtmlHelpCall>> NewCalls() {
  return std::make_shared<std::vector<HtmlHelpCall>>();
}

TEST(HelpSystem, ButtonAndF1ReachTheHelpFileBesideTheProgram) {
  auto calls = NewCalls();
  {
    HtmlHelpRegistration registration(
        ApplicationHelpSystem(), help_test::RecordingLibrary(calls), kFolder);
    SetApplicationHelpFile("");
    SetHelpOwnerWindow(0x1234);
    ShowHelpContents();  // sets the help file itself
    ShowHelpContext(1);
    SetHelpOwnerWindow(0);
  }
  ASSERT_EQ(calls->size(), 2u);
  EXPECT_EQ((*calls)[0].command, platform::kHhDisplayToc);
  EXPECT_EQ((*calls)[0].file, "/opt/tqv/ZELMAR.chm");
  EXPECT_EQ((*calls)[0].owner, 0x1234u);
  EXPECT_EQ((*calls)[1].command, platform::kHhHelpContext);
  EXPECT_EQ((*calls)[1].file, "/opt/tqv/ZELMAR.chm");
  EXPECT_EQ((*calls)[1].data, 1u);
  // The registration has ended: F1 reaches nobody and nothing breaks.
  ShowHelpContext(1);
  EXPECT_EQ(calls->size(), 2u);
  EXPECT_EQ(ApplicationHelpSystem().ViewerNames(),
            std::vector<std::string>{kWinHelpViewerName});
}

TEST(HelpSystem, ContextHelpKeepsTheFolderOfTheFileGiven) {
  HelpSystem system;
  auto calls = NewCalls();
  HtmlHelpRegistration registration(system, help_test::RecordingLibrary(calls),
                                    kFolder);
  system.ShowContextHelp(7, "/srv/ayuda/Otro.CHM");
  system.ShowContextHelp(8, "Otro.chm");
  system.ShowContextHelp(9, "Otro.hlp");  // nobody takes it
  ASSERT_EQ(calls->size(), 2u);
  EXPECT_EQ((*calls)[0].file, "/srv/ayuda/Otro.CHM");
  EXPECT_EQ((*calls)[0].data, 7u);
  EXPECT_EQ((*calls)[1].file, "/opt/tqv/Otro.chm");
  EXPECT_EQ(system.GetHelpFile(), "");  // only set while a request runs
}

struct RoutingCase {
  bool tester;
  bool selector;
  // Whether contents, context 1, a keyword and a topic reach HTML Help.
  bool contents, context, keyword, topic;
};

// The WinHelp viewer is registered first and claims everything it is not
// told to decline; the selector picks the HTML help viewer among several.
TEST(HelpSystem, TesterAndSelectorSendRequestsToHtmlHelp) {
  const RoutingCase cases[] = {
      {true, true, true, true, true, true},
      {false, true, true, false, true, false},
      {true, false, false, true, true, true},
      {false, false, false, false, false, false},
  };
  for (const RoutingCase& c : cases) {
    SCOPED_TRACE(::testing::Message()
                 << "tester " << c.tester << ", selector " << c.selector);
    HelpSystem system;
    system.SetApplicationHelpFile(kApplicationHelpFile);
    auto calls = NewCalls();
    HtmlHelpRegistration registration(
        system, help_test::RecordingLibrary(calls), kFolder);
    if (!c.tester) system.SetWinHelpTester(nullptr);
    if (!c.selector) system.SetHelpSelector(nullptr);
    const auto reached = [&calls](auto request) {
      calls->clear();
      request();
      return !calls->empty();
    };
    EXPECT_EQ(reached([&] { system.ShowTableOfContents(); }), c.contents);
    EXPECT_EQ(reached([&] { system.ShowContextHelp(1, "ZELMAR.chm"); }),
              c.context);
    EXPECT_EQ(reached([&] { system.ShowHelp("Tema: horarios"); }), c.keyword);
    EXPECT_EQ(reached([&] { system.ShowTopicHelp("intro"); }), c.topic);
    if (c.keyword) {
      system.ShowHelp("Tema: horarios");
      EXPECT_EQ(calls->back().keyword, "horarios");
    }
  }
}

TEST(HelpSystem, RegistrationAndRelease) {
  HelpSystem system;
  auto calls = NewCalls();
  auto registration = std::make_unique<HtmlHelpRegistration>(
      system, help_test::RecordingLibrary(calls), kFolder);
  HtmlHelpViewer& viewer = registration->viewer();
  EXPECT_EQ(
      system.ViewerNames(),
      (std::vector<std::string>{kWinHelpViewerName, kHtmlHelpViewerName}));
  EXPECT_EQ(viewer.viewer_id(), 2);
  EXPECT_EQ(system.help_selector(), &viewer);
  EXPECT_NE(system.win_help_tester(), nullptr);
  EXPECT_TRUE(viewer.HoldsHelpManager());

  registration.reset();
  EXPECT_EQ(system.ViewerNames(), std::vector<std::string>{kWinHelpViewerName});
  EXPECT_EQ(system.help_selector(), nullptr);
  EXPECT_EQ(system.win_help_tester(), nullptr);
  EXPECT_TRUE(calls->empty());  // release closes no window
}

TEST(HelpSystem, EndingFirstShutsTheViewerDown) {
  auto system = std::make_unique<HelpSystem>();
  auto calls = NewCalls();
  HtmlHelpRegistration registration(*system, help_test::RecordingLibrary(calls),
                                    kFolder);
  system.reset();
  ASSERT_EQ(calls->size(), 1u);
  EXPECT_EQ((*calls)[0].command, platform::kHhCloseAll);
  EXPECT_FALSE(registration.viewer().HoldsHelpManager());
  // The registration now ends without touching the dead help system.
}

TEST(HtmlHelpWinHelpTester, DeclinesEverything) {
  HtmlHelpWinHelpTester tester;
  EXPECT_FALSE(tester.CanShowALink("a", "ZELMAR.hlp"));
  EXPECT_FALSE(tester.CanShowTopic("a", "ZELMAR.hlp"));
  EXPECT_FALSE(tester.CanShowContext(1, "ZELMAR.hlp"));
  EXPECT_EQ(tester.GetHelpStrings("enlace"),
            std::vector<std::string>{": enlace"});
  EXPECT_EQ(tester.GetHelpPath(), "");
  EXPECT_EQ(tester.GetDefaultHelpFile("x"), "");
}

}  // namespace
}  // namespace shell
