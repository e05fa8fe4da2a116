#include "platform/pair_replacement.h"

#include <sstream>

#include "platform/raw_file.h"

namespace platform {
namespace {

constexpr char kJournalHeader[] = "TransQuendraValencia sustitucion 1";
constexpr char kJournalEnd[] = "fin";
constexpr int kInvalidData = 13;  // Windows' ERROR_INVALID_DATA

struct Entry {
  std::string destination;
  std::string staged;
};

// One line per file, "destination<TAB>staged", between a header and an end
// line, so that a journal read whole is told from anything else.
std::string JournalText(const std::vector<StagedFile*>& files) {
  std::string text = std::string(kJournalHeader) + "\n";
  for (const StagedFile* file : files) {
    text += file->destination() + "\t" + file->temp_path() + "\n";
  }
  return text + kJournalEnd + "\n";
}

bool ParseJournal(const std::string& text, std::vector<Entry>* entries) {
  std::istringstream lines(text);
  std::string line;
  if (!std::getline(lines, line) || line != kJournalHeader) return false;
  while (std::getline(lines, line)) {
    if (line == kJournalEnd) return !entries->empty();
    const size_t tab = line.find('\t');
    if (tab == std::string::npos) return false;
    entries->push_back({line.substr(0, tab), line.substr(tab + 1)});
  }
  return false;
}

bool Exists(const std::string& path) {
  RawFile probe;
  return probe.OpenForReading(path) == 0;
}

}  // namespace

int ReplaceTogether(const std::vector<StagedFile*>& files,
                    const std::string& journal_path, FileSystem& file_system) {
  StagedFile journal(journal_path, file_system);
  int code = journal.Stage(JournalText(files));
  if (code == 0) code = journal.Commit();
  if (code != 0) return code;
  // From here the replacement is decided: a kill leaves it to the next
  // start, which completes it.
  for (StagedFile* file : files) {
    code = file->Commit();
    if (code != 0) break;
  }
  if (code == 0) {
    RemoveFileQuietly(journal_path);
    return 0;
  }
  const CompletedReplacement retried =
      CompleteReplacement(journal_path, file_system);
  if (retried.code == 0) return 0;
  for (StagedFile* file : files) file->KeepForRecovery();
  return retried.code;
}

CompletedReplacement CompleteReplacement(const std::string& journal_path,
                                         FileSystem& file_system) {
  CompletedReplacement result;
  RawFile in;
  if (in.OpenForReading(journal_path) != 0) return result;
  result.found = true;
  std::string text;
  result.code = in.ReadAll(&text);
  in.Close();
  if (result.code != 0) return result;
  std::vector<Entry> entries;
  if (!ParseJournal(text, &entries)) {
    result.code = kInvalidData;
    return result;
  }
  for (const Entry& entry : entries) {
    result.destinations.push_back(entry.destination);
    // A staged file that is gone has been renamed already.
    if (result.code == 0 && Exists(entry.staged)) {
      result.code = file_system.RenameOver(entry.staged, entry.destination);
    }
  }
  if (result.code == 0) RemoveFileQuietly(journal_path);
  return result;
}

}  // namespace platform
