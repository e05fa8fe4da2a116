// Step 3: AULAT, one row per room, in the stored order of aulas.

#include "export/export_run.h"
#include "export/intermediate_table.h"

namespace exporting {

void ExportRooms(shell::TransferContext& context) {
  DeleteIntermediateFiles("AULAT");
  auto aulat =
      CreateIntermediate("AULAT", {Text("ABREV", 10), Text("NOMBRE", 80),
                                   Text("EDIFICIO", 1), Integer("MAXALUM")});
  OpenSource aulas(context.wwTableAulas);
  for (; !aulas->Eof(); aulas->Next()) {
    aulat->Append();
    aulat->FieldByName("ABREV").SetAsString(
        aulas->FieldByName("Codaula").AsString());
    aulat->FieldByName("NOMBRE").SetAsString(
        aulas->FieldByName("Litaula").AsString());
    aulat->FieldByName("EDIFICIO").SetAsString("1");
    aulat->FieldByName("MAXALUM").SetAsInteger(0);
    aulat->Post();
  }
}

}  // namespace exporting
