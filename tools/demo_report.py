#!/usr/bin/python3
"""Prints what the demo's round trip produced, read with dbfread.

    /usr/bin/python3 tools/demo_report.py export EXCHANGE_DIR
    /usr/bin/python3 tools/demo_report.py week EXCHANGE_DIR ADMIN_DIR [GROUP]
    /usr/bin/python3 tools/demo_report.py missing-dni EXCHANGE_DIR

"export" lists the nine intermediate tables with their row counts and first
rows; "week" draws one group's timetable from the administration's horgrup
as a grid of periods by days, with the subject's short code and the
teacher's abbreviation in every cell. "missing-dni" prints a --dni option
with a made-up number for every teacher of PROFT without identity number, as
the office would type them into the teacher identity window.
"""

import os
import sys

from dbfread import DBF

INTERMEDIATE = ["ASIGVALT", "ASIGNOMT", "PROFT", "AULAT", "ALUMNOST",
                "ASIGCURT", "GRUPOST", "CURSOST", "ASIGT"]
DAYS = ["Lunes", "Martes", "Miércoles", "Jueves", "Viernes"]


def find(folder, name):
    """The file called `name` in `folder`, whatever its letter case."""
    for entry in os.listdir(folder):
        if entry.lower() == name.lower():
            return os.path.join(folder, entry)
    raise SystemExit(f"No se encuentra {name} en {folder}")


def table(folder, name):
    return DBF(find(folder, name), encoding="cp1252", char_decode_errors="replace")


def show_export(exchange):
    print(f"{'Tabla':<10} {'Filas':>8}")
    for name in INTERMEDIATE:
        print(f"{name:<10} {len(table(exchange, name + '.DBF')):>8}")
    for name in INTERMEDIATE:
        t = table(exchange, name + ".DBF")
        fields = t.field_names[:6]
        print(f"\n{name} ({', '.join(fields)}{', ...' if len(t.field_names) > 6 else ''})")
        for i, record in enumerate(t):
            if i == 3:
                break
            print("  " + " | ".join(str(record[f]).strip() for f in fields))


def show_week(exchange, admin, group):
    abbreviations = {r["DNI"]: r["ABREV"].strip() for r in table(exchange, "PROFT.DBF")}
    short_codes = {r["CODVALEN"].strip(): r["COD"].strip() for r in table(exchange, "ASIGVALT.DBF")}
    lessons = [r for r in table(admin, "horgrup.dbf")]
    if group is None:
        group = next((str(r["CODGRUP"]).strip() for r in lessons), None)
        if group is None:
            print("horgrup no tiene filas")
            return
    grid = {}
    periods = set()
    for r in lessons:
        if str(r["CODGRUP"]).strip() != group:
            continue
        cell = f"{short_codes.get(str(r['CODASIG']).strip(), str(r['CODASIG']).strip())}/" \
               f"{abbreviations.get(r['DNI'], '?')}"
        grid[(r["NUMHORA"], r["DIASEM"])] = cell
        periods.add(r["NUMHORA"])
    print(f"Horario del grupo {group} ({len(grid)} sesiones), asignatura/profesor:")
    print(f"{'Hora':>4} " + " ".join(f"{d:<12}" for d in DAYS))
    for p in sorted(periods):
        print(f"{p:>4} " + " ".join(f"{grid.get((p, d + 1), '-'):<12}" for d in range(len(DAYS))))


def show_missing_dni(exchange):
    made_up = 99000001
    for r in table(exchange, "PROFT.DBF"):
        if not r["DNI"]:
            print("--dni")
            print(f"{r['ABREV'].strip()}={made_up}")
            made_up += 1


def main():
    if len(sys.argv) >= 3 and sys.argv[1] == "export":
        show_export(sys.argv[2])
    elif len(sys.argv) >= 3 and sys.argv[1] == "missing-dni":
        show_missing_dni(sys.argv[2])
    elif len(sys.argv) >= 4 and sys.argv[1] == "week":
        show_week(sys.argv[2], sys.argv[3], sys.argv[4] if len(sys.argv) > 4 else None)
    else:
        raise SystemExit(__doc__)


if __name__ == "__main__":
    main()
