#pragma once

// Runs `action` and returns the text of the TableError it throws ("" when it
// throws none), so tests can compare the user's exact Spanish message.

#include <string>

#include "tables/table_error.h"

namespace testing_support {

template <typename Action>
std::string ErrorOf(Action action) {
  try {
    action();
  } catch (const tables::TableError& error) {
    return error.what();
  }
  return "";
}

}  // namespace testing_support
