#pragma once

// What the import tests share: a drive C in a temporary folder with the
// exchange folder, the working copy and an administration folder "C:\GC";
// tables written byte by byte (so the inputs do not lean on the engine);
// a scripted user interface and a transfer context; readers for results.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "export/export_fixture.h"
#include "platform/drive_mapping.h"
#include "shell/platform_setup.h"
#include "shell/transfer_context.h"
#include "support/faulty_file_system.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"
#include "tables/files.h"
#include "tables/table.h"

namespace import_testing {

using export_testing::Column;
using export_testing::DbfBytes;
using export_testing::Row;

inline const char kCentre[] = "46012345";
inline const char kOtherCentre[] = "46099871";

// The administration's tables as the sample school lays them out.
inline const std::vector<Column> kHorgrup = {
    {"Diasem", 'N', 1},    {"Numhora", 'N', 2},  {"Hordiades", 'C', 5},
    {"Hordiahas", 'C', 5}, {"Codcen", 'C', 8},   {"dni", 'N', 10},
    {"codgrup", 'C', 10},  {"codasig", 'C', 10}, {"CODAULA", 'N', 3}};
inline const std::vector<Column> kHorprof = {
    {"Diasem", 'N', 1}, {"Numhora", 'N', 2}, {"Horad", 'C', 5},
    {"Horah", 'C', 5},  {"Ocupa", 'C', 3},   {"Codcen", 'C', 8},
    {"dni", 'N', 10}};
inline const std::vector<Column> kLhortipo = {{"CODCEN", 'C', 8},
                                              {"Numhora", 'N', 2},
                                              {"Desde", 'C', 8},
                                              {"Hasta", 'C', 8}};
inline const std::vector<Column> kCentro = {{"Codcen", 'C', 8}};
inline const std::vector<Column> kProft = {{"ABREV", 'C', 10},
                                           {"NOMBRE", 'C', 80},
                                           {"EMAIL", 'C', 100},
                                           {"DEPART", 'C', 40},
                                           {"DNI", 'N', 11}};
inline const std::vector<Column> kAsigvalt = {
    {"COD", 'C', 10},      {"CODLARGO", 'C', 10},  {"NOMBRE", 'C', 80},
    {"CODVALEN", 'C', 10}, {"NHORAS", 'N', 10, 4}, {"NIVEL", 'C', 5},
    {"CURSO", 'C', 3}};
inline const std::vector<Column> kSoluc = {
    {"DIA", 'N', 2},   {"HORA", 'N', 2},      {"TAREA", 'C', 10},
    {"PROF", 'C', 10}, {"NIVEL", 'C', 5},     {"CURSO", 'C', 3},
    {"ASIG", 'C', 10}, {"CODGRUPO", 'C', 10}, {"AULA", 'C', 10}};

// One row of a table: every field as the engine reads it as text.
using Values = std::vector<std::string>;

class ImportFixture : public testing::Test {
 protected:
  void SetUp() override {
    platform::SetDriveCOverride(drive_.path().string());
    tables::SetDecimalSeparator('.');
    std::filesystem::create_directories(drive_.path() / "QTEMP" / "VALENCIA");
    std::filesystem::create_directories(drive_.path() / "GC");
    context_.centre_code = kCentre;
  }
  void TearDown() override { platform::SetDriveCOverride(""); }

  // Writes `relative` ("GC/horgrup.dbf") under drive C; returns the bytes.
  std::string WriteTable(const std::string& relative,
                         const std::vector<Column>& columns,
                         const std::vector<Row>& rows) {
    std::string bytes = DbfBytes(columns, rows);
    drive_.Write(relative, bytes);
    return bytes;
  }

  // The standard inputs of a run: PROFT with every DNI, an ASIGVALT, the
  // centre's period times in the working copy's lhortipo, empty
  // administration timetables and the given solution rows.
  void WriteInputs(const std::vector<Row>& soluc) {
    WriteTable("QTEMP/PROFT.DBF", kProft,
               {{"GLJ", "GARCIA LOPEZ, JUAN", "", "MAT", "11111111"},
                {"PA", "PEREZ ANA", "", "VAL", "22222222"}});
    WriteTable("QTEMP/ASIGVALT.DBF", kAsigvalt,
               {{"MAT", "MAT", "Matemàtiques", "1ESO01", "4", "ESO", "1"},
                {"VAL", "VAL", "Valencià", "1ESO02", "3", "ESO", "1"}});
    std::vector<Row> periods;
    for (int p = 1; p <= 6; ++p) {
      const std::string hour = (7 + p < 10 ? "0" : "") + std::to_string(7 + p);
      periods.push_back(
          {kCentre, std::to_string(p), hour + ":00", hour + ":55"});
    }
    WriteTable("QTEMP/VALENCIA/lhortipo.dbf", kLhortipo, periods);
    WriteTable("GC/horgrup.dbf", kHorgrup, {});
    WriteTable("GC/horprof.dbf", kHorprof, {});
    WriteTable("QTEMP/SOLUC.DBF", kSoluc, soluc);
  }

  // Every row of a table (a program path such as "C:\GC\horgrup.dbf"), each
  // field read as text, in stored order.
  static std::vector<Values> ReadRows(const std::string& path) {
    tables::Table table(testing_support::DriveC());
    table.SetTableName(path);
    table.Open();
    std::vector<Values> rows;
    for (table.First(); !table.Eof(); table.Next()) {
      Values row;
      for (int i = 0; i < table.FieldCount(); ++i) {
        row.push_back(table.FieldAt(i).AsString());
      }
      rows.push_back(std::move(row));
    }
    return rows;
  }

  std::string Native(const std::string& relative) const {
    return drive_.File(relative);
  }

  testing_support::TempDir drive_{"tqv-import"};
  testing_support::ScriptedUi ui_;
  shell::TransferContext context_{&ui_};
};

}  // namespace import_testing
