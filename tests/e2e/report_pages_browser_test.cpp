// The two report pages of a round trip on the sample school, opened in a
// real browser (Debian's chromium, headless): each prints to an A4 PDF and
// renders to a screenshot that is not blank.
#include <gtest/gtest.h>

#include <iterator>
#include <regex>

#include "e2e/import_e2e_support.h"

namespace import_e2e {
namespace {

constexpr char kChromium[] = "/usr/bin/chromium";

// chromium headless with a profile of its own, reaching nothing outside.
RunResult Chromium(const fs::path& profile, const std::string& output_flag,
                   const fs::path& page) {
  fs::create_directories(profile);
  return RunProgram(
      {kChromium, "--headless", "--no-sandbox", "--disable-gpu",
       "--disable-quic", "--no-first-run", "--disable-background-networking",
       "--disable-component-update", "--disable-sync",
       "--user-data-dir=" + profile.string(), "--window-size=1100,1400",
       output_flag, "file://" + page.string()});
}

size_t Count(const std::string& text, const std::string& what) {
  size_t count = 0;
  for (size_t at = 0; (at = text.find(what, at)) != std::string::npos; ++at)
    ++count;
  return count;
}

TEST(ReportPagesBrowserTest, BothPagesPrintOnA4AndRender) {
  if (!fs::exists(kChromium)) GTEST_SKIP() << "chromium is not installed";
  SampleSchool school;
  ASSERT_TRUE(school.ok());
  ASSERT_EQ(RunProgram(school.ImportCommand()).status, 0);
  testing_support::TempDir work("tqv-browser");
  for (const char* name : {"INFORME_EXPORTACION", "HORARIOS"}) {
    const fs::path page = school.exchange() / (std::string(name) + ".html");
    ASSERT_TRUE(fs::exists(page)) << name;
    const fs::path pdf = work.path() / (std::string(name) + ".pdf");
    const fs::path png = work.path() / (std::string(name) + ".png");
    EXPECT_EQ(
        Chromium(work.path() / "p1", "--print-to-pdf=" + pdf.string(), page)
            .status,
        0);
    EXPECT_EQ(Chromium(work.path() / "p2", "--screenshot=" + png.string(), page)
                  .status,
              0);
    const std::string pdf_bytes = ReadFile(pdf);
    ASSERT_EQ(pdf_bytes.rfind("%PDF-", 0), 0u) << name;
    // Every page is A4, 595 by 842 points; the week needs several pages.
    const size_t pages =
        Count(pdf_bytes, "/Type /Page") - Count(pdf_bytes, "/Type /Pages");
    const std::regex a4(R"(/MediaBox \[0 0 59[45](\.\d+)? 84[12](\.\d+)?\])");
    const auto a4_pages = static_cast<size_t>(std::distance(
        std::sregex_iterator(pdf_bytes.begin(), pdf_bytes.end(), a4),
        std::sregex_iterator()));
    EXPECT_EQ(a4_pages, pages) << name;
    EXPECT_GE(pages, std::string(name) == "HORARIOS" ? 2u : 1u) << name;
    // A blank screenshot of this size compresses to a few kilobytes.
    const std::string png_bytes = ReadFile(png);
    ASSERT_EQ(png_bytes.substr(1, 3), "PNG") << name;
    EXPECT_GT(png_bytes.size(), 50000u) << name;
  }
}

}  // namespace
}  // namespace import_e2e
