#include "shell/transfer_lock.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/drive_mapping.h"
#include "platform/folder_lock.h"
#include "shell/platform_setup.h"
#include "shell/transfer_error.h"
#include "shell/working_copy.h"
#include "support/faulty_file_system.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace shell {
namespace {

namespace fs = std::filesystem;

TEST(TransferErrorTest, Texts) {
  struct Case {
    TransferError error;
    const char* text;
  };
  const Case cases[] = {
      {TransferError::Busy("C:\\QTEMP"),
       "Hay otra transferencia en curso en C:\\QTEMP (una exportación, una "
       "importación o una restauración).\nEspere a que termine y vuelva a "
       "intentarlo"},
      {TransferError::LockFailed("C:\\QTEMP", "Acceso al archivo denegado"),
       "No se puede reservar la carpeta C:\\QTEMP para la transferencia: "
       "Acceso al archivo denegado.\nCompruebe que la carpeta existe y que "
       "puede escribir en ella"},
      {TransferError::UnknownCentre("460123456", {"46012345", "46099871"},
                                    "C:\\GC\\centro.dbf"),
       "El centro '460123456' no está en la tabla C:\\GC\\centro.dbf.\n"
       "Indique uno de estos: 46012345, 46099871"},
      {TransferError::UnknownCentre("1", {}, "C:\\GC\\centro.dbf"),
       "La tabla de centros C:\\GC\\centro.dbf no tiene ningún centro.\n"
       "Compruebe la carpeta de ZELMAR indicada"},
  };
  for (const Case& c : cases) EXPECT_EQ(std::string(c.error.what()), c.text);
}

class TransferLockTest : public testing::Test {
 protected:
  void SetUp() override {
    platform::SetDriveCOverride(drive_.path().string());
    fs::create_directories(drive_.path() / "GC");
    fs::create_directories(drive_.path() / "QTEMP" / "VALENCIA");
  }
  void TearDown() override { platform::SetDriveCOverride(""); }

  std::string Exchange() const { return (drive_.path() / "QTEMP").string(); }

