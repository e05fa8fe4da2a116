#!/usr/bin/python3
"""Checks the nine intermediate tables of an export against the
administration folder they came from, reading both with python3-dbfread and
deriving every expected row here, independently of the C++ code.

    export_check.py ADMIN_DIR EXCHANGE_DIR LANGUAGE

Prints one line per table ("ASIGT 1234 filas") and exits 0 when everything
matches; otherwise prints the first differences and exits 1.
"""

import os
import sys

import dbfread

TEXT_WIDTHS = {
    "ASIGVALT": [("COD", 10), ("CODLARGO", 10), ("NOMBRE", 80), ("CODVALEN", 10),
                 ("NHORAS", None), ("NIVEL", 5), ("CURSO", 3)],
    "ASIGNOMT": [("COD", 10), ("CODLARGO", 10), ("NOMBRE", 80), ("ESTAREA", "L")],
    "PROFT": [("ABREV", 10), ("NOMBRE", 80), ("EMAIL", 100), ("DEPART", 40),
              ("DNI", None)],
    "AULAT": [("ABREV", 10), ("NOMBRE", 80), ("EDIFICIO", 1), ("MAXALUM", None)],
    "ASIGCURT": [("NIVEL", 5), ("CURSO", 3), ("ASIG", 10), ("HORAS", None)],
    "GRUPOST": [("ABREV", 10), ("TURNO", 1), ("NIVEL", 5), ("CURSO", 3),
                ("GRUPO", 2), ("DESCRIP", 80), ("TUTOR", 10)],
    "CURSOST": [("ABREV", 3), ("TURNO", 1), ("NIVEL", 5), ("CURSO", 3)],
    "ASIGT": [("CASIG", 10), ("CPROF", 10), ("CGRUP", 10), ("CAULA", 10),
              ("TURNO", 1), ("NIVEL", 5), ("CURSO", 3), ("GRUPO", 2),
              ("HORAS", None), ("SESIONES", 20), ("NCONEX", 4), ("CTAREA", 10)],
}
TEXT_WIDTHS["ALUMNOST"] = [("EXPED", 20), ("NOMBRE", 50), ("TURNO", 1), ("NIVEL", 5),
                           ("CURSO", 3), ("GRUPO", 2), ("OPCION", 1), ("REPITE", "L")]
for n in range(1, 51):
    TEXT_WIDTHS["ALUMNOST"] += [("ASIG%d" % n, 4), ("DIV%d" % n, 1)]


def find_file(folder, name):
    for entry in os.listdir(folder):
        if entry.lower() == name.lower():
            return os.path.join(folder, entry)
    raise SystemExit("falta %s en %s" % (name, folder))


def read(folder, name):
    table = dbfread.DBF(find_file(folder, name), encoding="cp1252",
                        char_decode_errors="strict")
    return table, [{k.upper(): v for k, v in row.items()} for row in table]


def text(value):
    return "" if value is None else str(value)


def cut(value, width):
    """A text as a field of `width` gives it back."""
    return text(value)[:width].rstrip(" ")


def hours(horsemte):
    t = text(horsemte)
    if t.strip():
        t = t[:2]
    if not t.strip():
        return 1.0
    value = float(t)
    return value if value > 0 else 1.0


def abbreviation(name):
    following = "".join(name[i + 1] for i in range(len(name) - 1) if name[i] == " ")
    return (name[:1] + following)[:3]


def unique(abbrevs):
    for p in range(len(abbrevs)):
        counter = 2
        for q in range(len(abbrevs)):
            if q != p and abbrevs[q] == abbrevs[p]:
                abbrevs[q] = cut(abbrevs[q] + str(counter), 10)
                counter += 1
    return abbrevs


def key_bytes(value, width):
    return value.encode("cp1252").ljust(width, b" ")


