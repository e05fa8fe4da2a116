// The transfer window TExportarDatos lives here.
