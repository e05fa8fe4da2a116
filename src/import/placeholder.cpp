// The import run; see import_run.h once it exists.
