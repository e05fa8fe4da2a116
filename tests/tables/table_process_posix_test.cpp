// Behaviour between processes: exclusive opens, and what a process that
// dies halfway through writing leaves behind.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include "support/table_error_text.h"
#include "support/temp_dir.h"
#include "tables/table.h"
#include "tables/table_error.h"

namespace tables {
namespace {

using testing_support::TempDir;

using testing_support::ErrorOf;

// A child process that opens `path` (exclusively or not), tells the parent
// through a pipe, and keeps the table open until it is killed.
class Holder {
 public:
  Holder(const std::string& path, bool exclusive) {
    int ready[2];
    if (pipe(ready) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      close(ready[0]);
      char status = 'E';
      Table table;
      try {
        table.SetTableName(path);
        table.SetExclusive(exclusive);
        table.Open();
        status = 'R';
      } catch (...) {
      }
      (void)!write(ready[1], &status, 1);
      for (;;) pause();
    }
    close(ready[1]);
    char status = 0;
    (void)!read(ready[0], &status, 1);
    close(ready[0]);
    ready_ = status == 'R';
  }
  ~Holder() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  bool ready() const { return ready_; }

 private:
  pid_t pid_ = -1;
  bool ready_ = false;
};

class TableProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Table table;
    table.SetDatabaseName(dir_.path().string());
    table.SetTableName("PROFT");
    table.AddFieldDef("ABREV", FieldType::kText, 10);
    table.AddFieldDef("NOTA", FieldType::kText, 200);
    table.AddIndexDef("ABREV", "ABREV");
    table.CreateTable();
    path_ = table.FilePath();
  }

  std::string OpenError(bool exclusive) {
    Table table;
    table.SetTableName(path_);
    table.SetExclusive(exclusive);
    return ErrorOf([&] { table.Open(); });
  }

  TempDir dir_;
  std::string path_;
};

TEST_F(TableProcessTest, ExclusiveOpenKeepsOtherProgramsOut) {
  const std::string locked =
      "La tabla '" + path_ + "' está en uso por otro programa";
  {
    Holder holder(path_, /*exclusive=*/true);
    ASSERT_TRUE(holder.ready());
    EXPECT_EQ(OpenError(false), locked);
    EXPECT_EQ(OpenError(true), locked);
  }
  EXPECT_EQ(OpenError(true), "");
  {
    Holder holder(path_, /*exclusive=*/false);
    ASSERT_TRUE(holder.ready());
    EXPECT_EQ(OpenError(false), "");
    EXPECT_EQ(OpenError(true), locked);
  }
}

// Shared opens read side by side, but the first change takes the file
// for one process: two writers would overwrite each other's records.
TEST_F(TableProcessTest, WritingNeedsTheFileAlone) {
  // The reader is forked first, so it shares no open table with us.
  auto reader = std::make_unique<Holder>(path_, /*exclusive=*/false);
  ASSERT_TRUE(reader->ready());
  Table table;
  table.SetTableName(path_);
  table.Open();
  table.Append();
  table.FieldByName("ABREV").SetAsString("ANA");
  EXPECT_EQ(ErrorOf([&] { table.Post(); }),
            "La tabla '" + path_ + "' está en uso por otro programa");
  reader.reset();
  table.Post();  // the reader is gone
  EXPECT_EQ(table.RecordCount(), 1);
  table.Close();
}

// A lock tied to the process (fcntl) would vanish when this process closes
// any other descriptor of the file; ours stays.
TEST_F(TableProcessTest, ClosingAnotherDescriptorKeepsTheLock) {
  // The child is forked first, so it shares no open table with us.
  int go[2];
  ASSERT_EQ(pipe(go), 0);
  pid_t child = fork();
  if (child == 0) {
    close(go[1]);
    char byte;
    (void)!read(go[0], &byte, 1);
    Table other;
    other.SetTableName(path_);
    try {
      other.Open();
    } catch (const TableError&) {
      _exit(7);
    }
    _exit(0);
  }
  close(go[0]);
  Table table;
  table.SetTableName(path_);
  table.SetExclusive(true);
  table.Open();
  { std::ifstream(path_).get(); }  // opens and closes another descriptor
  (void)!write(go[1], "x", 1);
  close(go[1]);
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 7);
}

