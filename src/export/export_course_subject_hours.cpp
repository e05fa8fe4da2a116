// Step 5: ASIGCURT, one row per ASIGVALT row in ascending CODVALEN order.

#include "export/export_run.h"
#include "export/intermediate_table.h"

namespace exporting {

void ExportCourseSubjectHours(shell::TransferContext& context) {
  DeleteIntermediateFiles(context.files(), "ASIGCURT");
  auto asigcurt = CreateIntermediate(
      context.files(), "ASIGCURT",
      {Text("NIVEL", 5), Text("CURSO", 3), Text("ASIG", 10), Float("HORAS")});
  auto asigvalt = OpenIntermediate(context.files(), "ASIGVALT", "CODVALEN");
  for (asigvalt->First(); !asigvalt->Eof(); asigvalt->Next()) {
    asigcurt->Append();
    asigcurt->FieldByName("NIVEL").SetAsString(
        asigvalt->FieldByName("NIVEL").AsString());
    asigcurt->FieldByName("CURSO").SetAsString(
        asigvalt->FieldByName("CURSO").AsString());
    asigcurt->FieldByName("ASIG").SetAsString(
        asigvalt->FieldByName("COD").AsString());
    asigcurt->FieldByName("HORAS").SetAsFloat(
        asigvalt->FieldByName("NHORAS").AsFloat());
    asigcurt->Post();
  }
  // Closed here, so that a write that fails stops the run.
  asigcurt->Close();
}

}  // namespace exporting
