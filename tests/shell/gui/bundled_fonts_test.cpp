#include "shell/gui/bundled_fonts.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>

namespace shell_gui {
namespace {

QApplication& App() {
  if (auto* running =
          qobject_cast<QApplication*>(QCoreApplication::instance())) {
    return *running;
  }
  static int argc = 1;
  static char name[] = "shell_gui_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

// The design faces end in Liberation Sans, with Arial's metrics, wherever
// the system lacks them; never in the serif face Qt falls back to.
TEST(BundledFontsTest, MissingDesignFacesResolveToLiberationSans) {
  App();
  const QStringList missing = RegisterBundledFonts();
  ASSERT_TRUE(QFontDatabase::hasFamily("Liberation Sans"));
  for (const char* face : {"Arial", "MS Sans Serif"}) {
    const QString family = QString::fromLatin1(face);
    const QFontInfo used{QFont(family)};
    if (missing.contains(family)) {
      EXPECT_EQ(used.family(), QStringLiteral("Liberation Sans")) << face;
    } else {
      EXPECT_TRUE(QFontDatabase::hasFamily(family)) << face;
    }
  }
}

}  // namespace
}  // namespace shell_gui
