// transquendra as a user first meets it: its help, its version, its usage
// on a mistake, and the dump of tables that other programs wrote.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace {

struct Output {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs transquendra with `arguments` (none holding blanks or quotes).
Output RunTransquendra(const std::string& arguments) {
  static testing_support::TempDir folder("tqv-cli");
  const std::string out = folder.File("out");
  const std::string err = folder.File("err");
  const std::string command = std::string(TQV_BINARY_DIR) +
                              "/src/transquendra " + arguments + " >" + out +
                              " 2>" + err + " </dev/null";
  const int raw = std::system(command.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, folder.Read("out"),
          folder.Read("err")};
}

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(CliHelpTest, HelpVersionAndUsage) {
  struct Case {
    std::string arguments;
    int status;
    std::string out;  // part of stdout, "" for none
    std::string err;  // part of stderr, "" for none
  };
  const std::vector<Case> cases = {
      {"--help", 0, "Órdenes:\n  dump    Muestra una tabla dBase como CSV.",
       ""},
      {"-h", 0, "  --version      Muestra la versión.", ""},
      {"--version", 0, "transquendra (TransQuendraValencia) 0.1", ""},
      {"export --help", 0,
       "  --language TEXTO\n      Idioma de los nombres de las asignaturas",
       ""},
      {"export --drive-c /nada -h", 0, "uso: transquendra export", ""},
      {"import --help", 0, "  --dni ABREV=NUMERO\n      D.N.I. del profesor",
       ""},
      {"dump --help", 0, "  --codepage N\n      Lee el texto en la página", ""},
      {"", 2, "", "uso: transquendra dump TABLA"},
      {"exportar", 2, "",
       "transquendra: orden desconocida: exportar\nuso: transquendra dump"},
      {"export --drive", 2, "", "uso: transquendra export [--drive-c DIR]"},
      {"import --centro 1", 2, "",
       "opción no válida: --centro 1\nuso: transquendra import"},
      {"dump", 2, "", "falta la TABLA\nuso: transquendra dump"},
      {"dump a.dbf --indice X", 2, "", "opción no válida: --indice"},
      {"dump a.dbf --codepage 123", 2, "", "página de códigos no válida: 123"},
      {"dump a.dbf --codepage x850", 2, "",
       "página de códigos no válida: x850"},
  };
  for (const Case& c : cases) {
    const Output result = RunTransquendra(c.arguments);
    EXPECT_EQ(result.status, c.status) << c.arguments << "\n" << result.err;
    EXPECT_TRUE(Has(result.out, c.out)) << c.arguments << "\n" << result.out;
    EXPECT_TRUE(Has(result.err, c.err)) << c.arguments << "\n" << result.err;
    if (c.status == 0) {
      EXPECT_EQ(result.err, "") << c.arguments;
    }
  }
}

TEST(CliHelpTest, HelpLinesFitATerminal) {
  for (const char* arguments :
       {"--help", "dump --help", "export --help", "import --help"}) {
    const std::string out = RunTransquendra(arguments).out;
    size_t start = 0;
    while (start < out.size()) {
      size_t end = out.find('\n', start);
      if (end == std::string::npos) end = out.size();
      size_t characters = 0;
      for (size_t i = start; i < end; ++i)
        characters += (static_cast<unsigned char>(out[i]) & 0xC0) != 0x80;
      EXPECT_LE(characters, 79u)
          << arguments << ": " << out.substr(start, end - start);
      start = end + 1;
    }
  }
}

// A dBase III table of one column (type, width, decimals) whose records
// hold `values` as stored bytes; `language` is byte 29.
std::string OneColumnTable(char type, int width, int decimals,
                           const std::vector<std::string>& values,
                           unsigned char language) {
  std::string bytes(65, '\0');
  bytes[0] = 0x03;
  bytes[1] = 126;
  bytes[2] = 12;
  bytes[3] = 9;
  bytes[4] = static_cast<char>(values.size());
  bytes[8] = 65;
  bytes[10] = static_cast<char>(width + 1);
  bytes[29] = static_cast<char>(language);
  bytes.replace(32, 5, "VALOR");
  bytes[43] = type;
  bytes[44] = 1;  // offset within the record
  bytes[48] = static_cast<char>(width);
  bytes[49] = static_cast<char>(decimals);
  bytes[64] = 0x0D;
  for (std::string value : values) {
    // Text is padded on the right, numbers on the left.
    const size_t fill = static_cast<size_t>(width) - value.size();
    value.insert(type == 'C' ? value.size() : 0, fill, ' ');
    bytes += ' ' + value;
  }
  return bytes + '\x1A';
}

TEST(CliDumpTest, NumbersKeepEveryStoredDigit) {
  testing_support::TempDir folder("tqv-dump");
  struct Case {
    char type;
    int width;
    int decimals;
    std::string stored;
    std::string shown;
  };
  const std::vector<Case> cases = {
      {'N', 19, 0, "1234567890123456789", "1234567890123456789"},
      {'N', 19, 0, "-123456789012345678", "-123456789012345678"},
      {'N', 20, 4, "123456789012345.6789", "123456789012345.6789"},
      {'F', 20, 2, "99999999999999999.99", "99999999999999999.99"},
      {'N', 5, 2, "12.50", "12.50"},
      {'N', 5, 0, "", ""},
  };
  for (const Case& c : cases) {
    const std::string path = folder.Write(
        "wide.dbf",
        OneColumnTable(c.type, c.width, c.decimals, {c.stored}, 0x03));
    const Output result = RunTransquendra("dump " + path);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "VALOR\r\n" + c.shown + "\r\n") << c.stored;
  }
}

TEST(CliDumpTest, DosTextIsNamedAndReadInTheCodePageGiven) {
  const std::string corpus =
      std::string(TQV_SOURCE_DIR) + "/tests/data/dbf-corpus/infused-dbf/";
  const Output guessed = RunTransquendra("dump " + corpus + "dbase_f5.dbf");
  EXPECT_EQ(guessed.status, 0);
  EXPECT_TRUE(Has(guessed.err, "parece de la 850")) << guessed.err;
  EXPECT_TRUE(Has(guessed.err, "Pruebe --codepage 850")) << guessed.err;
  EXPECT_FALSE(Has(guessed.out, "güell"));

  const Output given =
      RunTransquendra("dump --codepage 850 " + corpus + "dbase_f5.dbf");
  EXPECT_EQ(given.status, 0);
  EXPECT_EQ(given.err, "");
  EXPECT_TRUE(Has(given.out, "güell"));
  EXPECT_TRUE(Has(given.out, "baix penedès"));

  // Windows text in a table that names no code page reads as it is, quietly.
  testing_support::TempDir folder("tqv-dump");
  const std::string path = folder.Write(
      "windows.dbf",
      OneColumnTable('C', 12, 0, {"Pe\xF1\xEDscola", "Vila-real"}, 0x00));
  const Output windows = RunTransquendra("dump " + path);
  EXPECT_EQ(windows.err, "");
  EXPECT_EQ(windows.out, "VALOR\r\nPeñíscola\r\nVila-real\r\n");
}

}  // namespace
