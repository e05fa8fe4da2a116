// The export run; see export_run.h once it exists.
