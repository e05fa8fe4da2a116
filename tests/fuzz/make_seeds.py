#!/usr/bin/python3
"""Writes the seed corpus of table_fuzz (corpus_table/): small tables made
with python3-dbf, each packed as the fuzzer reads its input (a 4-byte
little-endian .dbf length, the .dbf, then the memo file). Run with Debian's
/usr/bin/python3; the output is kept in the repository."""

import datetime
import os
import shutil
import struct
import sys
import tempfile

import dbf

TABLES = [
    ('db3_memo', 'db3', 'NOMBRE C(8); HORAS N(4,0); ALTA D; SI L; NOTAS M',
     [('Peñas', 12, datetime.date(2001, 2, 3), True, 'uno\r\ndos'),
      ('', None, None, None, '')]),
    ('db3_plain', 'db3', 'COD C(5); IMPORTE N(10,4); SI L',
     [('A', 1.2345, False), ('B', -0.5, True)]),
    ('fp_memo', 'fp', 'COD C(4); NUM N(6,2); NOTAS M',
     [('x', 2.5, 'memo'), ('y', None, 'ñ' * 70)]),
    ('vfp_nulls', 'vfp', 'NOMBRE C(6) NULL; N I NULL; F D NULL; NOTAS M NULL',
     [('a', 7, datetime.date(2020, 1, 1), 'm'), (None, None, None, None)]),
    ('db3_empty', 'db3', 'COD C(3); N N(3,0)', []),
]


def pack(dbf_bytes, memo_bytes):
    return struct.pack('<I', len(dbf_bytes)) + dbf_bytes + memo_bytes


def main():
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)),
                       'corpus_table')
    os.makedirs(out, exist_ok=True)
    work = tempfile.mkdtemp()
    try:
        for name, kind, spec, rows in TABLES:
            base = os.path.join(work, name)
            table = dbf.Table(base, spec, dbf_type=kind, codepage='cp1252')
            table.open(dbf.READ_WRITE)
            for row in rows:
                table.append(row)
            table.close()
            with open(base + '.dbf', 'rb') as f:
                dbf_bytes = f.read()
            memo = b''
            for ext in ('.dbt', '.fpt'):
                if os.path.exists(base + ext):
                    with open(base + ext, 'rb') as f:
                        memo = f.read()
            with open(os.path.join(out, name), 'wb') as f:
                f.write(pack(dbf_bytes, memo))
        # A table without fields, as some programs leave them.
        header = struct.pack('<BBBBIHH20x', 3, 124, 1, 1, 1, 33, 1)
        with open(os.path.join(out, 'no_fields'), 'wb') as f:
            f.write(pack(header + b'\r' + b' ' + b'\x1a', b''))
    finally:
        shutil.rmtree(work)


if __name__ == '__main__':
    sys.exit(main())
