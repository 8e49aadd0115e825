#!/usr/bin/env python3
"""Writes the golden list files of every version into this folder.

Each file is encoded here independently of the program's own writer, so that the reader
tests check the program against a second implementation of the byte layout. Run it from
anywhere; it rewrites the *.kabu files next to itself.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

CODES = ["7203", "6758"]          # deliberately not in code order
SYSTEM_COLOURS = (0x000000, 0xFFFFFF)  # window text, window (the readers' defaults)
OTHER_COLOURS = (0x0000FF, 0x00FFFF)


def u8(v): return struct.pack("<B", v)
def u16(v): return struct.pack("<H", v)
def u32(v): return struct.pack("<I", v)
def i64(v): return struct.pack("<q", v)
def f64(v): return struct.pack("<d", v)


def length(n):
    if n < 0xFF:
        return u8(n)
    if n < 0xFFFE:
        return u8(0xFF) + u16(n)
    if n < 0xFFFFFFFF:
        return u8(0xFF) + u16(0xFFFF) + u32(n)
    return u8(0xFF) + u16(0xFFFF) + u32(0xFFFFFFFF) + struct.pack("<Q", n)


def ustr(s):
    data = s.encode("utf-16-le")
    return u8(0xFF) + u16(0xFFFE) + length(len(data) // 2) + data


def astr(s):
    data = s.encode("cp932")
    return length(len(data)) + data


def slot_text(code, slot):
    if slot == 31:
        return "ERROR:stale"     # the reader must drop the status of the last update
    return "%s:%d" % (code, slot)


def legacy_row(code, index, with_colours, ansi_name=False):
    out = u32(int(code))
    for slot in range(12):
        if slot == 0 and ansi_name and index == 0:
            out += astr("トヨタ～自動車")   # 8-bit CP932 text without the UTF-16 marker
        else:
            out += ustr(slot_text(code, slot))
    out += i64(1700000000 + index)
    if with_colours:
        text, back = SYSTEM_COLOURS if index == 0 else OTHER_COLOURS
        out += u32(text) + u32(back)
    return out


def holdings(index):
    if index != 0:
        return u8(0)
    return u8(1) + i64(1600000000) + f64(100000.0) + f64(100.0) + f64(23400.0) + ustr("line1\r\nline2")


def modern_row(code, index, numeric_code, slots, with_holdings, status=True):
    out = u32(int(code)) if numeric_code else ustr(code)
    text, back = SYSTEM_COLOURS if index == 0 else OTHER_COLOURS
    out += i64(1700000000 + index) + u32(text) + u32(back)
    for slot in slots:
        out += ustr(slot_text(code, slot) if status or slot != 31 else "")
    if with_holdings:
        out += holdings(index)
    return out


SLOTS_30 = [s for s in range(32) if s not in (20, 21)]
SLOTS_32 = list(range(32))


def layout(order, align, width, index, sort):
    return ustr(order) + ustr(align) + ustr(width) + ustr(index) + u32(sort)


MODERN_LAYOUT = layout("0,1,2,3,", "0,0,1,1,", "20,80,120,90,", "0,1,2,4,", (2 << 16) | 1)


def list_file(version, rows, tail=b""):
    return u32(version) + u32(len(rows)) + b"".join(rows) + tail


def files():
    yield "v20090227.kabu", list_file(20090227, [legacy_row(c, i, False) for i, c in enumerate(CODES)])
    yield "v20130210.kabu", list_file(20130210, [legacy_row(c, i, False, ansi_name=True) for i, c in enumerate(CODES)])
    for v in (20190620, 20190701, 20200801, 20210320):
        yield "v%d.kabu" % v, list_file(v, [legacy_row(c, i, True) for i, c in enumerate(CODES)])
    yield "v20211020.kabu", list_file(20211020, [modern_row(c, i, True, SLOTS_30, False) for i, c in enumerate(CODES)])
    yield "v20211101.kabu", list_file(20211101, [modern_row(c, i, False, SLOTS_30, False) for i, c in enumerate(CODES)])
    rows = [modern_row(c, i, False, SLOTS_30, True) for i, c in enumerate(CODES)]
    yield "v20230601.kabu", list_file(20230601, rows, layout("0,1,2,", "0,0,1,", "20,80,90,", "1,2,24,", 1))
    yield "v20230601_unmoved.kabu", list_file(20230601, rows, layout("0,1,2,", "0,0,1,", "20,80,90,", "1,2,3,", 1))
    for v in (20240409, 20260714, 20260716):
        yield "v%d.kabu" % v, list_file(v, [modern_row(c, i, False, SLOTS_32, True) for i, c in enumerate(CODES)], MODERN_LAYOUT)
    # What the writer must produce for the same rows: code order, status slot empty.
    ordered = sorted(enumerate(CODES), key=lambda p: p[1])
    yield "store_current.kabu", list_file(20260716, [modern_row(c, i, False, SLOTS_32, True, status=False) for i, c in ordered], MODERN_LAYOUT)


def main():
    for name, data in files():
        with open(os.path.join(HERE, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
