#pragma once

// What `transquendra` says about itself: the usage lines, the help of the
// program and of each command, and the version.

#include <string>
#include <string_view>

namespace cli {

// True for the words that ask for help: "--help" and "-h".
bool IsHelpWord(std::string_view word);

// Every command's usage line, for a mistyped command.
std::string UsageText();
// The usage line of `command` and where to read more, for a mistyped option.
std::string CommandUsageText(std::string_view command);
// What the program does, its commands and their options.
std::string ProgramHelpText();
// What `command` does and each of its options; empty for an unknown command.
std::string CommandHelpText(std::string_view command);
// "transquendra (TransQuendraValencia) 0.1.0".
std::string VersionText();

}  // namespace cli
