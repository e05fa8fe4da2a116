#include "import/timetable_restore.h"

#include <gtest/gtest.h>

#include "import/import_fixture.h"
#include "import/import_run.h"
#include "platform/folder_lock.h"
#include "shell/transfer_error.h"
#include "support/faulty_file_system.h"

namespace import_testing {
namespace {

namespace fs = std::filesystem;
using importing::RestoreError;
using importing::RestoreTimetables;

class RestoreTest : public ImportFixture {
 protected:
  // An administration folder with timetables of its own, then an import.
  void Import() {
    WriteInputs({{"1", "2", "*12", "GLJ", "ESO", "1", "MAT", "1ESOA", "12"}});
    old_horgrup_ = WriteTable(
        "GC/horgrup.dbf", kHorgrup,
        {{"3", "4", "10:00", "10:55", kCentre, "1", "2ESOB", "2ESO01", "7"}});
    old_horprof_ =
        WriteTable("GC/horprof.dbf", kHorprof,
                   {{"3", "4", "10:00", "10:55", "12", kCentre, "1"}});
    importing::ImportTimetables(context_);
    ASSERT_NE(drive_.Read("GC/horgrup.dbf"), old_horgrup_);
  }

  // Writes `relative` under C:\QTEMP\COPIAS, making its folder.
  void WriteBackup(const std::string& relative, const std::string& bytes) {
    fs::create_directories(
        fs::path(Native("QTEMP/COPIAS/" + relative)).parent_path());
    drive_.Write("QTEMP/COPIAS/" + relative, bytes);
  }

  std::string old_horgrup_, old_horprof_;
};

TEST_F(RestoreTest, AfterAnImportGivesTheFilesBackByteForByte) {
  Import();
  const std::string new_horgrup = drive_.Read("GC/horgrup.dbf");
  const std::string new_horprof = drive_.Read("GC/horprof.dbf");
  std::string replaced_into;
  const importing::Backup restored = RestoreTimetables(
      ui_, testing_support::DriveC(), "C:\\GC", "", &replaced_into);
  EXPECT_EQ(drive_.Read("GC/horgrup.dbf"), old_horgrup_);
  EXPECT_EQ(drive_.Read("GC/horprof.dbf"), old_horprof_);
  EXPECT_EQ(restored.horgrup_rows, 1);
  // What it replaced is kept, and is now the latest backup: restoring
  // that one undoes the restore.
  const auto backups = importing::ListBackups(testing_support::DriveC());
  ASSERT_EQ(backups.size(), 2u);
  EXPECT_EQ(backups[0].stamp, restored.stamp);
  EXPECT_EQ(backups[1].folder, replaced_into);
  RestoreTimetables(ui_, testing_support::DriveC(), "C:\\GC", "", nullptr);
  EXPECT_EQ(drive_.Read("GC/horgrup.dbf"), new_horgrup);
  EXPECT_EQ(drive_.Read("GC/horprof.dbf"), new_horprof);
  // By name, the first backup again.
  RestoreTimetables(ui_, testing_support::DriveC(), "C:\\GC", restored.stamp,
                    nullptr);
  EXPECT_EQ(drive_.Read("GC/horgrup.dbf"), old_horgrup_);
}

TEST_F(RestoreTest, ListsBackupsInTimeOrderWithTheirRows) {
  for (const char* stamp : {"20261209-101500-10", "20261209-101500",
                            "20261209-101500-2", "20261208-235959"}) {
    WriteBackup(std::string(stamp) + "/horgrup.dbf",
                DbfBytes(kHorgrup, {{"1"}, {"2"}}));
    WriteBackup(std::string(stamp) + "/horprof.dbf",
                DbfBytes(kHorprof, {{"1"}}));
  }
  fs::remove(Native("QTEMP/COPIAS/20261209-101500-2/horprof.dbf"));
  std::vector<std::string> listed;
  for (const importing::Backup& backup :
       importing::ListBackups(testing_support::DriveC())) {
    listed.push_back(backup.stamp + " " + backup.when + " " +
                     std::to_string(backup.horgrup_rows) + " " +
                     std::to_string(backup.horprof_rows));
  }
  EXPECT_EQ(listed, (std::vector<std::string>{
                        "20261208-235959 08/12/2026 23:59:59 2 1",
                        "20261209-101500 09/12/2026 10:15:00 2 1",
                        "20261209-101500-2 09/12/2026 10:15:00 2 -1",
                        "20261209-101500-10 09/12/2026 10:15:00 2 1"}));
}

// A restore that cannot be made says why and changes nothing.
TEST_F(RestoreTest, RefusalsLeaveTheFolderUntouched) {
  WriteInputs({});
  const std::string horgrup = drive_.Read("GC/horgrup.dbf");
  const struct {
    const char* backup_file;  // written under QTEMP/COPIAS, or nullptr
    const char* stamp;
    std::string text;
  } kCases[] = {
      {nullptr, "", RestoreError::NoBackups().what()},
      {"20261209-101500/horgrup.dbf", "20261209-101500",
       "La copia de seguridad '20261209-101500' no tiene horgrup.dbf y "
       "horprof.dbf: no se restaura"},
      {"20261209-101500/horgrup.dbf", "otra",
       "No existe la copia de seguridad 'otra' en C:\\QTEMP\\COPIAS "
       "(transquendra restore --list las muestra)"},
  };
  EXPECT_EQ(std::string(RestoreError::NoBackups().what()),
            "No hay ninguna copia de seguridad de los horarios en "
            "C:\\QTEMP\\COPIAS");
  for (const auto& c : kCases) {
    if (c.backup_file) WriteBackup(c.backup_file, DbfBytes(kHorgrup, {}));
    try {
      RestoreTimetables(ui_, testing_support::DriveC(), "C:\\GC", c.stamp,
                        nullptr);
      ADD_FAILURE() << c.text;
    } catch (const RestoreError& error) {
      EXPECT_EQ(error.what(), c.text);
    }
    EXPECT_EQ(drive_.Read("GC/horgrup.dbf"), horgrup);
  }
}

TEST_F(RestoreTest, RefusedWhileAnotherTransferRuns) {
  Import();
  const std::string imported = drive_.Read("GC/horgrup.dbf");
  platform::FolderLock other;
  ASSERT_EQ(other.TryLock(Native("QTEMP")), 0);
  EXPECT_THROW(
      RestoreTimetables(ui_, testing_support::DriveC(), "C:\\GC", "", nullptr),
      shell::TransferError);
  EXPECT_EQ(drive_.Read("GC/horgrup.dbf"), imported);
}

}  // namespace
}  // namespace import_testing
