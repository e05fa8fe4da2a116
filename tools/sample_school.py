#!/usr/bin/python3
"""Writes a sample school's administration folder (the ZELMAR tables).

    /usr/bin/python3 tools/sample_school.py OUT_DIR [--size small|medium|large|N]
                                                    [--seed S]

N is the number of students; the other tables scale with it: one group per
20 students, one teacher per 10, 15 subjects (asigalum rows) per student and
40 lessons per group in horgrup. "large" is 30,000 students (450,000 asigalum
rows, 3,000 teachers, 1,500 groups, 60,000 lessons).

Files written, FoxPro tables in code page 1252: grupos, profesor, horgrup,
horprof, asigalum, asignat, aulas, alumnos (+ alumnos.fpt), centro, lhortipo
and OCUPA. The same size and seed always give the same bytes.

The sample holds a few rows that exercise the export's rules: a teacher who
has left, teachers without identity number, names giving the same
abbreviation, a group without tutor, students without group, a repeater,
subjects sharing a short code across courses, a subject code missing from
asignat, and a deleted student record.
"""

import argparse
import os
import random
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import dbfwrite  # noqa: E402

SIZES = {"small": 400, "medium": 3000, "large": 30000}
STUDENTS_PER_GROUP = 20
STUDENTS_PER_TEACHER = 10
SUBJECTS_PER_STUDENT = 15
DAYS = 5
PERIODS = 8
MAIN_CENTRE = "46012345"
OTHER_CENTRE = "46099871"

# Short code, Valencian name, Castilian name, weekly hours, department.
# Every course teaches 17 subjects worth 40 weekly hours (5 days x 8 periods);
# the last four are options, of which each student takes two.
SUBJECTS = [
    ("MAT", "Matemàtiques", "Matemáticas", "4", "MATEMÀTIQUES"),
    ("VAL", "Valencià: Llengua i Literatura", "Valenciano: Lengua y Literatura", "4", "VALENCIÀ"),
    ("CAS", "Castellà: Llengua i Literatura", "Castellano: Lengua y Literatura", "4", "CASTELLÀ"),
    ("ANG", "Anglés", "Inglés", "3", "ANGLÉS"),
    ("GH", "Geografia i Història", "Geografía e Historia", "3", "GEOGRAFIA I HISTÒRIA"),
    ("BG", "Biologia i Geologia", "Biología y Geología", "3", "BIOLOGIA I GEOLOGIA"),
    ("FQ", "Física i Química", "Física y Química", "3", "FÍSICA I QUÍMICA"),
    ("EF", "Educació Física", "Educación Física", "2", "EDUCACIÓ FÍSICA"),
    ("MUS", "Música", "Música", "2", "MÚSICA"),
    ("TEC", "Tecnologia i Digitalització", "Tecnología y Digitalización", "2", "TECNOLOGIA"),
    ("EPV", "Educació Plàstica, Visual i Audiovisual", "Educación Plástica, Visual y Audiovisual", "2", "DIBUIX"),
    ("TUT", "Tutoria", "Tutoría", "2", "ORIENTACIÓ"),
    ("FIL", "Filosofia", "Filosofía", "2", "FILOSOFIA"),
    ("REL", "Religió", "Religión", "1", "RELIGIÓ"),
    ("VET", "Valors Ètics", "Valores Éticos", "1", "FILOSOFIA"),
    ("FRA", "Francés", "Francés", "1", "FRANCÉS"),
    ("INFO", "Informàtica", "Informática", "1", "TECNOLOGIA"),
]
MANDATORY = 13

# (level, courses, turn, Valencian name of the stage)
LEVELS = [
    ("ESO", "1234", "M", "ESO"),
    ("BAT", "12", "M", "Batxillerat"),
    ("CFM", "12", "T", "Cicle Formatiu de Grau Mitjà"),
    ("CFS", "12", "T", "Cicle Formatiu de Grau Superior"),
    ("FPB", "12", "T", "Formació Professional Bàsica"),
]
LETTERS = "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
ORDINALS = {"1": "1r", "2": "2n", "3": "3r", "4": "4t"}

