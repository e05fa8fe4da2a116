// Step 3: AULAT, one row per room, in the stored order of aulas.

#include "export/export_gaps.h"
#include "export/export_run.h"
#include "export/export_text.h"
#include "export/intermediate_table.h"

namespace exporting {
namespace {

// The import stores a room only as a whole number of at most 3 characters.
void NoteRoom(shell::RunReport& report, tables::Table& aulas,
              const std::string& code, const std::string& name) {
  NoteIfCut(report, code, 10, "AULAT.ABREV", aulas, code);
  NoteIfCut(report, name, 80, "AULAT.NOMBRE", aulas, code);
  if (WholeNumber(code) && Trim(code).size() < 4) return;
  report.Add(kRoomNotReturned, aulas.RecNo(), code + " " + name,
             "código " + Quoted(code) +
                 ": el horario importado no llevará "
                 "esta aula");
}

}  // namespace

void ExportRooms(shell::TransferContext& context) {
  DeleteIntermediateFiles(context.files(), "AULAT");
  auto aulat = CreateIntermediate(context.files(), "AULAT",
                                  {Text("ABREV", 10), Text("NOMBRE", 80),
                                   Text("EDIFICIO", 1), Integer("MAXALUM")});
  OpenSource aulas(context.wwTableAulas);
  for (; !aulas->Eof(); aulas->Next()) {
    const std::string code = aulas->FieldByName("Codaula").AsString();
    const std::string name = aulas->FieldByName("Litaula").AsString();
    NoteRoom(context.report, *aulas, code, name);
    aulat->Append();
    aulat->FieldByName("ABREV").SetAsString(code);
    aulat->FieldByName("NOMBRE").SetAsString(name);
    aulat->FieldByName("EDIFICIO").SetAsString("1");
    aulat->FieldByName("MAXALUM").SetAsInteger(0);
    aulat->Post();
  }
  aulat->Close();
}

}  // namespace exporting
