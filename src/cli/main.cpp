// transquendra: the export and import runs without a window, and a table dump.
#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "uso: transquendra dump|export|import ...\n");
    return 2;
  }
  std::fprintf(stderr, "transquendra: orden desconocida '%s'\n", argv[1]);
  return 2;
}
