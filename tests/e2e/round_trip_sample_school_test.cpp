// The whole round trip on the sample school: export, the stand-in
// timetabler, import; the administration's new timetables are then read
// with an independent reader (dbfread) and checked row by row against the
// solution, PROFT, ASIGVALT and lhortipo.
#include <gtest/gtest.h>

#include "e2e/import_e2e_support.h"

namespace import_e2e {
namespace {

// Rebuilds the expected horprof and horgrup from the inputs and compares.
constexpr char kChecker[] = R"PY(
import sys, dbfread
exchange, admin, centre = sys.argv[1:4]
def rows(path):
    return list(dbfread.DBF(path, encoding="cp1252", ignorecase=True))
def find(folder, name):
    import os
    for entry in os.listdir(folder):
        if entry.lower() == name.lower():
            return os.path.join(folder, entry)
    raise SystemExit("missing " + name)
text = lambda v: "" if v is None else str(v)
times = {}
for r in rows(find(admin, "lhortipo.dbf")):
    if text(r["CODCEN"]) == centre and 1 <= (r["NUMHORA"] or 0) <= 20:
        start, end = times.get(r["NUMHORA"], ("", ""))
        times[r["NUMHORA"]] = (text(r["DESDE"]) or start, text(r["HASTA"]) or end)
dni = {}
for r in rows(find(exchange, "PROFT.DBF")):
    dni.setdefault(text(r["ABREV"]), r["DNI"] or 0)
subjects = {}
asig = rows(find(exchange, "ASIGVALT.DBF"))
for r in sorted(asig, key=lambda r: text(r["CODVALEN"]).encode("cp1252")):
    subjects.setdefault((text(r["NIVEL"]), text(r["CURSO"]), text(r["COD"])),
                        text(r["CODVALEN"]))
want_prof, want_grup = [], []
for s in rows(find(exchange, "SOLUC.DBF")):
    if s["DIA"] == 0:
        continue
    start, end = times.get(s["HORA"], ("", "")) if 1 <= s["HORA"] <= 20 else ("", "")
    teacher = dni.get(text(s["PROF"]), 0)
    want_prof.append((s["DIA"], s["HORA"], start, end, text(s["TAREA"])[1:][:3],
                      centre, teacher))
    if text(s["NIVEL"]).strip() and text(s["CURSO"]).strip():
        aula = text(s["AULA"])
        room = int(aula) if aula.strip().lstrip("+-").isdigit() and len(aula.strip()) < 4 else None
        want_grup.append((s["DIA"], s["HORA"], start, end, centre, teacher,
                          text(s["CODGRUPO"]),
                          subjects.get((text(s["NIVEL"]), text(s["CURSO"]), text(s["ASIG"])), ""),
                          room))
got_prof = [(r["DIASEM"], r["NUMHORA"], text(r["HORAD"]), text(r["HORAH"]),
             text(r["OCUPA"]), text(r["CODCEN"]), r["DNI"] or 0)
            for r in rows(find(admin, "horprof.dbf"))]
got_grup = [(r["DIASEM"], r["NUMHORA"], text(r["HORDIADES"]), text(r["HORDIAHAS"]),
             text(r["CODCEN"]), r["DNI"] or 0, text(r["CODGRUP"]),
             text(r["CODASIG"]), r["CODAULA"])
            for r in rows(find(admin, "horgrup.dbf"))]
bad = 0
for name, want, got in (("horprof", want_prof, got_prof), ("horgrup", want_grup, got_grup)):
    if len(want) != len(got):
        print("%s: %d rows, expected %d" % (name, len(got), len(want)))
        bad += 1
    for i, (w, g) in enumerate(zip(want, got)):
        if w != g:
            print("%s row %d: %r, expected %r" % (name, i + 1, g, w))
            bad += 1
            if bad > 10:
                break
print("horprof %d horgrup %d" % (len(got_prof), len(got_grup)))
sys.exit(1 if bad else 0)
)PY";

TEST(RoundTripTest, SampleSchoolComesBackAsTheSolutionSays) {
  SampleSchool school;
  ASSERT_TRUE(school.ok());
  const std::string old_horgrup = ReadFile(school.admin() / "horgrup.dbf");

  const RunResult import = RunProgram(school.ImportCommand());
  ASSERT_EQ(import.status, 0) << import.err;
  EXPECT_NE(import.err.find("Proceso finalizado"), std::string::npos);

  const fs::path checker = school.drive() / "check.py";
  std::ofstream(checker) << kChecker;
  const RunResult check = RunProgram({"/usr/bin/python3", checker.string(),
                                      school.exchange().string(),
                                      school.admin().string(), "46012345"});
  EXPECT_EQ(check.status, 0) << check.err;

  // The old timetable waits in the dated backup folder.
  int backups = 0;
  for (const auto& entry :
       fs::directory_iterator(school.exchange() / "COPIAS")) {
    ++backups;
    EXPECT_EQ(ReadFile(entry.path() / "horgrup.dbf"), old_horgrup);
  }
  EXPECT_EQ(backups, 1);
}

}  // namespace
}  // namespace import_e2e
