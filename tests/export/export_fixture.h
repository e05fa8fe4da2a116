#pragma once

// What the export tests share: a drive C in a temporary folder with the
// working copy "C:\QTEMP\VALENCIA", administration tables written byte by
// byte (so the tests do not lean on the engine to make their inputs), a
// scripted user interface and a transfer context, and a reader for the
// intermediate tables.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/drive_mapping.h"
#include "shell/platform_setup.h"
#include "shell/transfer_context.h"
#include "support/dbf_bytes.h"
#include "support/faulty_file_system.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"
#include "tables/files.h"
#include "tables/table.h"

namespace export_testing {

using testing_support::Column;
using testing_support::DbfBytes;
using testing_support::Row;
using Record = std::map<std::string, std::string>;  // field name -> AsString

// The administration tables with the fields the export reads.
inline const std::vector<Column> kAsignat = {{"CODASIG", 'C', 10},
                                             {"LITRESV", 'C', 12},
                                             {"VLITEASIG", 'C', 60},
                                             {"CLITEASIG", 'C', 60},
                                             {"HORSEMTE", 'C', 3}};
inline const std::vector<Column> kOcupa = {
    {"OCUPA", 'C', 10}, {"VLITERAL", 'C', 40}, {"CLITERAL", 'C', 40}};
inline const std::vector<Column> kProfesor = {{"FBAJA", 'D', 8},
                                              {"APENOMPROF", 'C', 100},
                                              {"DNI", 'N', 10},
                                              {"DEPARTA", 'C', 50}};
inline const std::vector<Column> kAulas = {{"CODAULA", 'C', 12},
                                           {"LITAULA", 'C', 90}};
inline const std::vector<Column> kGrupos = {{"CODGRUP", 'C', 12},
                                            {"TURNO", 'C', 2},
                                            {"LITEGRUP", 'C', 90},
                                            {"DNI", 'C', 12}};
inline const std::vector<Column> kAlumnos = {{"CODIGO", 'C', 24},
                                             {"APENOM", 'C', 50},
                                             {"CODGRUP", 'C', 10},
                                             {"CODCUR", 'C', 4},
                                             {"REPITE", 'N', 1}};
inline const std::vector<Column> kAsigalum = {{"CODIGO", 'C', 12},
                                              {"CODASIG", 'C', 12}};
inline const std::vector<Column> kHorgrup = {
    {"CODGRUP", 'C', 12}, {"CODASIG", 'C', 12}, {"DNI", 'N', 10}};

class ExportFixture : public testing::Test {
 protected:
  void SetUp() override {
    platform::SetDriveCOverride(drive_.path().string());
    tables::SetDecimalSeparator('.');
    std::filesystem::create_directories(drive_.path() / "QTEMP" / "VALENCIA");
  }
  void TearDown() override {
    tables::SetDecimalSeparator('.');
    platform::SetDriveCOverride("");
  }

  // Writes the working copy's table `name` ("asignat").
  void WriteSource(const std::string& name, const std::vector<Column>& columns,
                   const std::vector<Row>& rows) {
    drive_.Write("QTEMP/VALENCIA/" + name + ".dbf", DbfBytes(columns, rows));
  }
  // Writes a table of the exchange folder ("PROFT"), as an earlier step would.
  void WriteExchange(const std::string& name,
                     const std::vector<Column>& columns,
                     const std::vector<Row>& rows) {
    drive_.Write("QTEMP/" + name + ".DBF", DbfBytes(columns, rows));
  }

  // Every row of the intermediate table `name` ("PROFT"), in stored order.
  std::vector<Record> ReadTable(const std::string& name) {
    tables::Table table(testing_support::DriveC());
    table.SetTableName("C:\\QTEMP\\" + name + ".DBF");
    table.Open();
    std::vector<Record> records;
    for (table.First(); !table.Eof(); table.Next()) {
      Record record;
      for (int i = 0; i < table.FieldCount(); ++i) {
        record[table.FieldAt(i).Name()] = table.FieldAt(i).AsString();
      }
      records.push_back(std::move(record));
    }
    return records;
  }
  // One field of every row of the table `name`.
  std::vector<std::string> Values(const std::string& name,
                                  const std::string& field) {
    std::vector<std::string> values;
    for (const Record& record : ReadTable(name))
      values.push_back(record.at(field));
    return values;
  }
  // The field names of the table `name`, in order; text fields with their
  // width ("COD C10"). The column types of the other logical types are the
  // engine's.
  std::vector<std::string> Layout(const std::string& name) {
    tables::Table table(testing_support::DriveC());
    table.SetTableName("C:\\QTEMP\\" + name + ".DBF");
    table.Open();
    std::vector<std::string> layout;
    for (int i = 0; i < table.FieldCount(); ++i) {
      tables::Field field = table.FieldAt(i);
      layout.push_back(field.TypeLetter() == 'C'
                           ? field.Name() + " C" + std::to_string(field.Size())
                           : field.Name());
    }
    return layout;
  }

  testing_support::TempDir drive_{"tqv-export"};
  testing_support::ScriptedUi ui_;
  shell::TransferContext context_{&ui_};
};

}  // namespace export_testing
