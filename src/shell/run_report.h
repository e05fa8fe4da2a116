#pragma once

// What a run left out, cut to a field's width or filled in by a rule of its
// own, gathered by the run's steps at the moment they decide it. The steps
// only add cases; the run turns them into its report page at the end.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace shell {

struct RunCase {
  int kind;          // one of the run's own kinds (exporting::Gap, ...)
  int64_t row;       // record number in the table it came from; 0 for none
  std::string who;   // the student, subject, teacher, group or lesson
  std::string what;  // what the run did with it
};

class RunReport {
 public:
  // Off, Add keeps nothing and the run writes no page (the benchmarks
  // measure the run both ways).
  void SetGathering(bool on) { gathering_ = on; }
  bool Gathering() const { return gathering_; }

  void Add(int kind, int64_t row, std::string who, std::string what) {
    if (gathering_)
      cases_.push_back({kind, row, std::move(who), std::move(what)});
  }
  const std::vector<RunCase>& cases() const { return cases_; }

  // Forgets the cases and the page of an earlier run.
  void Clear();

  // True when `value` (UTF-8) has more than `width` characters, that is,
  // when a text field of that width stores it cut.
  static bool TooLong(std::string_view value, int width) {
    return value.size() > static_cast<size_t>(width) &&
           CharCount(value) > width;
  }
  static int CharCount(std::string_view text);

  // Set by the run when it writes its page: rows per table, the page's
  // native path, or why the page could not be written.
  std::vector<std::pair<std::string, int64_t>> table_rows;
  std::string page_path;
  std::string page_error;

 private:
  bool gathering_ = true;
  std::vector<RunCase> cases_;
};

}  // namespace shell