SURNAMES = [
    "GARCÍA", "MARTÍNEZ", "LÓPEZ", "SÁNCHEZ", "PÉREZ", "GÓMEZ", "FERRÀNDIZ",
    "NÚÑEZ", "ROIG", "BOSCH", "SORIANO", "MONTÉS", "LLOPIS", "ESCRIVÀ",
    "CASTELLÓ", "BELLVER", "PUIG", "SEGARRA", "CATALÀ", "IBÁÑEZ", "VIDAL",
    "MIRALLES", "TORRÓ", "ORTIZ", "BERNABÉU", "CERDÀ", "GIL", "MARCO",
]
GIVEN = [
    "JUAN", "MARÍA", "JOSÉ", "VICENT", "NÚRIA", "JOAN", "AMPARO", "ÀNGELA",
    "PAU", "MERCÈ", "JORDI", "LUCÍA", "XAVIER", "INÉS", "SERGI", "ROCÍO",
    "ANDREU", "CARME", "ÓSCAR", "ESTHER", "RAÜL", "ANA", "IGNASI", "AITANA",
]
OCCUPATIONS = [
    ("12", "Docència directa", "Docencia directa"),
    ("GUA", "Guàrdia", "Guardia"),
    ("BIB", "Guàrdia de biblioteca", "Guardia de biblioteca"),
    ("REU", "Reunió de departament", "Reunión de departamento"),
    ("CAP", "Cap de departament", "Jefatura de departamento"),
    ("TUT", "Atenció a famílies", "Atención a familias"),
    ("COO", "Coordinació TIC", "Coordinación TIC"),
]
PERIOD_TIMES = [("08:00", "08:55"), ("08:55", "09:50"), ("09:50", "10:45"),
                ("11:15", "12:10"), ("12:10", "13:05"), ("13:05", "14:00"),
                ("15:30", "16:25"), ("16:25", "17:20")]


def level_courses(groups_needed):
    """The (course, level, turn, stage name) pairs; made-up levels P01, P02,
    ... are added when the real ones cannot hold the groups with one letter
    per group."""
    pairs = [(c, lv, turn, name) for lv, courses, turn, name in LEVELS for c in courses]
    extra = 1
    while len(pairs) * len(LETTERS) < groups_needed:
        for c in "1234":
            pairs.append((c, "P%02d" % extra, "T", "Programa %d" % extra))
        extra += 1
    return pairs


def make_groups(count, pairs):
    groups = []
    for round_ in range(len(LETTERS)):
        for course, level, turn, name in pairs:
            if len(groups) == count:
                return groups
            letter = LETTERS[round_]
            groups.append({"code": course + level + letter, "course": course,
                           "level": level, "turn": turn,
                           "name": "%s %s %s" % (ORDINALS[course], name, letter)})
    return groups


def person_name(rng):
    return "%s %s, %s" % (rng.choice(SURNAMES), rng.choice(SURNAMES), rng.choice(GIVEN))


