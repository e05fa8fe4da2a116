#!/usr/bin/python3
"""A stand-in for the timetabling program, for the demo and the tests ONLY.

It is not a timetabler: it places lessons greedily, first free slot first,
so that the import has a complete and valid solution to bring back. It reads
the intermediate tables that an export left in the exchange folder and
writes the solution table SOLUC.DBF beside them:

  - every lesson that ASIGT asks for (one per "1" in SESIONES) is placed in
    the week, with no teacher and no group in two places at once;
  - every teacher gets duty rows (blank NIVEL and CURSO, TAREA "*" plus an
    occupation code taken from the occupation rows of ASIGNOMT);
  - lessons get rooms from AULAT, no room used twice in one slot.

Usage: standin_quendrix.py EXCHANGE_FOLDER [--days N] [--periods N]
       [--duties N] [--output FILE]
"""

import argparse
import os
import sys

import dbfread

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import dbfwrite  # noqa: E402

SOLUC_FIELDS = [
    ("DIA", "N", 2, 0),
    ("HORA", "N", 2, 0),
    ("TAREA", "C", 10, 0),
    ("PROF", "C", 10, 0),
    ("NIVEL", "C", 5, 0),
    ("CURSO", "C", 3, 0),
    ("ASIG", "C", 10, 0),
    ("CODGRUPO", "C", 10, 0),
    ("AULA", "C", 10, 0),
]

DEFAULT_TASK = "*12"


def find_table(folder, name):
    """The file `name` in `folder`, whatever its letter case, or None."""
    wanted = name.lower()
    for entry in os.listdir(folder):
        if entry.lower() == wanted:
            return os.path.join(folder, entry)
    return None


def read_rows(folder, name, required=True):
    path = find_table(folder, name)
    if path is None:
        if required:
            sys.exit("standin_quendrix: falta %s en %s" % (name, folder))
        return []
    table = dbfread.DBF(path, encoding="cp1252", char_decode_errors="replace")
    return [dict(row) for row in table]


def text(row, field):
    value = row.get(field)
    return "" if value is None else str(value).rstrip()


MAX_PERIODS = 20


class Week:
    """Who is busy when. A slot is (day, period), both counted from 1.
    Slots run period by period, so a lesson takes the earliest period that
    is free; periods beyond the school day are used only when a lesson
    finds no room within it."""

    def __init__(self, days, periods):
        self.periods = periods
        self.slots = [(d, p) for p in range(1, MAX_PERIODS + 1)
                      for d in range(1, days + 1)]
        self.busy = {}

    def free(self, who, slot):
        return slot not in self.busy.get(who, set())

    def take(self, who, slot):
        self.busy.setdefault(who, set()).add(slot)


def place_lessons(lessons, rooms, week):
    """Places each lesson in the first slot where its teacher and its group
    are both free; returns the solution rows."""
    rows = []
    unplaced = 0
    for lesson in lessons:
        teacher = ("P", lesson["prof"])
        group = ("G", lesson["group"])
        for slot in week.slots:
            if week.free(teacher, slot) and week.free(group, slot):
                week.take(teacher, slot)
                week.take(group, slot)
                room = ""
                for candidate in rooms:
                    if week.free(("A", candidate), slot):
                        week.take(("A", candidate), slot)
                        room = candidate
                        break
                rows.append((slot[0], slot[1], lesson["task"], lesson["prof"],
                             lesson["nivel"], lesson["curso"], lesson["asig"],
                             lesson["group"], room))
                break
        else:
            unplaced += 1
    if unplaced:
        print("standin_quendrix: %d sesiones sin hueco" % unplaced,
              file=sys.stderr)
    return rows


def place_duties(teachers, tasks, duties, week):
    rows = []
    if not tasks:
        return rows
    for number, teacher in enumerate(teachers):
        who = ("P", teacher)
        placed = 0
        for slot in reversed(week.slots):
            if slot[1] > week.periods:
                continue
            if placed == duties:
                break
            if week.free(who, slot):
                week.take(who, slot)
                task = tasks[(number + placed) % len(tasks)]
                rows.append((slot[0], slot[1], task, teacher, "", "", "", "",
                             ""))
                placed += 1
    return rows


def lessons_from(asigt):
    lessons = []
    for row in asigt:
        count = text(row, "SESIONES").count("1")
        for _ in range(count):
            lessons.append({
                "asig": text(row, "CASIG"),
                "prof": text(row, "CPROF"),
                "group": text(row, "CGRUP"),
                "nivel": text(row, "NIVEL"),
                "curso": text(row, "CURSO"),
                "task": text(row, "CTAREA") or DEFAULT_TASK,
            })
    return lessons


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("exchange")
    parser.add_argument("--days", type=int, default=5)
    parser.add_argument("--periods", type=int, default=8,
                        help="periods of the school day (more are used only "
                             "for lessons that find no room)")
    parser.add_argument("--duties", type=int, default=2)
    parser.add_argument("--output")
    args = parser.parse_args()

    asigt = read_rows(args.exchange, "ASIGT.DBF")
    teachers = [text(r, "ABREV") for r in read_rows(args.exchange, "PROFT.DBF")]
    rooms = [text(r, "ABREV") for r in read_rows(args.exchange, "AULAT.DBF",
                                                 required=False)]
    tasks = [text(r, "COD") for r in read_rows(args.exchange, "ASIGNOMT.DBF",
                                               required=False)
             if r.get("ESTAREA")]
    week = Week(args.days, args.periods)
    rows = place_lessons(lessons_from(asigt), [r for r in rooms if r], week)
    rows += place_duties([t for t in teachers if t], tasks, args.duties, week)
    rows.sort(key=lambda r: (r[0], r[1], r[3]))

    output = args.output or os.path.join(args.exchange, "SOLUC.DBF")
    count = dbfwrite.write_table(output, SOLUC_FIELDS, rows)
    print("standin_quendrix: %d filas en %s" % (count, output), file=sys.stderr)


if __name__ == "__main__":
    main()
