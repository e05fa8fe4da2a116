#pragma once

// Helpers shared by the tests that compare our engine with other dBase
// readers: running the Python tool (tests/interop/
// dbf_tool.py) and ogrinfo, parsing what they print, and comparing one
// field of our engine with one value they reported.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "tables/field.h"

namespace interop {

namespace fs = std::filesystem;

inline std::string ShellQuote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'')
      quoted += "'\\''";
    else
      quoted += c;
  }
  return quoted + "'";
}

struct CommandResult {
  int status = -1;
  std::string output;
};

inline CommandResult RunCommand(const std::string& command) {
  CommandResult result;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return result;
  char buffer[65536];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
    result.output.append(buffer, n);
  result.status = pclose(pipe);
  return result;
}

inline std::string ToolPath() {
  return std::string(TQV_SOURCE_DIR) + "/tests/interop/dbf_tool.py";
}

// Runs dbf_tool.py with one command and one path. Python's error output is
// kept apart so that it can be shown when the tool fails.
inline CommandResult RunTool(const std::string& command,
                             const std::string& path) {
  return RunCommand("/usr/bin/python3 " + ShellQuote(ToolPath()) + " " +
                    command + " " + ShellQuote(path) + " 2>&1");
}

// One value as another reader reported it. Kinds: 'S' text, 'N' number,
// 'D' days since 1899-12-30, 'L' logical ("1"/"0"), 'E' empty or null,
// 'X' not compared.
struct Value {
  char kind = 'E';
  std::string text;
};
struct FieldValue {
  std::string field;
  Value value;
};
using Record = std::vector<FieldValue>;
struct Dump {
  std::string table;  // from "T" lines, when the tool printed them
  std::vector<Record> records;
};

inline std::string Unescape(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    char c = text[++i];
    out += c == 'n' ? '\n' : c == 'r' ? '\r' : c == 't' ? '\t' : c;
  }
  return out;
}

inline std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    size_t tab = line.find('\t', start);
    parts.push_back(line.substr(start, tab - start));
    if (tab == std::string::npos) break;
    start = tab + 1;
  }
  return parts;
}

// Parses the tool's output into one Dump per "T" line (or a single Dump
// when there are none).
inline std::vector<Dump> ParseDumps(const std::string& output) {
  std::vector<Dump> dumps;
  std::istringstream lines(output);
  std::string line;
  while (std::getline(lines, line)) {
    std::vector<std::string> parts = SplitTabs(line);
    if (parts[0] == "T" && parts.size() == 2) {
      dumps.push_back(Dump{parts[1], {}});
    } else if (parts[0] == "R") {
      if (dumps.empty()) dumps.emplace_back();
      dumps.back().records.emplace_back();
    } else if (parts[0] == "F" && parts.size() == 4 && !dumps.empty() &&
               !dumps.back().records.empty()) {
      dumps.back().records.back().push_back(
          FieldValue{parts[1], Value{parts[2][0], Unescape(parts[3])}});
    } else {
      ADD_FAILURE() << "unexpected line from the Python tool: " << line;
    }
  }
  return dumps;
}

// Expects our field to read as the other reader's value.
inline void ExpectFieldEquals(const tables::Field& field, const Value& value,
                              const std::string& where) {
  SCOPED_TRACE(where + " field " + field.Name());
  switch (value.kind) {
    case 'S':
      EXPECT_EQ(field.AsString(), value.text);
      break;
    case 'N': {
      double expected = std::stod(value.text);
      EXPECT_NEAR(field.AsFloat(), expected,
                  std::max(1e-9, std::fabs(expected) * 1e-12));
      EXPECT_EQ(field.AsString(), value.text);
      EXPECT_FALSE(field.IsNull());
      break;
    }
    case 'D':
      EXPECT_NEAR(field.AsDateTime(), std::stod(value.text), 1e-6);
      break;
    case 'L':
      EXPECT_EQ(field.AsBoolean(), value.text == "1");
      break;
    case 'E':
      EXPECT_EQ(field.AsString(), "");
      EXPECT_TRUE(field.IsNull());
      if (field.TypeLetter() == 'D') {
        EXPECT_EQ(field.AsDateTime(), 0.0);
      }
      break;
    default:
      (void)field.AsString();  // must not fail, value not compared
      break;
  }
}

}  // namespace interop