  testing_support::TempDir drive_{"tqv-transfer-lock"};
};

TEST_F(TransferLockTest, ARefreshWhileAnotherTransferRunsTouchesNothing) {
  drive_.Write("GC/grupos.dbf", "new");
  drive_.Write("QTEMP/VALENCIA/grupos.dbf", "old");
  platform::FolderLock other;  // another program's transfer
  ASSERT_EQ(other.TryLock(Exchange()), 0);
  testing_support::ScriptedUi ui;
  TransferContext context(&ui);
  context.admin_folder = "C:\\GC";
  try {
    RefreshWorkingCopy(context);
    FAIL() << "the refresh ran beside another transfer";
  } catch (const TransferError& error) {
    EXPECT_EQ(std::string(error.what()),
              TransferError::Busy("C:\\QTEMP").what());
  }
  EXPECT_EQ(drive_.Read("QTEMP/VALENCIA/grupos.dbf"), "old");
  other.Unlock();
  RefreshWorkingCopy(context);
  EXPECT_EQ(drive_.Read("QTEMP/VALENCIA/grupos.dbf"), "new");
}

TEST_F(TransferLockTest, ATransferInsideAnotherSharesItsLock) {
  testing_support::ScriptedUi ui;
  TransferContext context(&ui);
  context.admin_folder = "C:\\GC";
  platform::FolderLock other;
  {
    const TransferLock outer(ui, testing_support::DriveC());
    RefreshWorkingCopy(context);  // takes the lock again inside
    EXPECT_TRUE(TransferLock::HeldHere());
    EXPECT_EQ(other.TryLock(Exchange()), platform::kLockHeldCode);
  }
  EXPECT_FALSE(TransferLock::HeldHere());
  EXPECT_EQ(other.TryLock(Exchange()), 0);
}

TEST_F(TransferLockTest, AnInterruptedReplacementIsCompletedFirst) {
  // A run killed between its two renames: horgrup is new, horprof's new
  // file still waits beside it, and the journal names both.
  const fs::path gc = drive_.path() / "GC";
  const std::string backup = "QTEMP/COPIAS/20261209-101500/";
  fs::create_directories(drive_.path() / backup);
  drive_.Write("GC/horgrup.dbf", "new grup");
  drive_.Write("GC/horprof.dbf", "old prof");
  drive_.Write("GC/horprof.dbf.tqv7.tmp", "new prof");
  drive_.Write(backup + "SUSTITUCION.PENDIENTE",
               "TransQuendraValencia sustitucion 1\n" +
                   (gc / "horgrup.dbf").string() + "\t" +
                   (gc / "horgrup.dbf.tqv7.tmp").string() + "\n" +
                   (gc / "horprof.dbf").string() + "\t" +
                   (gc / "horprof.dbf.tqv7.tmp").string() + "\nfin\n");
  const std::string completed =
      "Una importación anterior se interrumpió mientras sustituía "
      "horgrup.dbf y horprof.dbf en C:\\GC.\nSe ha completado ahora: los "
      "archivos son los nuevos, y los anteriores están en "
      "C:\\QTEMP\\COPIAS\\20261209-101500.";
  for (int start = 0; start < 2; ++start) {
    testing_support::ScriptedUi ui;
    { const TransferLock lock(ui, testing_support::DriveC()); }
    // Told once; the second start finds nothing to do.
    EXPECT_EQ(ui.Messages(), start == 0 ? std::vector<std::string>{completed}
                                        : std::vector<std::string>{});
  }
  EXPECT_EQ(drive_.Read("GC/horprof.dbf"), "new prof");
  EXPECT_FALSE(fs::exists(drive_.path() / backup / "SUSTITUCION.PENDIENTE"));
}

TEST_F(TransferLockTest, AReplacementThatCannotBeCompletedStopsTheTransfer) {
  const std::string backup = "QTEMP/COPIAS/20261209-101500/";
  fs::create_directories(drive_.path() / backup);
  // The new file waits in a folder that is gone.
  const fs::path gone = drive_.path() / "GONE";
  drive_.Write(backup + "SUSTITUCION.PENDIENTE",
               "TransQuendraValencia sustitucion 1\n" +
                   (gone / "horgrup.dbf").string() + "\t" +
                   (drive_.path() / backup / "new.tmp").string() + "\nfin\n");
  drive_.Write(backup + "new.tmp", "new grup");
  testing_support::ScriptedUi ui;
  try {
    const TransferLock lock(ui, testing_support::DriveC());
    FAIL() << "the transfer went on";
  } catch (const TransferError& error) {
    const std::string text = error.what();
    const std::string head =
        "Una importación anterior se interrumpió mientras sustituía "
        "horgrup.dbf en C:\\GONE, y no se ha podido completar: ";
    const std::string tail =
        ".\nCierre ZELMAR y cualquier programa que use esos archivos, y "
        "vuelva a intentarlo. Los archivos anteriores están en "
        "C:\\QTEMP\\COPIAS\\20261209-101500";
#ifdef _WIN32
    // The system's own reason differs between Windows and Wine.
    EXPECT_EQ(text.substr(0, head.size()), head);
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
#else
    EXPECT_EQ(text, head + "No se encuentra el archivo" + tail);
#endif
  }
  // The lock is free again, and the journal waits for the next try.
  platform::FolderLock other;
  EXPECT_EQ(other.TryLock(Exchange()), 0);
  EXPECT_TRUE(fs::exists(drive_.path() / backup / "SUSTITUCION.PENDIENTE"));
}

TEST_F(TransferLockTest, AMissingExchangeFolderIsMade) {
  fs::remove_all(drive_.path() / "QTEMP");
  {
    testing_support::ScriptedUi ui;
    const TransferLock lock(ui, testing_support::DriveC());
    EXPECT_TRUE(fs::is_directory(drive_.path() / "QTEMP"));
  }
}

}  // namespace
}  // namespace shell
