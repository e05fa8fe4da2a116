"""Writes FoxPro-style dBase tables quickly, with the standard library only.

Fields are given as (name, type, width, decimals) with type C, N, D, L or M.
Rows are sequences of Python values in field order: str for C, int/float or
None for N, "YYYYMMDD" or "" for D, bool or None for L, str or None for M.

A table with a memo field is written as FoxPro 2 (version byte 0xF5) with a
.FPT file beside it; any other table as version 0x03. Text is encoded in code
page 1252 and the language-driver byte is 0x03 (Windows ANSI).
"""

import datetime
import os
import struct

ENCODING = "cp1252"
LANGUAGE_DRIVER_1252 = 0x03
MEMO_BLOCK_SIZE = 64


class _Field:
    def __init__(self, name, ftype, width, decimals=0):
        self.name = name.upper()
        self.ftype = ftype
        self.width = width
        self.decimals = decimals
        if ftype == "D":
            self.width = 8
        elif ftype == "L":
            self.width = 1
        elif ftype == "M":
            self.width = 10


class _MemoWriter:
    """FoxPro .FPT: a 512-byte header, then blocks of MEMO_BLOCK_SIZE bytes."""

    def __init__(self, path):
        self.out = open(path, "wb")
        self.out.write(b"\0" * 512)
        self.next_block = 512 // MEMO_BLOCK_SIZE

    def add(self, text):
        data = text.encode(ENCODING)
        block = self.next_block
        payload = struct.pack(">II", 1, len(data)) + data
        blocks = (len(payload) + MEMO_BLOCK_SIZE - 1) // MEMO_BLOCK_SIZE
        self.out.write(payload.ljust(blocks * MEMO_BLOCK_SIZE, b"\0"))
        self.next_block += blocks
        return block

    def close(self):
        self.out.seek(0)
        self.out.write(struct.pack(">IHH", self.next_block, 0, MEMO_BLOCK_SIZE))
        self.out.close()


def _encode(field, value, memo):
    width = field.width
    t = field.ftype
    if t == "C":
        raw = (value or "").encode(ENCODING)[:width]
        return raw.ljust(width, b" ")
    if t == "N":
        if value is None or value == "":
            return b" " * width
        if field.decimals:
            text = "%.*f" % (field.decimals, value)
        else:
            text = "%d" % value
        if len(text) > width:
            raise ValueError("%s: %r does not fit in %d" % (field.name, value, width))
        return text.rjust(width).encode("ascii")
    if t == "D":
        return (value or "").encode("ascii").ljust(8, b" ")[:8]
    if t == "L":
        return b"?" if value is None else (b"T" if value else b"F")
    if t == "M":
        if not value:
            return b" " * 10
        return str(memo.add(value)).rjust(10).encode("ascii")
    raise ValueError("unknown field type " + t)


def write_table(path, fields, rows, deleted=(), today=None):
    """Writes rows to path (a .dbf name). `deleted` holds row numbers
    (0-based) written with the deletion flag. Returns the number of rows."""
    fields = [_Field(*f) for f in fields]
    has_memo = any(f.ftype == "M" for f in fields)
    memo = None
    if has_memo:
        memo = _MemoWriter(os.path.splitext(path)[0] + ".fpt")
    today = today or datetime.date(2026, 9, 1)
    header_len = 32 + 32 * len(fields) + 1
    record_len = 1 + sum(f.width for f in fields)
    deleted = set(deleted)
    simple = not has_memo and all(f.ftype == "C" for f in fields)
    count = 0
    with open(path, "wb") as out:
        out.write(b"\0" * header_len)
        chunk = []
        for number, row in enumerate(rows):
            flag = b"*" if number in deleted else b" "
            if simple:
                parts = [flag]
                for f, v in zip(fields, row):
                    parts.append((v or "").encode(ENCODING)[: f.width].ljust(f.width, b" "))
            else:
                parts = [flag] + [_encode(f, v, memo) for f, v in zip(fields, row)]
            chunk.append(b"".join(parts))
            count += 1
            if len(chunk) >= 4096:
                out.write(b"".join(chunk))
                chunk = []
        out.write(b"".join(chunk))
        out.write(b"\x1a")
        out.seek(0)
        version = 0xF5 if has_memo else 0x03
        out.write(struct.pack("<BBBBIHH16xBBxx", version, today.year - 1900,
                              today.month, today.day, count, header_len,
                              record_len, 0, LANGUAGE_DRIVER_1252))
        offset = 1
        for f in fields:
            name = f.name.encode("ascii")[:10].ljust(11, b"\0")
            out.write(name + f.ftype.encode("ascii")
                      + struct.pack("<IBB14x", offset, f.width, f.decimals))
            offset += f.width
        out.write(b"\r")
    if memo:
        memo.close()
    return count
