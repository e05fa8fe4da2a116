// transquendra: the export and import runs without a window, and a table dump.
#include <cstdio>
#include <string>

#include "cli/commands.h"

int main(int argc, char** argv) {
  const std::string command = argc >= 2 ? argv[1] : "";
  const cli::Args args(argv + (argc >= 2 ? 2 : 1), argv + argc);
  if (command == "dump") return cli::RunDump(args);
  if (command == "export") return cli::RunExport(args);
  if (command == "import") return cli::RunImport(args);
  std::fprintf(stderr,
               "uso: transquendra dump TABLA [--index ETIQUETA]\n"
               "     transquendra export [--drive-c DIR] [--admin CARPETA] "
               "[--language TEXTO]\n"
               "     transquendra import [--drive-c DIR] [--admin CARPETA] "
               "[--centre CODIGO] [--dni ABREV=NUMERO]... "
               "[--period N=INICIO-FIN]...\n");
  return 2;
}
