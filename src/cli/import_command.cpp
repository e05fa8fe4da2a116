// transquendra import: the import run without a window. The two control
// windows become the --dni and --period values (and, on a terminal,
// questions asked line by line).
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include <cstdio>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/terminal_ui.h"
#include "import/import_messages.h"
#include "import/import_run.h"
#include "import/period_times.h"
#include "import/teacher_identity.h"
#include "shell/centre_list.h"
#include "shell/platform_setup.h"
#include "shell/transfer_context.h"
#include "shell/transfer_error.h"
#include "shell/transfer_lock.h"
#include "shell/user_interface.h"
#include "shell/working_copy.h"
#include "tables/files.h"
#include "tables/table.h"

namespace cli {
namespace {

struct ImportOptions {
  std::string drive_c;
  std::string admin = shell::kDefaultAdminFolder;
  std::string centre;
  bool centre_given = false;
  std::map<std::string, std::string> dni;  // ABREV -> number as typed
  std::map<int, std::pair<std::string, std::string>> periods;
};

// Reads the options; on a mistake prints it and returns false.
bool ParseOptions(const Args& args, ImportOptions* options) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& name = args[i];
    if (i + 1 >= args.size()) {
      std::fprintf(stderr, "transquendra import: falta el valor de %s\n",
                   name.c_str());
      return false;
    }
    const std::string& value = args[++i];
    const size_t equals = value.find('=');
    if (name == "--drive-c") {
      options->drive_c = value;
    } else if (name == "--admin") {
      options->admin = value;
    } else if (name == "--centre") {
      options->centre = value;
      options->centre_given = true;
    } else if (name == "--dni" && equals != std::string::npos) {
      options->dni[value.substr(0, equals)] = value.substr(equals + 1);
    } else if (name == "--period" && equals != std::string::npos &&
               value.find('-', equals) != std::string::npos) {
      const size_t dash = value.find('-', equals);
      int period = 0;
      try {
        period = std::stoi(value.substr(0, equals));
      } catch (const std::exception&) {
      }
      if (!importing::PeriodTimes::InRange(period)) {
        std::fprintf(stderr,
                     "transquendra import: período fuera de 1 a 20: %s\n",
                     value.c_str());
        return false;
      }
      options->periods[period] = {value.substr(equals + 1, dash - equals - 1),
                                  value.substr(dash + 1)};
    } else {
      std::fprintf(stderr, "transquendra import: opción no válida: %s %s\n",
                   name.c_str(), value.c_str());
      return false;
    }
  }
  return true;
}

bool OnTerminal() {
#ifdef _WIN32
  return _isatty(_fileno(stdin)) && _isatty(_fileno(stderr));
#else
  return isatty(STDIN_FILENO) && isatty(STDERR_FILENO);
#endif
}

// Asks on stderr and reads one line of stdin; false at the end of input.
bool Ask(const std::string& question, std::string* answer) {
  std::fprintf(stderr, "%s", question.c_str());
  std::fflush(stderr);
  return static_cast<bool>(std::getline(std::cin, *answer));
}

// Stores `text` into `field` of the current row as the grid would: on a
// refused value the error is shown and the row's change dropped.
bool StoreField(tables::Table& table, const char* field,
                const std::string& text) {
  table.Edit();
  try {
    table.FieldByName(field).SetAsString(text);
  } catch (const std::exception& error) {
    table.Cancel();
    std::fprintf(stderr, "%s\n", shell::ErrorBoxText(error.what()).c_str());
    return false;
  }
  table.Post();
  return true;
}

class ImportTerminalUi : public TerminalUi {
 public:
  ImportTerminalUi(const ImportOptions& options, platform::FileSystem& files)
      : options_(options), files_(files), interactive_(OnTerminal()) {}

  void ShowTeacherIdentityWindow() override;
  void ShowPeriodTimesWindow() override;

 private:
  const ImportOptions& options_;
  platform::FileSystem& files_;
  bool interactive_;
};

