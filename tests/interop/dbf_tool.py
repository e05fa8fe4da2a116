#!/usr/bin/python3
"""Independent dBase readers and writers for the interoperability tests.

Run with Debian's /usr/bin/python3 (python3-dbf and python3-dbfread).

  dbf_tool.py make DIR          writes three tables with python3-dbf (dBase III
                                with memo, FoxPro with memo, Visual FoxPro with
                                nulls) and prints their values
  dbf_tool.py dbfread FILE      prints FILE's visible records as dbfread reads
                                them (encoding chosen from the language driver)
  dbf_tool.py dbf FILE          the same through python3-dbf
  dbf_tool.py raw FILE          walks FILE record by record with dbfread's field
                                parsers; only '*' marks a deleted record, and
                                no more records are read than the file holds;
                                null flags are applied
  dbf_tool.py yml FILE          prints a record kept as a YAML list

Output, one line each, fields separated by tabs:
  T <path>                      a table starts (make only)
  R <n>                         visible record n (0-based) starts
  F <NAME> <kind> <value>       kind S text, N number (%.15g), D days since
                                1899-12-30 (with the time as fraction), L 1/0,
                                E empty (None), X not compared (binary)
Backslash, tab, CR and LF inside values are escaped as \\\\, \\t, \\r, \\n.
"""

import codecs
import datetime
import decimal
import os
import struct
import sys

EPOCH = datetime.datetime(1899, 12, 30)

# Language driver byte to code page, as our engine decides it: 0 and unknown
# bytes mean 1252, 0xF0 means UTF-8.
DRIVERS = {
    0x01: 'cp437', 0x02: 'cp850', 0x03: 'cp1252', 0x57: 'cp1252',
    0x58: 'cp1252', 0x59: 'cp1252', 0x64: 'cp852', 0x65: 'cp866',
    0x66: 'cp865', 0x67: 'cp861', 0x6A: 'cp737',
    0x6B: 'cp857', 0x78: 'cp950', 0x79: 'cp949', 0x7A: 'cp936',
    0x7B: 'cp932', 0x7C: 'cp874', 0xC8: 'cp1250', 0xC9: 'cp1251',
    0xCA: 'cp1254', 0xCB: 'cp1253', 0xF0: 'utf-8',
}


def _c1_controls(error):
    """Bytes that code page 1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90,
    0x9D) decode to the control characters of the same number, as Windows
    decodes them."""
    bad = error.object[error.start:error.end]
    return ''.join(chr(b) for b in bad), error.end


codecs.register_error('c1controls', _c1_controls)


def escape(text):
    return (text.replace('\\', '\\\\').replace('\t', '\\t')
            .replace('\r', '\\r').replace('\n', '\\n'))


def emit_value(name, value, kind_hint=None):
    if value is None:
        kind, text = 'E', ''
    elif kind_hint == 'X' or isinstance(value, (bytes, bytearray)):
        kind, text = 'X', ''
    elif isinstance(value, bool):
        kind, text = 'L', '1' if value else '0'
    elif isinstance(value, (int, float, decimal.Decimal)):
        kind, text = 'N', '%.15g' % float(value)
    elif isinstance(value, datetime.datetime):
        delta = value - EPOCH
        kind, text = 'D', repr(delta.days + delta.seconds / 86400.0 +
                               delta.microseconds / 86400e6)
    elif isinstance(value, datetime.date):
        kind, text = 'D', str((value - EPOCH.date()).days)
    else:
        kind, text = 'S', str(value)
    print('F\t%s\t%s\t%s' % (name, kind, escape(text)))


def driver_encoding(path):
    with open(path, 'rb') as f:
        header = f.read(32)
    return DRIVERS.get(header[29], 'cp1252')


FIXTURES = [
    ('d3memo', 'db3', 'NOMBRE C(20); HORAS N(6,0); PRECIO N(12,4); ALTA D; '
     'ACTIVO L; NOTAS M', [
         ('Peñíscola àèìòù', 12, 3.5, datetime.date(2001, 2, 3), True,
          'línea uno\r\nlínea dos'),
         ('', None, None, None, None, ''),
         ('Z' * 20, -99999, -1234.5678, datetime.date(1999, 12, 31), False,
          'x' * 1500),
     ]),
    ('fpmemo', 'fp', 'CODIGO C(10); NUM N(8,2); FECHA D; NOTAS M', [
        ('A1', 1.25, datetime.date(2024, 2, 29), 'memo corto'),
        ('B2', 0, None, 'ñ' * 700 + '\r\nfin'),
        ('', None, None, ''),
    ]),
    ('vfpnull', 'vfp', 'NOMBRE C(15) NULL; CUENTA I NULL; IMPORTE N(10,2) '
     'NULL; NOTAS M NULL; SI L NULL; DIA D NULL', [
         ('uno', 7, 2.5, 'memo de uno', True, datetime.date(2020, 1, 1)),
         (None, None, None, None, None, None),
         ('tres', -2147483647, -0.01, 'ü', False, None),
     ]),
]


def make(folder):
    """Writes each fixture and prints the values it was given."""
    import dbf
    for name, kind, spec, rows in FIXTURES:
        path = os.path.join(folder, name)
        table = dbf.Table(path, spec, dbf_type=kind, codepage='cp1252')
        table.open(dbf.READ_WRITE)
        for row in rows:
            if kind == 'vfp':  # None stands for a value flagged null
                row = tuple(dbf.Null if v is None else v for v in row)
            table.append(row)
        names = [n.upper() for n in table.field_names]
        table.close()
        print('T\t%s.dbf' % path)
        for n, row in enumerate(rows):
            print('R\t%d' % n)
            for field, value in zip(names, row):
                emit_value(field, value)


