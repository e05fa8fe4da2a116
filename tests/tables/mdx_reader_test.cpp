#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "tables/mdx_layout.h"
#include "tables/production_index.h"
#include "tables/table_error.h"

namespace tables {
namespace {

using mdx::GetU32;
using mdx::PutU32;

const std::vector<IndexedField> kFields = {{"COD", 'C', 10, 0},
                                           {"HORA", 'I', 4, 0}};

// A file with a text tag COD and a numeric tag HORA over `rows` rows; keys
// repeat so there are duplicates.
std::string WriteSample(const testing_support::TempDir& dir, int rows) {
  IndexOrder cod("COD", "COD", KeyKind::kCharacter, 10);
  IndexOrder hora("HORA", "HORA", KeyKind::kNumeric, 4);
  for (int r = 1; r <= rows; ++r) {
    cod.Set(static_cast<uint32_t>(r), {"K" + std::to_string((r * 37) % 50), 0});
    hora.Set(static_cast<uint32_t>(r), {"", static_cast<double>(r % 7 - 3)});
  }
  const std::string path = dir.File("T.MDX");
  WriteProductionIndex(platform::NativeFileSystem::Local(), path, "T", kFields,
                       {cod, hora});
  return path;
}

std::string ReadError(const std::string& path,
                      const std::vector<IndexedField>& fields,
                      uint32_t record_count) {
  try {
    ReadProductionIndex(platform::NativeFileSystem::Local(), path, fields,
                        record_count);
  } catch (const TableError& error) {
    return error.what();
  }
  return "no error";
}

TEST(MdxReaderTest, ReadsBackWhatWasWritten) {
  for (int rows : {0, 1, 5, 200, 5000}) {
    testing_support::TempDir dir("mdx_reader");
    IndexOrder cod("COD", "COD", KeyKind::kCharacter, 10);
    IndexOrder hora("HORA", "HORA", KeyKind::kNumeric, 4);
    for (int r = 1; r <= rows; ++r) {
      cod.Set(static_cast<uint32_t>(r), {"\xC9" + std::to_string(r % 13), 0});
      hora.Set(static_cast<uint32_t>(r), {"", (r % 9 - 4) * 2.5});
    }
    const std::string path = dir.File("T.MDX");
    WriteProductionIndex(platform::NativeFileSystem::Local(), path, "T",
                         kFields, {cod, hora});
    const std::vector<IndexOrder> read =
        ReadProductionIndex(platform::NativeFileSystem::Local(), path, kFields,
                            static_cast<uint32_t>(rows));
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[0].tag(), "COD");
    EXPECT_EQ(read[0].kind(), KeyKind::kCharacter);
    EXPECT_EQ(read[1].field(), "HORA");
    EXPECT_EQ(read[1].kind(), KeyKind::kNumeric);
    for (size_t i = 0; i < static_cast<size_t>(rows); ++i) {
      ASSERT_EQ(read[0].RecnoAt(i), cod.RecnoAt(i)) << rows << " " << i;
      ASSERT_EQ(read[0].KeyAt(i).text, cod.KeyAt(i).text);
      ASSERT_EQ(read[1].RecnoAt(i), hora.RecnoAt(i)) << rows << " " << i;
      ASSERT_EQ(read[1].KeyAt(i).number, hora.KeyAt(i).number);
    }
  }
}

TEST(MdxReaderTest, WriterFillsHeaderCountsAndTagThreads) {
  testing_support::TempDir dir("mdx_reader");
  std::vector<IndexOrder> tags;
  std::vector<IndexedField> fields;
  for (const char* name : {"COD", "ABC", "ZED", "BBB"}) {
    tags.emplace_back(name, "COD", KeyKind::kCharacter, 10);
    fields.push_back({"COD", 'C', 10, 0});
  }
  const std::string path = dir.File("T.MDX");
  WriteProductionIndex(platform::NativeFileSystem::Local(), path, "T", fields,
                       tags);
  const std::string file = dir.Read("T.MDX");
  EXPECT_EQ(GetU32(file, mdx::kPageCountAt), file.size() / mdx::kPageSize);
  EXPECT_EQ(mdx::GetU16(file, mdx::kTagsInUseAt), 4u);
  // Threads (left, right, parent) of the name tree rooted at the first
  // slot: ABC left of COD, ZED right of it, BBB right of ABC.
  auto threads = [&](int slot) {
    const size_t at = mdx::kTagTableOffset + slot * mdx::kTagEntryLength;
    return std::vector<int>{file[at + 16], file[at + 17], file[at + 18]};
  };
  EXPECT_EQ(threads(0), (std::vector<int>{2, 3, 0}));
  EXPECT_EQ(threads(1), (std::vector<int>{0, 4, 1}));
  EXPECT_EQ(threads(2), (std::vector<int>{0, 0, 1}));
  EXPECT_EQ(threads(3), (std::vector<int>{0, 0, 2}));
}

// Page numbers of the sample: header pages 0-3, COD's tag header at 4 and
// its leaves from page 6; with 200 rows there are four leaves (6, 8, 10,
// 12) and the root at 14.
size_t TagHeader() { return 4 * 512; }
size_t Block(uint32_t page) { return page * 512; }

struct Damage {
  const char* name;
  int rows;
  std::function<void(std::string&)> damage;
  uint32_t record_count;
  std::vector<IndexedField> fields;
  std::string expected;  // after "El archivo de índice '<path>' "
};

class MdxDamageTest : public testing::TestWithParam<Damage> {};

TEST_P(MdxDamageTest, FailsWithAClearMessageNamingTheFile) {
  testing_support::TempDir dir("mdx_damage");
  const std::string path = WriteSample(dir, GetParam().rows);
  std::string bytes = dir.Read("T.MDX");
  GetParam().damage(bytes);
  dir.Write("T.MDX", bytes);
  EXPECT_EQ(ReadError(path, GetParam().fields, GetParam().record_count),
            "El archivo de índice '" + path + "' " + GetParam().expected);
}

const char kCorrupt[] = "está dañado (";

INSTANTIATE_TEST_SUITE_P(
    Cases, MdxDamageTest,
    testing::Values(
        Damage{"Truncated", 5, [](std::string& b) { b.resize(1000); }, 5,
               kFields,
               std::string(kCorrupt) + "el archivo es demasiado corto)"},
        Damage{"BlockSize", 5, [](std::string& b) { b[22] = 7; }, 5, kFields,
               std::string(kCorrupt) + "tamaño de bloque no válido)"},
        Damage{"TagCount", 5, [](std::string& b) { b[28] = 60; }, 5, kFields,
               std::string(kCorrupt) + "demasiadas etiquetas)"},
        Damage{"TagHeaderPastEnd", 5,
               [](std::string& b) { PutU32(b, 544, 9999); }, 5, kFields,
               std::string(kCorrupt) +
                   "la etiqueta 'COD' apunta fuera del archivo)"},
        Damage{"RootPastEnd", 5,
               [](std::string& b) { PutU32(b, TagHeader(), 9999); }, 5, kFields,
               std::string(kCorrupt) +
                   "bloque fuera del archivo en la etiqueta 'COD')"},
        Damage{"RootInHeader", 5,
               [](std::string& b) { PutU32(b, TagHeader(), 2); }, 5, kFields,
               std::string(kCorrupt) +
                   "bloque fuera del archivo en la etiqueta 'COD')"},
        Damage{
            "CycleToRoot", 200,
            [](std::string& b) { PutU32(b, Block(14) + 8 + 16, 14); }, 200,
            kFields,
            std::string(kCorrupt) + "ciclo en el árbol en la etiqueta 'COD')"},
        Damage{
            "SharedLeaf", 200,
            [](std::string& b) { PutU32(b, Block(14) + 8 + 16, 6); }, 200,
            kFields,
            std::string(kCorrupt) + "ciclo en el árbol en la etiqueta 'COD')"},
        Damage{"TooManyKeys", 5,
               [](std::string& b) { PutU32(b, Block(6), 64); }, 5, kFields,
               std::string(kCorrupt) +
                   "bloque con demasiadas claves en la etiqueta 'COD')"},
        Damage{"RecordTwice", 5,
               [](std::string& b) {
                 PutU32(b, Block(6) + 8 + 16, GetU32(b, Block(6) + 8));
               },
               5, kFields,
               std::string(kCorrupt) +
                   "la etiqueta 'COD' cita dos veces el registro 3)"},
        Damage{"KeysOutOfOrder", 5,
               [](std::string& b) { b[Block(6) + 8 + 4] = 'Z'; }, 5, kFields,
               std::string(kCorrupt) +
                   "claves fuera de orden en la etiqueta 'COD')"},
        Damage{"BadDigit", 5,
               [](std::string& b) {
                 // HORA's tag header follows COD's tree: pages 8, leaf 10.
                 b[Block(10) + 8 + 4 + 2] = static_cast<char>(0xAA);
               },
               5, kFields,
               std::string(kCorrupt) +
                   "clave numérica no válida en la etiqueta 'HORA')"},
        Damage{"RecordPastTable", 5, [](std::string&) {}, 4, kFields,
               "no corresponde a su tabla (la etiqueta 'COD' cita el "
               "registro 5 y la tabla tiene 4)"},
        Damage{"RecordsMissing", 5, [](std::string&) {}, 6, kFields,
               "no corresponde a su tabla (a la etiqueta 'COD' le faltan "
               "registros)"},
        Damage{"FieldMissing",
               5,
               [](std::string&) {},
               5,
               {{"HORA", 'N', 4, 0}},
               "no corresponde a su tabla (la etiqueta 'COD' usa el campo "
               "'COD', que la tabla no tiene)"},
        Damage{"WidthDiffers",
               5,
               [](std::string&) {},
               5,
               {{"COD", 'C', 8, 0}, {"HORA", 'N', 4, 0}},
               "no corresponde a su tabla (la clave de la etiqueta 'COD' no "
               "es la del campo 'COD')"},
        Damage{"TypeDiffers",
               5,
               [](std::string&) {},
               5,
               {{"COD", 'C', 10, 0}, {"HORA", 'C', 4, 0}},
               "no corresponde a su tabla (la clave de la etiqueta 'HORA' no "
               "es la del campo 'HORA')"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MdxReaderTest, MissingFileCannotBeRead) {
  testing_support::TempDir dir("mdx_reader");
  const std::string path = dir.File("NONE.MDX");
  EXPECT_EQ(ReadError(path, kFields, 0),
            "No se puede leer el archivo de índice '" + path + "'");
}

// Tags whose key this engine cannot evaluate are left out, not refused:
// a key expression, a unique tag.
TEST(MdxReaderTest, LeavesOutTagsItCannotKeep) {
  testing_support::TempDir dir("mdx_reader");
  const std::string path = WriteSample(dir, 5);
  std::string bytes = dir.Read("T.MDX");
  bytes.replace(TagHeader() + 24, 11, std::string("UPPER(COD)\0", 11));
  const size_t hora_header = Block(8);
  bytes[hora_header + 8] |= 0x40;
  dir.Write("T.MDX", bytes);
  EXPECT_TRUE(
      ReadProductionIndex(platform::NativeFileSystem::Local(), path, kFields, 5)
          .empty());
}

// Damages the bytes of a small file one at a time (as leveldb's log tests
// do): every byte of the file header and tag table, and every fifth byte
// after. Each read either succeeds with ordered tags or fails with a
// TableError; it never crashes or loops.
TEST(MdxReaderTest, DamagedBytesAreReadOrRefused) {
  testing_support::TempDir dir("mdx_reader");
  const std::string path = WriteSample(dir, 70);
  const std::string good = dir.Read("T.MDX");
  int refused = 0;
  for (size_t at = 0; at < good.size(); ++at) {
    if (at >= 608 && at % 5 != 0) continue;
    std::string bytes = good;
    bytes[at] = static_cast<char>(bytes[at] ^ 0x5A);
    dir.Write("T.MDX", bytes);
    try {
      for (const IndexOrder& order : ReadProductionIndex(
               platform::NativeFileSystem::Local(), path, kFields, 70)) {
        for (size_t i = 1; i < order.size(); ++i) {
          ASSERT_LE(order.Compare(order.KeyAt(i - 1), order.KeyAt(i)), 0);
        }
      }
    } catch (const TableError&) {
      ++refused;
    }
  }
  EXPECT_GT(refused, 0);
}

TEST(MdxWriterTest, ReplacesTheFileAndLeavesNoTemporary) {
  testing_support::TempDir dir("mdx_writer");
  dir.Write("T.MDX", "old");
  const std::string path = WriteSample(dir, 3);
  EXPECT_NE(dir.Read("T.MDX"), "old");
  EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));

  const std::string missing = dir.File("nowhere/T.MDX");
  try {
    WriteProductionIndex(platform::NativeFileSystem::Local(), missing, "T", {},
                         {});
    FAIL() << "no error";
  } catch (const TableError& error) {
    EXPECT_EQ(std::string(error.what()),
              "No se puede escribir el archivo de índice '" + missing + "'");
  }
}

TEST(MdxWriterTest, RefusesKeysItCannotWrite) {
  testing_support::TempDir dir("mdx_writer");
  const std::string path = dir.File("T.MDX");
  IndexOrder when("CUANDO", "FECHA", KeyKind::kCharacter, 8);
  try {
    WriteProductionIndex(platform::NativeFileSystem::Local(), path, "T",
                         {{"FECHA", 'D', 8, 0}}, {when});
    FAIL() << "no error";
  } catch (const TableError& error) {
    EXPECT_EQ(std::string(error.what()),
              "El índice '" + path +
                  "' no admite la etiqueta 'CUANDO' (campo de tipo D)");
  }
  EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
}  // namespace tables
