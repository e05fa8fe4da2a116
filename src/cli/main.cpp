// transquendra: the export and import runs without a window, and a table dump.
#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "cli/help_text.h"

namespace {

// The exit status of a command that was called wrongly.
constexpr int kUsageStatus = 2;

int Print(std::FILE* stream, const std::string& text, int status) {
  std::fputs(text.c_str(), stream);
  return status;
}

int RunCommand(const std::string& command, const cli::Args& args) {
  if (command == "dump") return cli::RunDump(args);
  if (command == "export") return cli::RunExport(args);
  if (command == "import") return cli::RunImport(args);
  if (command == "restore") return cli::RunRestore(args);
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc >= 2 ? argv[1] : "";
  const cli::Args args(argv + (argc >= 2 ? 2 : 1), argv + argc);
  if (cli::IsHelpWord(command)) return Print(stdout, cli::ProgramHelpText(), 0);
  if (command == "--version") return Print(stdout, cli::VersionText(), 0);
  const std::string help = cli::CommandHelpText(command);
  if (help.empty()) {
    if (!command.empty())
      std::fprintf(stderr, "transquendra: orden desconocida: %s\n",
                   command.c_str());
    return Print(stderr, cli::UsageText(), kUsageStatus);
  }
  for (const std::string& arg : args) {
    if (cli::IsHelpWord(arg)) return Print(stdout, help, 0);
  }
  const int status = RunCommand(command, args);
  if (status == kUsageStatus)
    std::fputs(cli::CommandUsageText(command).c_str(), stderr);
  return status;
}