uint32_t Le32(const std::string& b, size_t at) {
  return static_cast<unsigned char>(b[at]) |
         static_cast<unsigned char>(b[at + 1]) << 8 |
         static_cast<unsigned char>(b[at + 2]) << 16 |
         static_cast<uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

// A writer killed at random moments: the header never claims a record that
// is not wholly on disk, the index flag is down, and every record read is
// one the writer wrote completely.
TEST_F(TableProcessTest, KilledWriterLeavesAConsistentTable) {
  for (int round = 0; round < 6; ++round) {
    const auto size_before = std::filesystem::file_size(path_);
    pid_t child = fork();
    if (child == 0) {
      Table table;
      table.SetTableName(path_);
      table.Open();
      for (int64_t i = 0;; ++i) {
        table.Append();
        table.FieldByName("ABREV").SetAsString("R" + std::to_string(i % 997));
        table.FieldByName("NOTA").SetAsString(std::string(200, 'x'));
        table.Post();
      }
    }
    // Killed once it has added a number of records that differs from round
    // to round, however slow the machine is.
    const auto grown_by = 211u * (1 + 40 * round);
    const auto give_up =
        std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::filesystem::file_size(path_) < size_before + grown_by &&
           std::chrono::steady_clock::now() < give_up) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);

    std::ifstream in(path_, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)),
                      std::istreambuf_iterator<char>());
    ASSERT_GE(bytes.size(), 32u);
    const uint32_t count = Le32(bytes, 4);
    const uint32_t header_length = static_cast<unsigned char>(bytes[8]) |
                                   static_cast<unsigned char>(bytes[9]) << 8;
    const uint32_t record_length = static_cast<unsigned char>(bytes[10]) |
                                   static_cast<unsigned char>(bytes[11]) << 8;
    EXPECT_LE(header_length + uint64_t{count} * record_length, bytes.size())
        << "round " << round;
    EXPECT_EQ(bytes[28], '\0') << "index flag left up after a crash";

    Table table;
    table.SetTableName(path_);
    table.Open();
    int64_t seen = 0;
    for (table.First(); !table.Eof(); table.Next(), ++seen) {
      ASSERT_EQ(table.FieldByName("NOTA").AsString(), std::string(200, 'x'));
      ASSERT_EQ(table.FieldByName("ABREV").AsString()[0], 'R');
    }
    EXPECT_GE(seen, count);
  }
}

// A table's records are read whole when it opens. Another program that
// cuts the file short meanwhile neither kills this one nor changes what it
// reads.
TEST_F(TableProcessTest, FileCutShortWhileReadKeepsWhatWasRead) {
  {
    Table table;
    table.SetTableName(path_);
    table.Open();
    for (int i = 0; i < 2000; ++i) {  // about 420 KB: many pages
      table.Append();
      table.FieldByName("ABREV").SetAsString("P" + std::to_string(i));
      table.Post();
    }
    table.Close();
  }
  Table reader;
  reader.SetTableName(path_);
  reader.SetReadOnly(true);
  reader.Open();
  EXPECT_EQ(reader.FieldByName("ABREV").AsString(), "P0");
  ASSERT_EQ(truncate(path_.c_str(), 4096), 0);  // the other program
  int seen = 0;
  const std::string error = ErrorOf([&] {
    for (; !reader.Eof(); reader.Next(), ++seen) {
      ASSERT_EQ(reader.FieldByName("ABREV").AsString(),
                "P" + std::to_string(seen));
    }
  });
  EXPECT_EQ(error, "");
  EXPECT_EQ(seen, 2000);
  EXPECT_EQ(ErrorOf([&] { reader.Close(); }), "");
}

TEST_F(TableProcessTest, ChangedTableReadsItsOwnCopy) {
  Table table;
  table.SetTableName(path_);
  table.Open();
  for (int i = 0; i < 3; ++i) {
    table.Append();
    table.FieldByName("ABREV").SetAsString("P" + std::to_string(i));
    table.Post();
  }
  table.Close();
  table.Open();  // mapped again
  table.First();
  table.Edit();  // the first change copies the records
  table.FieldByName("ABREV").SetAsString("NUEVO");
  table.Post();
  ASSERT_EQ(truncate(path_.c_str(), 0), 0);  // the mapping loses its pages
  std::string seen;
  for (table.First(); !table.Eof(); table.Next())
    seen += table.FieldByName("ABREV").AsString() + ";";
  EXPECT_EQ(seen, "NUEVO;P1;P2;");
}

}  // namespace
}  // namespace tables
