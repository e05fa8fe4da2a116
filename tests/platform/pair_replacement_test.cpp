#include "platform/pair_replacement.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "support/temp_dir.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

class PairReplacementTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_.Write("a.dbf", "old a");
    dir_.Write("b.dbf", "old b");
  }
  // Stages "new a" and "new b" and writes the journal naming them, as a run
  // killed right after it would leave them.
  void LeaveJournal() {
    StagedFile a(dir_.File("a.dbf")), b(dir_.File("b.dbf"));
    ASSERT_EQ(a.Stage("new a"), 0);
    ASSERT_EQ(b.Stage("new b"), 0);
    a_temp_ = a.temp_path();
    b_temp_ = b.temp_path();
    dir_.Write("journal", "TransQuendraValencia sustitucion 1\n" +
                              a.destination() + "\t" + a_temp_ + "\n" +
                              b.destination() + "\t" + b_temp_ + "\nfin\n");
    a.KeepForRecovery();
    b.KeepForRecovery();
  }

  testing_support::TempDir dir_{"tqv-pair"};
  std::string a_temp_, b_temp_;
};

TEST_F(PairReplacementTest, ReplacesBothAndRemovesTheJournal) {
  StagedFile a(dir_.File("a.dbf")), b(dir_.File("b.dbf"));
  ASSERT_EQ(a.Stage("new a"), 0);
  ASSERT_EQ(b.Stage("new b"), 0);
  ASSERT_EQ(ReplaceTogether({&a, &b}, dir_.File("journal")), 0);
  EXPECT_EQ(dir_.Read("a.dbf"), "new a");
  EXPECT_EQ(dir_.Read("b.dbf"), "new b");
  EXPECT_FALSE(fs::exists(dir_.File("journal")));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_.path()),
                          fs::directory_iterator()),
            2);
}

TEST_F(PairReplacementTest, TheNextStartCompletesWhatAKillLeft) {
  struct Case {
    const char* name;
    std::function<void()> before;  // what the killed run had done
    int code;
    const char* a;
    const char* b;
    bool journal_stays;
  };
  const Case cases[] = {
      {"killed before any rename", [] {}, 0, "new a", "new b", false},
      {"killed between the renames",
       [this] { fs::rename(a_temp_, dir_.File("a.dbf")); }, 0, "new a", "new b",
       false},
      {"killed before removing the journal",
       [this] {
         fs::rename(a_temp_, dir_.File("a.dbf"));
         fs::rename(b_temp_, dir_.File("b.dbf"));
       },
       0, "new a", "new b", false},
      {"a journal cut short",
       [this] {
         dir_.Write("journal", "TransQuendraValencia sustitucion 1\n");
       },
       13, "old a", "old b", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    dir_.Write("a.dbf", "old a");
    dir_.Write("b.dbf", "old b");
    LeaveJournal();
    c.before();
    const CompletedReplacement done = CompleteReplacement(dir_.File("journal"));
    EXPECT_TRUE(done.found);
    EXPECT_EQ(done.code, c.code);
    EXPECT_EQ(dir_.Read("a.dbf"), c.a);
    EXPECT_EQ(dir_.Read("b.dbf"), c.b);
    EXPECT_EQ(fs::exists(dir_.File("journal")), c.journal_stays);
    fs::remove(dir_.File("journal"));
    fs::remove(a_temp_);
    fs::remove(b_temp_);
  }
  EXPECT_FALSE(CompleteReplacement(dir_.File("journal")).found);
}

}  // namespace
}  // namespace platform