def dump_dbfread(path):
    from dbfread import DBF
    table = DBF(path, encoding=driver_encoding(path), load=False)
    for n, record in enumerate(table):
        print('R\t%d' % n)
        for field in table.fields:
            emit_value(field.name, record[field.name],
                       'X' if field.type in 'GPB0' else None)


def dump_dbf(path):
    import dbf
    table = dbf.Table(path, codepage=driver_encoding(path).replace('-', ''))
    table.open(dbf.READ_ONLY)
    n = 0
    for record in table:
        if dbf.is_deleted(record):
            continue
        print('R\t%d' % n)
        n += 1
        for name in table.field_names:
            value = record[name]
            if isinstance(value, str) and table.field_info(name)[0] != ord('M'):
                value = value.rstrip(' ')
            elif value is not None and not isinstance(
                    value, (str, bool, int, float, decimal.Decimal,
                            datetime.date)):
                value = getattr(value, '_value', value)  # dbf's own types
            emit_value(name.upper(), value)
    table.close()


def null_bits(table):
    """Bit number in _NullFlags of each nullable field (Visual FoxPro counts
    only nullable fields). None when the table also has variable-length
    fields, whose extra bits we do not try to place."""
    if any(f.type in 'VQW' for f in table.fields):
        return None
    bits, n = {}, 0
    for field in table.fields:
        if field.type != '0' and field.reserved1 & 0x02:
            bits[field.name] = n
            n += 1
    return bits


def looks_binary(value):
    """Pictures kept in text memos: dBase III memos end at the first 0x1A,
    which a PNG signature holds, so readers may disagree on their length."""
    return isinstance(value, str) and (value.startswith('\u2030PNG') or any(
        ord(c) < 32 and c not in '\r\n\t' for c in value))


def dump_raw(path):
    from dbfread import DBF, FieldParser
    from dbfread.memo import DB4MemoFile, DB4MemoHeader

    class DB4Memo(DB4MemoFile):
        """dBase IV memo entries: the length in the entry's 8-byte header
        counts the header too (dbfread reads 8 bytes too many)."""
        def __getitem__(self, index):
            if index <= 0:
                return None
            self.file.seek(0)
            block_size = struct.unpack('<H', self.file.read(22)[20:22])[0]
            self._seek(index * (block_size or 512))
            memo_header = DB4MemoHeader.read(self.file)
            return self._read(max(0, memo_header.length - 8))

    class Parser(FieldParser):
        """Leaves alone the types that we do not compare."""
        def parseD(self, field, data):
            try:
                return FieldParser.parseD(self, field, data)
            except ValueError:
                if data.strip(b' 0\0') == b'':
                    return None
                return b''  # an invalid date: not compared

        def parseN(self, field, data):
            data = data.replace(b'\0', b' ')  # NUL filled: empty
            try:
                return FieldParser.parseN(self, field, data)
            except ValueError:
                return b''  # not a number: not compared

        parseF = parseN

    for kind in 'VQW@+':
        setattr(Parser, 'parse' + kind, lambda self, field, data: b'')
    table = DBF(path, encoding=driver_encoding(path), load=False,
                parserclass=Parser, char_decode_errors='c1controls')
    size = os.path.getsize(path)
    header = table.header
    fits = max(0, (size - header.headerlen) // header.recordlen)
    bits = null_bits(table)
    # Offsets by position: some tables repeat a field name.
    offsets, pos = [], 1
    flags_at = None
    for field in table.fields:
        offsets.append(pos)
        if field.type == '0':
            flags_at = pos
        pos += field.length
    with open(path, 'rb') as infile, table._open_memofile() as memofile:
        if isinstance(memofile, DB4MemoFile):
            memofile.__class__ = DB4Memo
        parser = table.parserclass(table, memofile)
        infile.seek(header.headerlen)
        shown = 0
        for _ in range(min(header.numrecords, fits)):
            record = infile.read(header.recordlen)
            if record[0:1] == b'*':
                continue
            print('R\t%d' % shown)
            shown += 1
            flags = 0
            if flags_at is not None:
                flags = int.from_bytes(record[flags_at:flags_at + 2], 'little')
            for field, start in zip(table.fields, offsets):
                if field.type == '0':
                    continue  # _NullFlags is no field of the table's users
                data = record[start:start + field.length]
                nullable = field.reserved1 & 0x02
                if field.type in 'GPVQW' or (
                        field.type == 'B' and
                        header.dbversion not in (0x30, 0x31, 0x32)) or (
                        nullable and bits is None):
                    emit_value(field.name, b'')
                elif nullable and flags >> bits[field.name] & 1:
                    emit_value(field.name, None)
                else:
                    value = parser.parse(field, data)
                    if field.type in 'MB' and looks_binary(value):
                        value = b''  # binary kept in a text memo
                    emit_value(field.name, value)


def dump_yml(path):
    """A record of the corpus's YAML files: values in field order, named by
    their position."""
    import yaml
    with open(path, encoding='utf-8') as f:
        values = yaml.safe_load(f)
    print('R\t0')
    for n, value in enumerate(values):
        emit_value(str(n), value)


def main():
    command, arg = sys.argv[1], sys.argv[2]
    {'make': make, 'dbfread': dump_dbfread, 'dbf': dump_dbf,
     'raw': dump_raw, 'yml': dump_yml}[command](arg)


if __name__ == '__main__':
    main()
