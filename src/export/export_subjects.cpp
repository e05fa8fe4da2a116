// Step 1: ASIGVALT (one row per administration subject) and ASIGNOMT (one
// row per distinct timetabling code, then one per occupation).

#include "export/export_gaps.h"
#include "export/export_run.h"
#include "export/export_text.h"
#include "export/intermediate_table.h"
#include "tables/files.h"

namespace exporting {
namespace {

// Not a code any subject can have once stored: the distinct-code pass starts
// from it, so a first code equal to it is left out.
constexpr char kNoPreviousCode[] = "@#$";

bool Castilian(const shell::TransferContext& context) {
  return context.language_text == "CASTELLANO";
}

const std::vector<tables::FieldDef>& SubjectFields() {
  static const std::vector<tables::FieldDef> fields = {
      Text("COD", 10),      Text("CODLARGO", 10), Text("NOMBRE", 80),
      Text("CODVALEN", 10), Float("NHORAS"),      Text("NIVEL", 5),
      Text("CURSO", 3)};
  return fields;
}

void CopySubjects(shell::TransferContext& context, tables::Table& asigvalt) {
  OpenSource asignat(context.wwTableAsignat);
  const char decimal_separator = tables::DecimalSeparator();
  for (; !asignat->Eof(); asignat->Next()) {
    const std::string litresv = asignat->FieldByName("Litresv").AsString();
    const std::string codasig = asignat->FieldByName("Codasig").AsString();
    const std::string name =
        asignat->FieldByName(Castilian(context) ? "Cliteasig" : "Vliteasig")
            .AsString();
    const std::string horsemte = asignat->FieldByName("Horsemte").AsString();
    const double hours = WeeklyHours(horsemte, decimal_separator);
    shell::RunReport& report = context.report;
    NoteHours(report, horsemte, hours, *asignat, codasig);
    NoteIfCut(report, litresv, 10, "ASIGVALT.COD", *asignat, codasig);
    NoteIfCut(report, name, 80, "ASIGVALT.NOMBRE", *asignat, codasig);
    NoteIfCut(report, codasig, 10, "ASIGVALT.CODVALEN", *asignat, codasig);
    asigvalt.Append();
    asigvalt.FieldByName("COD").SetAsString(litresv);
    asigvalt.FieldByName("CODLARGO").SetAsString(litresv);
    asigvalt.FieldByName("NOMBRE").SetAsString(name);
    asigvalt.FieldByName("CODVALEN").SetAsString(codasig);
    asigvalt.FieldByName("NHORAS").SetAsFloat(hours);
    const CodeParts parts = SplitCode(codasig);
    asigvalt.FieldByName("NIVEL").SetAsString(parts.level);
    asigvalt.FieldByName("CURSO").SetAsString(parts.course);
    asigvalt.Post();
  }
}

// A subject whose name ASIGNOMT does not carry, behind another with its COD
// (or the first, when its COD is the starting marker).
void NoteSharedCode(shell::RunReport& report, tables::Table& asigvalt,
                    const std::string& code) {
  report.Add(kSubjectSharesCode, 0,
             asigvalt.FieldByName("CODVALEN").AsString() + " " +
                 asigvalt.FieldByName("NOMBRE").AsString(),
             "COD " + Quoted(code) + ": su nombre no pasa a ASIGNOMT");
}

// One ASIGNOMT row per distinct COD, in the order of the index "COD"; of the
// subjects sharing a code, the first in that order gives the row.
void CopyDistinctCodes(platform::FileSystem& files, tables::Table& asignomt,
                       shell::RunReport& report) {
  auto asigvalt = OpenIntermediate(files, "ASIGVALT", "COD");
  asigvalt->First();
  std::string previous = kNoPreviousCode;
  for (; !asigvalt->Eof(); asigvalt->Next()) {
    std::string code = asigvalt->FieldByName("COD").AsString();
    if (code == previous) {
      NoteSharedCode(report, *asigvalt, code);
      continue;
    }
    previous = code;
    asignomt.Append();
    asignomt.FieldByName("COD").SetAsString(code);
    asignomt.FieldByName("CODLARGO")
        .SetAsString(asigvalt->FieldByName("CODLARGO").AsString());
    asignomt.FieldByName("NOMBRE").SetAsString(
        asigvalt->FieldByName("NOMBRE").AsString());
    asignomt.FieldByName("ESTAREA").SetAsBoolean(false);
    asignomt.Post();
  }
}

void CopyOccupations(shell::TransferContext& context, tables::Table& asignomt) {
  OpenSource ocupa(context.wwTableOCUPA);
  for (; !ocupa->Eof(); ocupa->Next()) {
    const std::string code = "*" + ocupa->FieldByName("OCUPA").AsString();
    NoteIfCut(context.report, code, 10, "ASIGNOMT.COD", *ocupa, code);
    asignomt.Append();
    asignomt.FieldByName("COD").SetAsString(code);
    asignomt.FieldByName("CODLARGO").SetAsString(code);
    asignomt.FieldByName("NOMBRE").SetAsString(
        ocupa->FieldByName(Castilian(context) ? "CLITERAL" : "VLITERAL")
            .AsString());
    asignomt.FieldByName("ESTAREA").SetAsBoolean(true);
    asignomt.Post();
  }
}

}  // namespace

void ExportSubjects(shell::TransferContext& context) {
  // ASIGVALT's own files are not deleted first: creating it replaces them.
  DeleteIntermediateFiles(context.files(), "ASIGNOMT");
  auto asigvalt = CreateIntermediate(context.files(), "ASIGVALT",
                                     SubjectFields(), {"COD", "CODVALEN"});
  auto asignomt = CreateIntermediate(context.files(), "ASIGNOMT",
                                     {Text("COD", 10), Text("CODLARGO", 10),
                                      Text("NOMBRE", 80), Logical("ESTAREA")});
  CopySubjects(context, *asigvalt);
  asigvalt->Close();  // writing its index
  CopyDistinctCodes(context.files(), *asignomt, context.report);
  CopyOccupations(context, *asignomt);
  asignomt->Close();
}

}  // namespace exporting
