// The folders of src/ are layers whose includes point down only, and the
// programs and jobs see the engine through its public headers alone. A
// newcomer who reaches into the engine's insides (the codec, the registry of
// shared files, the record buffer) from a job fails here rather than in a
// review. It reads the source tree, so it runs on the build machine only.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The layer of each folder: a file may include its own folder and lower
// layers, never a higher one, and never a sibling on its own layer.
const std::map<std::string, int> kLayers = {
    {"platform", 0}, {"tables", 1}, {"shell", 2}, {"export", 3},
    {"import", 3},   {"cli", 4},    {"app", 4},
};

// What the rest of the system may include from the engine.
const std::set<std::string> kEnginePublic = {
    "tables/table.h",       "tables/field.h", "tables/field_def.h",
    "tables/table_error.h", "tables/files.h", "tables/header_counts.h",
    "tables/number_text.h",
};

struct Include {
  std::string file;  // relative to src/
  std::string target;
};

std::vector<Include> ProjectIncludes() {
  const fs::path src = fs::path(TQV_SOURCE_DIR) / "src";
  const std::regex project_include(
      R"re(^\s*#\s*include\s+"([a-z_]+/[^"]+)")re");
  std::vector<Include> found;
  for (const auto& entry : fs::recursive_directory_iterator(src)) {
    const std::string extension = entry.path().extension().string();
    if (extension != ".h" && extension != ".cpp") continue;
    std::ifstream in(entry.path());
    std::string line;
    std::smatch match;
    while (std::getline(in, line)) {
      if (std::regex_search(line, match, project_include)) {
        found.push_back(
            {fs::relative(entry.path(), src).generic_string(), match[1].str()});
      }
    }
  }
  return found;
}

std::string FolderOf(const std::string& path) {
  return path.substr(0, path.find('/'));
}

TEST(LayeringTest, IncludesPointDownAndTheEngineShowsOnlyItsPublicFace) {
  const std::vector<Include> includes = ProjectIncludes();
  ASSERT_GT(includes.size(), 200u) << "the source tree was not found";
  for (const Include& include : includes) {
    const std::string from = FolderOf(include.file);
    const std::string to = FolderOf(include.target);
    ASSERT_TRUE(kLayers.count(from)) << "a folder without a layer: " << from;
    ASSERT_TRUE(kLayers.count(to))
        << include.file << " includes " << include.target;
    if (from == to) continue;
    EXPECT_LT(kLayers.at(to), kLayers.at(from))
        << include.file << " includes " << include.target
        << ", which is not below it";
    if (to == "tables") {
      EXPECT_TRUE(kEnginePublic.count(include.target))
          << include.file << " includes the engine's own " << include.target;
    }
  }
}

TEST(LayeringTest, TheEngineReachesTheSystemOnlyThroughItsSeam) {
  const std::set<std::string> allowed = {"platform/file_system.h",
                                         "platform/large_pages.h",
                                         "platform/letter_case.h"};
  for (const Include& include : ProjectIncludes()) {
    if (FolderOf(include.file) == "tables" &&
        FolderOf(include.target) == "platform") {
      EXPECT_TRUE(allowed.count(include.target))
          << include.file << " includes " << include.target;
    }
  }
}

}  // namespace