def expected_tables(admin, castilian):
    _, asignat = read(admin, "asignat.dbf")
    _, ocupa = read(admin, "OCUPA.dbf")
    _, profesor = read(admin, "profesor.dbf")
    _, aulas = read(admin, "aulas.dbf")
    _, grupos = read(admin, "grupos.dbf")
    _, alumnos = read(admin, "alumnos.dbf")
    _, asigalum = read(admin, "asigalum.dbf")
    _, horgrup = read(admin, "horgrup.dbf")
    out = {}

    asigvalt = []
    for a in asignat:
        code = text(a["CODASIG"])
        asigvalt.append({
            "COD": cut(a["LITRESV"], 10), "CODLARGO": cut(a["LITRESV"], 10),
            "NOMBRE": cut(a["CLITEASIG" if castilian else "VLITEASIG"], 80),
            "CODVALEN": cut(code, 10), "NHORAS": hours(a["HORSEMTE"]),
            "NIVEL": cut(code[1:4], 5), "CURSO": cut(code[:1], 3)})
    out["ASIGVALT"] = asigvalt

    asignomt, previous = [], "@#$"
    for row in sorted(asigvalt, key=lambda r: key_bytes(r["COD"], 10)):
        if row["COD"] != previous:
            previous = row["COD"]
            asignomt.append({"COD": row["COD"], "CODLARGO": row["CODLARGO"],
                             "NOMBRE": row["NOMBRE"], "ESTAREA": False})
    for o in ocupa:
        code = cut("*" + text(o["OCUPA"]), 10)
        asignomt.append({"COD": code, "CODLARGO": code, "ESTAREA": True,
                         "NOMBRE": cut(o["CLITERAL" if castilian else "VLITERAL"], 80)})
    out["ASIGNOMT"] = asignomt

    proft = []
    for p in profesor:
        name, dni = text(p["APENOMPROF"]), p["DNI"] or 0
        if p["FBAJA"] is not None and name.strip() and dni != 0:
            continue
        proft.append({"ABREV": cut(abbreviation(name), 10), "NOMBRE": cut(name, 80),
                      "EMAIL": "", "DEPART": cut(p["DEPARTA"], 40), "DNI": int(dni)})
    for row, abbrev in zip(proft, unique([r["ABREV"] for r in proft])):
        row["ABREV"] = abbrev
    out["PROFT"] = proft

    out["AULAT"] = [{"ABREV": cut(a["CODAULA"], 10), "NOMBRE": cut(a["LITAULA"], 80),
                     "EDIFICIO": "1", "MAXALUM": 0} for a in aulas]

    first_subject = {}
    for row in asigvalt:
        first_subject.setdefault(row["CODVALEN"], row)
    students = []
    for s in alumnos:
        code = text(s["CODGRUP"])
        if not code[1:4] or not code[:1]:
            continue
        turn = ""
        for g in grupos:
            if text(g["CODGRUP"]) == code or text(g["CODGRUP"])[:4] == text(s["CODCUR"]):
                turn = text(g["TURNO"])
                break
        exped = cut(s["CODIGO"], 20)
        row = {"EXPED": exped, "NOMBRE": cut(s["APENOM"], 50), "TURNO": cut(turn, 1),
               "NIVEL": cut(code[1:4], 5), "CURSO": cut(code[:1], 3),
               "GRUPO": cut(code[-1:], 2), "OPCION": "", "REPITE": s["REPITE"] == 1}
        for n in range(1, 51):
            row["ASIG%d" % n] = row["DIV%d" % n] = ""
        row["_exped"] = exped
        students.append(row)
    by_student = {}
    for a in asigalum:
        subject = first_subject.get(text(a["CODASIG"]))
        if subject is not None:
            by_student.setdefault(text(a["CODIGO"]), []).append(subject["COD"])
    for row in students:
        for n, code in enumerate(by_student.get(row.pop("_exped"), []), 1):
            row["ASIG%d" % n] = cut(code, 4)
    out["ALUMNOST"] = students

    out["ASIGCURT"] = [{"NIVEL": r["NIVEL"], "CURSO": r["CURSO"], "ASIG": r["COD"],
                        "HORAS": r["NHORAS"]}
                       for r in sorted(asigvalt, key=lambda r: key_bytes(r["CODVALEN"], 10))]

    first_teacher = {}
    for row in proft:
        first_teacher.setdefault(row["DNI"], row["ABREV"])
    grupost, cursost = [], []
    for g in grupos:
        turn, code = text(g["TURNO"]), text(g["CODGRUP"])
        level, course, letter = code[1:4], code[:1], code[-1:]
        if not level or not course:
            continue
        if not any((r["TURNO"], r["NIVEL"], r["CURSO"], r["GRUPO"]) ==
                   (turn, level, course, letter) for r in grupost):
            dni = text(g["DNI"]).strip()
            tutor = first_teacher.get(int(dni), "") if dni.lstrip("+-").isdigit() else ""
            grupost.append({"ABREV": cut(code, 10), "TURNO": cut(turn, 1),
                            "NIVEL": cut(level, 5), "CURSO": cut(course, 3),
                            "GRUPO": cut(letter, 2), "TUTOR": tutor,
                            "DESCRIP": cut("%s %s %s %s (%s)" % (turn, level, course, letter,
                                                                 text(g["LITEGRUP"])), 80)})
        if not any((r["TURNO"], r["NIVEL"], r["CURSO"]) == (turn, level, course)
                   for r in cursost):
            cursost.append({"ABREV": cut(turn + level[:1] + course[:1], 3),
                            "TURNO": cut(turn, 1), "NIVEL": cut(level, 5),
                            "CURSO": cut(course, 3)})
    out["GRUPOST"], out["CURSOST"] = grupost, cursost

    groups = {r["ABREV"] for r in grupost}
    asigt, seen = [], set()
    for h in horgrup:
        code = text(h["CODGRUP"])
        if code not in groups:
            continue
        subject = first_subject.get(text(h["CODASIG"]).strip(" \t\r\n"))
        casig = subject["COD"] if subject else ""
        hours_ = subject["NHORAS"] if subject else 1.0
        cprof = first_teacher.get(int(h["DNI"] or 0), "")
        key = (casig, cprof, code.strip())
        if key in seen:
            continue
        seen.add(key)
        lessons = round(hours_)  # halves to the even neighbour, as Python rounds
        asigt.append({"CASIG": casig, "CPROF": cprof, "CGRUP": code.strip(),
                      "CAULA": "", "TURNO": "", "NIVEL": cut(code[1:4], 5),
                      "CURSO": cut(code[:1], 3), "GRUPO": cut(code[-1:], 2),
                      "HORAS": hours_, "SESIONES": "1" * min(max(lessons, 0), 20),
                      "NCONEX": "", "CTAREA": "*12"})
    out["ASIGT"] = asigt
    return out


