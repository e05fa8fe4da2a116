// The real HTML Help library on Windows (Wine ships its own hhctrl.ocx).
#include <gtest/gtest.h>

#include "platform/html_help_library.h"

namespace platform {
namespace {

TEST(HtmlHelpLibraryWindows, LoadsHHCtrlAndFindsHtmlHelpA) {
  auto library = HtmlHelpLibrary::Load();
  ASSERT_TRUE(library->HasEntryPoint());
  // Closing help windows when none is open is harmless and needs no display.
  library->HtmlHelp(0, nullptr, kHhCloseAll, 0);
}

TEST(HtmlHelpLibraryWindows, LoadingTwiceKeepsBothUsable) {
  auto first = HtmlHelpLibrary::Load();
  {
    auto second = HtmlHelpLibrary::Load();
    EXPECT_TRUE(second->HasEntryPoint());
  }
  // Unloading the second left the module loaded for the first.
  first->HtmlHelp(0, nullptr, kHhCloseAll, 0);
}

}  // namespace
}  // namespace platform