void ImportTerminalUi::ShowTeacherIdentityWindow() {
  tables::Table proft(files_, "wwTableProft");
  proft.SetTableName(importing::kProftPath);
  proft.Open();
  for (proft.First(); !proft.Eof(); proft.Next()) {
    const auto given = options_.dni.find(proft.FieldByName("ABREV").AsString());
    if (given != options_.dni.end()) StoreField(proft, "DNI", given->second);
  }
  if (!interactive_) return;
  for (proft.First(); !proft.Eof(); proft.Next()) {
    while (proft.FieldByName("DNI").AsInteger() == 0) {
      std::string answer;
      const std::string question =
          "D.N.I. de " + proft.FieldByName("ABREV").AsString() + " (" +
          proft.FieldByName("NOMBRE").AsString() + "), vacío para dejarlo: ";
      if (!Ask(question, &answer) || answer.empty()) break;
      StoreField(proft, "DNI", answer);
    }
  }
}

void ImportTerminalUi::ShowPeriodTimesWindow() {
  tables::Table plantilla(files_, "wwTablePlantilla");
  plantilla.SetDatabaseName(importing::kPlantillaFolder);
  plantilla.SetTableName("plantilla");
  plantilla.Open();
  for (plantilla.First(); !plantilla.Eof(); plantilla.Next()) {
    const auto given = options_.periods.find(
        static_cast<int>(plantilla.FieldByName("HORA").AsInteger()));
    if (given == options_.periods.end()) continue;
    StoreField(plantilla, "HORAINI", given->second.first);
    StoreField(plantilla, "HORAFIN", given->second.second);
  }
  if (!interactive_) return;
  for (;;) {
    std::fprintf(stderr, "HORA  INICIO  FINAL\n");
    for (plantilla.First(); !plantilla.Eof(); plantilla.Next()) {
      std::fprintf(stderr, "%4s  %-6s  %-6s\n",
                   plantilla.FieldByName("HORA").AsString().c_str(),
                   plantilla.FieldByName("HORAINI").AsString().c_str(),
                   plantilla.FieldByName("HORAFIN").AsString().c_str());
    }
    std::string answer;
    if (!Ask("Cambio (N=INICIO-FIN), vacío para seguir: ", &answer) ||
        answer.empty()) {
      return;
    }
    ImportOptions change;
    if (!ParseOptions({"--period", answer}, &change)) continue;
    const auto& [period, times] = *change.periods.begin();
    for (plantilla.First(); !plantilla.Eof(); plantilla.Next()) {
      if (plantilla.FieldByName("HORA").AsInteger() == period) {
        StoreField(plantilla, "HORAINI", times.first);
        StoreField(plantilla, "HORAFIN", times.second);
      }
    }
  }
}

// The centre of the run: the one given, when it is a code of the centre
// table as stored there without its trailing blanks, or else the table's
// first. Anything else would keep the centre's old rows as another
// centre's, so it is refused with the codes there are.
std::string ChosenCentre(shell::TransferContext& context,
                         const ImportOptions& options) {
  const std::vector<std::string> codes = shell::ReadCentreCodes(context);
  if (!options.centre_given && !codes.empty()) return codes.front();
  for (const std::string& code : codes) {
    if (code == options.centre) return code;
  }
  throw shell::TransferError::UnknownCentre(
      options.centre, codes, tables::JoinPath(options.admin, "centro.dbf"));
}

}  // namespace

int RunImport(const Args& args) {
  ImportOptions options;
  if (!ParseOptions(args, &options)) return 2;
  shell::SetUpPlatform(options.drive_c);

  platform::NativeFileSystem files(platform::NativeFileSystem::Paths::kDriveC);
  ImportTerminalUi ui(options, files);
  shell::TransferContext context(&ui, &files);
  context.admin_folder = options.admin;
  try {
    // One lock for the refresh and the run, so that no other transfer
    // slips in between.
    const shell::TransferLock lock(ui, files);
    shell::RefreshWorkingCopy(context);
    context.centre_code = ChosenCentre(context, options);
    const importing::ImportResult result = importing::ImportTimetables(context);
    if (!result.completed) return 1;
    std::fprintf(stderr,
                 "Se han importado %lld clases: %lld filas en horprof.dbf y "
                 "%lld en horgrup.dbf.\n",
                 static_cast<long long>(result.lessons),
                 static_cast<long long>(result.lessons),
                 static_cast<long long>(result.group_rows));
    PrintReportSummary(context.report);
  } catch (const std::exception& error) {
    ui.ShowError(error.what());
    return 1;
  }
  return 0;
}

}  // namespace cli