def same(a, b):
    if isinstance(b, float) or isinstance(a, float):
        return a is not None and abs(float(a) - float(b)) < 1e-9
    if isinstance(b, bool):
        return a is b
    if isinstance(b, int):
        return a == b
    return text(a) == b


def check_table(exchange, name, expected):
    table, rows = read(exchange, name + ".DBF")
    problems = []
    layout = [(f.name, f.type, f.length) for f in table.fields]
    for (field, kind), (actual_name, actual_type, length) in zip(TEXT_WIDTHS[name], layout):
        if field != actual_name:
            problems.append("%s: campo %s en lugar de %s" % (name, actual_name, field))
        elif kind == "L" and actual_type != "L":
            problems.append("%s.%s: tipo %s" % (name, field, actual_type))
        elif kind is None and actual_type not in "NFIBO":
            problems.append("%s.%s: tipo %s" % (name, field, actual_type))
        elif isinstance(kind, int) and (actual_type, length) != ("C", kind):
            problems.append("%s.%s: %s%d en lugar de C%d" % (name, field, actual_type,
                                                           length, kind))
    if len(layout) != len(TEXT_WIDTHS[name]):
        problems.append("%s: %d campos" % (name, len(layout)))
    if len(rows) != len(expected):
        problems.append("%s: %d filas en lugar de %d" % (name, len(rows), len(expected)))
    for number, (row, want) in enumerate(zip(rows, expected), 1):
        for field, value in want.items():
            if not same(row.get(field), value):
                problems.append("%s fila %d %s: %r en lugar de %r" % (
                    name, number, field, row.get(field), value))
                break
    return len(rows), problems


def main():
    admin, exchange, language = sys.argv[1:4]
    expected = expected_tables(admin, language == "CASTELLANO")
    failed = False
    for name in ["ASIGVALT", "ASIGNOMT", "PROFT", "AULAT", "ALUMNOST", "ASIGCURT",
                 "GRUPOST", "CURSOST", "ASIGT"]:
        count, problems = check_table(exchange, name, expected[name])
        print("%s %d filas" % (name, count))
        for problem in problems[:5]:
            print("  " + problem)
        failed = failed or bool(problems)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
