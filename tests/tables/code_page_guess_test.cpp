// Telling DOS and UTF-8 text from Windows text in tables whose header names
// no code page, and reading a table in the code page the user names.
#include "tables/code_page_guess.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/table_error_text.h"
#include "support/temp_dir.h"
#include "tables/table.h"

namespace tables {
namespace {

TEST(CodePageGuessTest, NamesTheCodePageTheTextPlainlyIsIn) {
  struct Case {
    const char* name;
    std::vector<std::string> values;
    int likely;
  };
  const std::vector<Case> cases = {
      {"plain ASCII", {"GARCIA", "Vila-real"}, 0},
      {"Windows letters", {"Pe\xF1\xEDscola", "Castell\xF3"}, 0},
      {"DOS letters between letters",
       {"g\x81"
        "ell",
        "qu\xA1mic"},
       850},
      {"DOS and Windows alike: not plain",
       {"g\x81"
        "ell",
        "Pe\xF1"
        "a"},
       0},
      {"an accent at a word's end proves nothing", {"caf\x82 ", "\x82l"}, 0},
      {"a curly apostrophe is Windows",
       {"don\x92t",
        "l\x92"
        "aula"},
       0},
      {"capitals only 850 spells",
       {"M\xB5LAGA",
        "g\x81"
        "ell"},
       850},
      {"box lines only 437 draws",
       {"\xD5\xCD\xB8",
        "g\x81"
        "ell"},
       437},
      {"UTF-8", {"Pe\xC3\xB1\xC3\xADscola"}, 65001},
      {"broken UTF-8 is no UTF-8",
       {"\xC3\xB1",
        "Pe\xF1"
        "a"},
       0},
  };
  for (const Case& c : cases) {
    CodePageEvidence evidence;
    for (const std::string& value : c.values) evidence.Add(value);
    EXPECT_EQ(evidence.Likely(), c.likely) << c.name;
  }
}

TEST(CodePageGuessTest, ATableIsReadInTheCodePageGiven) {
  const std::string f5 = std::string(TQV_SOURCE_DIR) +
                         "/tests/data/dbf-corpus/infused-dbf/dbase_f5.dbf";
  Table header_page;
  header_page.SetTableName(f5);
  header_page.SetReadOnly(true);
  header_page.Open();
  EXPECT_EQ(header_page.LikelyCodePage(), 850);
  header_page.Close();

  Table dos;
  dos.SetTableName(f5);
  dos.SetReadOnly(true);
  dos.SetCodePage(850);
  dos.Open();
  EXPECT_EQ(dos.LikelyCodePage(), 0);  // the user has chosen
  EXPECT_TRUE(dos.Locate("COMN", "baix pened\u00E8s"));

  // One file open in two code pages at once would write one of them wrong.
  Table windows;
  windows.SetTableName(f5);
  windows.SetReadOnly(true);
  EXPECT_EQ(testing_support::ErrorOf([&] { windows.Open(); }),
            "La tabla '" + f5 + "' está abierta en este programa");
}

TEST(CodePageGuessTest, UnknownCodePagesAreRefusedAtOnce) {
  Table table;
  for (int number : {1, 999, 65000}) {
    EXPECT_EQ(
        testing_support::ErrorOf([&] { table.SetCodePage(number); }),
        "La página de códigos " + std::to_string(number) + " no está admitida");
  }
  table.SetCodePage(437);
  table.SetCodePage(0);
  EXPECT_EQ(table.CodePageNumber(), 0);
}

}  // namespace
}  // namespace tables
