#!/usr/bin/python3
"""Prints what an export left in the exchange folder: the rows of each of
the nine intermediate tables and the first few rows of each.

    /usr/bin/python3 tools/export_summary.py QTEMP_DIR [--rows N]
"""

import argparse
import os

import dbfread

TABLES = ["ASIGVALT", "ASIGNOMT", "PROFT", "AULAT", "ALUMNOST", "ASIGCURT",
          "GRUPOST", "CURSOST", "ASIGT"]
# ALUMNOST has 108 columns: show the fixed ones and the first subjects only.
ALUMNOST_COLUMNS = ["EXPED", "NOMBRE", "TURNO", "NIVEL", "CURSO", "GRUPO",
                    "REPITE", "ASIG1", "ASIG2", "ASIG3", "ASIG4", "ASIG5"]


def find(folder, name):
    for entry in os.listdir(folder):
        if entry.lower() == name.lower():
            return os.path.join(folder, entry)
    return None


def show(value):
    if value is None:
        return ""
    if isinstance(value, bool):
        return "T" if value else "F"
    if isinstance(value, float) and value.is_integer():
        return str(int(value))
    return str(value)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("folder")
    parser.add_argument("--rows", type=int, default=3)
    args = parser.parse_args()
    print("%-9s %7s" % ("Tabla", "Filas"))
    tables = {}
    for name in TABLES:
        path = find(args.folder, name + ".DBF")
        if path is None:
            print("%-9s %7s" % (name, "falta"))
            continue
        table = dbfread.DBF(path, encoding="cp1252")
        tables[name] = table
        print("%-9s %7d" % (name, len(table)))
    for name, table in tables.items():
        columns = ALUMNOST_COLUMNS if name == "ALUMNOST" else table.field_names
        print("\n%s (%s)" % (name, ", ".join(columns)))
        for number, row in enumerate(table):
            if number >= args.rows:
                break
            print("  " + " | ".join(show(row[c]) for c in columns))


if __name__ == "__main__":
    main()