def build(size, seed):
    rng = random.Random(seed)
    n_groups = max(1, size // STUDENTS_PER_GROUP)
    n_teachers = max(len(SUBJECTS), size // STUDENTS_PER_TEACHER)
    pairs = level_courses(n_groups)
    groups = make_groups(n_groups, pairs)
    used_pairs = sorted({(g["course"], g["level"]) for g in groups},
                        key=lambda p: (p[1], p[0]))
    data = {}

    # Teachers, by department; identity numbers from 20,000,000 up.
    departments = sorted({s[4] for s in SUBJECTS})
    teachers = []
    for i in range(n_teachers):
        dni = 20000000 + i * 37 + 1
        name = person_name(rng)
        left = ""
        if i % 50 == 49:
            left = "2025%02d%02d" % (rng.randint(1, 12), rng.randint(1, 28))
        if i % 97 == 13:
            dni = 0  # identity number still to be completed
        teachers.append({"dni": dni, "name": name, "left": left,
                         "dept": departments[i % len(departments)],
                         "code": "P%04d" % (i + 1)})
    # Two namesakes that give the same abbreviation, and a teacher without name.
    if n_teachers > 4:
        teachers[1]["name"] = "GARCÍA LÓPEZ, JUAN"
        teachers[2]["name"] = "GIL LLOPIS, JOAN"
        teachers[3]["name"] = "GARCÍA LLOPIS, JOSÉ"
        teachers[4]["name"] = ""
        teachers[4]["left"] = "20250630"
    active = [t for t in teachers if not t["left"]]
    by_dept = {d: [t for t in active if t["dept"] == d] or active for d in departments}
    data["teachers"] = teachers

    # Subjects: one asignat row per subject and course.
    subjects = {}  # (course, level) -> list of (codasig, short, hours, dept)
    asignat = []
    for course, level in used_pairs:
        rows = []
        for number, (short, val, cas, hours, dept) in enumerate(SUBJECTS, 1):
            codasig = "%s%s%02d" % (course, level, number)
            asignat.append((codasig, short, "%s %s" % (val, course),
                            "%s %s" % (cas, course), hours, "%s%s" % (course, level)))
            rows.append((codasig, short, int(hours), dept))
        subjects[(course, level)] = rows
    data["asignat"] = asignat

    # Groups with tutors; every 25th group has none.
    for i, g in enumerate(groups):
        tutor = active[(i * 7) % len(active)]
        g["tutor"] = "" if i % 25 == 24 else str(tutor["dni"])
        g["subjects"] = subjects[(g["course"], g["level"])]
        g["teachers"] = [by_dept[s[3]][(i * 3 + k) % len(by_dept[s[3]])]
                         for k, s in enumerate(g["subjects"])]
    data["groups"] = groups

    # Students and their subjects.
    students, asigalum = [], []
    for i in range(size):
        g = groups[i // STUDENTS_PER_GROUP] if i // STUDENTS_PER_GROUP < len(groups) else groups[-1]
        code = "%06d" % (100000 + i * 3)
        group_code = g["code"]
        if i % 211 == 105:
            group_code = ""  # enrolment not finished: no group yet
        repeats = 1 if i % 17 == 0 else (2 if i % 23 == 0 else 0)
        note = "Alumne amb adaptació curricular." if i % 10 == 3 else ""
        students.append((code, person_name(rng), group_code, group_code[:4],
                         repeats, "2011%02d%02d" % (rng.randint(1, 12), rng.randint(1, 28)),
                         note))
        subs = g["subjects"]
        options = rng.sample(range(MANDATORY, len(subs)), SUBJECTS_PER_STUDENT - MANDATORY)
        for k in list(range(MANDATORY)) + sorted(options):
            codasig = subs[k][0]
            if i % 331 == 7 and k == 0:
                codasig = codasig[:-2] + "99"  # a subject no longer in asignat
            asigalum.append((code, codasig, "2026"))
    data["students"] = students
    data["asigalum"] = asigalum
    return data


def lessons(groups):
    """horgrup rows: every subject's weekly hours placed in the week, one
    lesson per day and period. Options share their slots, so the 40 lessons
    of a group fill 40 slots."""
    for g in groups:
        slot = 0
        for (codasig, _short, hours, _dept), teacher in zip(g["subjects"], g["teachers"]):
            for _ in range(hours):
                day, period = slot % DAYS + 1, slot // DAYS + 1
                yield g, codasig, teacher, day, period
                slot += 1


def write_all(out_dir, data):
    w = dbfwrite.write_table
    j = lambda name: os.path.join(out_dir, name)  # noqa: E731
    counts = {}
    groups = data["groups"]
    counts["grupos"] = w(j("grupos.dbf"), [
        ("Codgrup", "C", 10), ("Turno", "C", 1), ("LITEGRUP", "C", 40),
        ("DNI", "C", 10), ("Codcur", "C", 4), ("Codcen", "C", 8)],
        ((g["code"], g["turn"], g["name"], g["tutor"], g["code"][:4], MAIN_CENTRE)
         for g in groups))
    counts["profesor"] = w(j("profesor.dbf"), [
        ("Codprof", "C", 5), ("Apenomprof", "C", 60), ("Dni", "N", 10, 0),
        ("Departa", "C", 30), ("FAlta", "D", 8), ("FBaja", "D", 8)],
        ((t["code"], t["name"], t["dni"] or None, t["dept"], "20180901", t["left"])
         for t in data["teachers"]), deleted={5} if len(data["teachers"]) > 5 else ())
    counts["asignat"] = w(j("asignat.dbf"), [
        ("Codasig", "C", 10), ("Litresv", "C", 6), ("Vliteasig", "C", 60),
        ("Cliteasig", "C", 60), ("Horsemte", "C", 3), ("Codcur", "C", 4)],
        data["asignat"])
    counts["asigalum"] = w(j("asigalum.dbf"), [
        ("Codigo", "C", 10), ("Codasig", "C", 10), ("Anyo", "C", 4)],
        data["asigalum"])
    counts["alumnos"] = w(j("alumnos.dbf"), [
        ("Codigo", "C", 10), ("Apenom", "C", 50), ("Codgrup", "C", 10),
        ("Codcur", "C", 4), ("Repite", "N", 1, 0), ("Fnacim", "D", 8),
        ("Observ", "M", 10)],
        data["students"], deleted={11} if len(data["students"]) > 11 else ())
    rooms = [("%d" % (100 * floor + n), "Aula %d.%02d" % (floor, n))
             for floor in (1, 2, 3) for n in range(1, 13)]
    rooms += [("12", "Aula d'informàtica"), ("GIM", "Gimnàs"),
              ("LABFQ", "Laboratori de Física i Química"), ("BIB", "Biblioteca")]
    counts["aulas"] = w(j("aulas.dbf"), [("Codaula", "C", 6), ("Litaula", "C", 40)], rooms)
    counts["centro"] = w(j("centro.dbf"), [
        ("Codcen", "C", 8), ("Nomcen", "C", 60), ("Localidad", "C", 30)],
        [(MAIN_CENTRE, "IES Lluís Vives", "València"),
         (OTHER_CENTRE, "IES Joanot Martorell (secció)", "Alzira")])
    lhortipo = [(MAIN_CENTRE, n, d, h) for n, (d, h) in enumerate(PERIOD_TIMES, 1)]
    lhortipo += [(OTHER_CENTRE, n, d, h) for n, (d, h) in enumerate(PERIOD_TIMES[:6], 1)]
    counts["lhortipo"] = w(j("lhortipo.dbf"), [
        ("CODCEN", "C", 8), ("Numhora", "N", 2, 0), ("Desde", "C", 5), ("Hasta", "C", 5)],
        lhortipo)
    counts["OCUPA"] = w(j("OCUPA.dbf"), [
        ("OCUPA", "C", 3), ("VLITERAL", "C", 50), ("CLITERAL", "C", 50)], OCCUPATIONS)
    room_codes = [r[0] for r in rooms]
    counts["horgrup"] = w(j("horgrup.dbf"), [
        ("Diasem", "N", 1, 0), ("Numhora", "N", 2, 0), ("Hordiades", "C", 5),
        ("Hordiahas", "C", 5), ("Codcen", "C", 8), ("dni", "N", 10, 0),
        ("codgrup", "C", 10), ("codasig", "C", 10), ("CODAULA", "N", 3, 0)],
        ((day, period) + PERIOD_TIMES[period - 1]
         + (MAIN_CENTRE, t["dni"] or None, g["code"], codasig,
            int(room_codes[i % 36]))
         for i, (g, codasig, t, day, period) in enumerate(lessons(groups))))

    def teacher_rows():
        for g, _codasig, t, day, period in lessons(groups):
            yield (day, period) + PERIOD_TIMES[period - 1] + ("", MAIN_CENTRE, t["dni"] or None)
        for i, t in enumerate(data["teachers"]):
            if not t["left"]:
                code = OCCUPATIONS[1 + i % (len(OCCUPATIONS) - 1)][0]
                period = 1 + i % PERIODS
                yield ((1 + i % DAYS, period) + PERIOD_TIMES[period - 1]
                       + (code, MAIN_CENTRE, t["dni"] or None))
    counts["horprof"] = w(j("horprof.dbf"), [
        ("Diasem", "N", 1, 0), ("Numhora", "N", 2, 0), ("Horad", "C", 5),
        ("Horah", "C", 5), ("Ocupa", "C", 3), ("Codcen", "C", 8), ("dni", "N", 10, 0)],
        teacher_rows())
    return counts


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("out_dir")
    parser.add_argument("--size", default="small",
                        help="small, medium, large or a number of students")
    parser.add_argument("--seed", type=int, default=2026)
    args = parser.parse_args()
    size = SIZES.get(args.size)
    if size is None:
        size = int(args.size)
    if size < 1:
        parser.error("--size must be at least 1")
    os.makedirs(args.out_dir, exist_ok=True)
    counts = write_all(args.out_dir, build(size, args.seed))
    for name in sorted(counts):
        print("%-9s %7d" % (name, counts[name]))


if __name__ == "__main__":
    main()
