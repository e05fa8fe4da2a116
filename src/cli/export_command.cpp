// transquendra export: the export run without a window. The messages the
// window would show go to stderr; the exit status tells whether the run
// completed.
#include <cstdio>
#include <exception>
#include <string>

#include "cli/commands.h"
#include "cli/terminal_ui.h"
#include "export/export_run.h"
#include "shell/platform_setup.h"
#include "shell/transfer_context.h"
#include "shell/transfer_lock.h"
#include "shell/user_interface.h"
#include "shell/working_copy.h"

namespace cli {
namespace {

struct ExportOptions {
  std::string drive_c;
  std::string admin = shell::kDefaultAdminFolder;
  std::string language = "VALENCIÁ";
};

// Reads the options; on a mistake prints it and returns false.
bool ParseOptions(const Args& args, ExportOptions* options) {
  for (size_t i = 0; i < args.size(); i += 2) {
    const std::string& name = args[i];
    if (i + 1 >= args.size()) {
      std::fprintf(stderr, "transquendra export: falta el valor de %s\n",
                   name.c_str());
      return false;
    }
    const std::string& value = args[i + 1];
    if (name == "--drive-c") {
      options->drive_c = value;
    } else if (name == "--admin") {
      options->admin = value;
    } else if (name == "--language") {
      options->language = value;
    } else {
      std::fprintf(stderr, "transquendra export: opción no válida: %s\n",
                   name.c_str());
      return false;
    }
  }
  return true;
}

}  // namespace

int RunExport(const Args& args) {
  ExportOptions options;
  if (!ParseOptions(args, &options)) return 2;
  shell::SetUpPlatform(options.drive_c);

  TerminalUi ui;
  shell::TransferContext context(&ui);
  // A path with a drive letter goes through the drive mapping; any other
  // path is native and passes through it unchanged.
  context.admin_folder = options.admin;
  context.language_text = options.language;
  exporting::ExportResult result;
  try {
    // One lock for the refresh and the run, so that no other transfer
    // slips in between.
    const shell::TransferLock lock(ui, context.files());
    shell::RefreshWorkingCopy(context);
    result = exporting::ExportSchoolData(context);
  } catch (const std::exception& error) {
    PrintReportSummary(context.report);
    ui.ShowError(error.what());
    return 1;
  }
  PrintReportSummary(context.report);
  return result.completed ? 0 : 1;
}

}  // namespace cli
