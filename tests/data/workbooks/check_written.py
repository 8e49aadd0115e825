#!/usr/bin/python3
"""Checks workbooks that Quotra wrote the way a spreadsheet program reads them (openpyxl).

    check_written.py --site-root URL --strings lang/ja/strings.txt table|across|down FILE.xlsx

The list is the one tests/document/workbook/WrittenByOthersViewTest.cpp builds; its expected
cells are written out here from the record texts by the workbook rules (what typing the text
into a cell gives, the number format of each field, the list column's alignment, the quote
page link), not taken from a file we wrote. Every mismatch is printed as a FAIL line; the
exit status is 1 when there was any.
"""

import argparse
import datetime
import re
import sys
import urllib.parse

import openpyxl

# Number formats by field number, in the file's invariant form (the local colour name is
# written as "[Red]"). Fields without one read back as "General".
FMT_PRICE = "#,##0.?? ;[Red]-#,##0.?? ;0.?? "
FMT_SIGNED = "+#,##0.?? ;[Red]-#,##0.?? ;0.?? "
FMT_RATIO = "+0.00 ;[Red]-0.00 ;0.00 "
FMT_TWO = "#,##0.00 "
FMT_YIELD = "0.00 "
FMT_DATETIME = "yyyy/mm/dd hh:mm "
FMT_SIGNED_INT = "+#,##0 ;[Red]-#,##0 ;0 "
FMT_DAY = "yyyy/mm/dd "
FMT_INT = "#,##0 "
FORMATS = {4: FMT_PRICE, 9: FMT_PRICE, 10: FMT_PRICE, 11: FMT_PRICE, 5: FMT_SIGNED, 38: FMT_SIGNED,
           6: FMT_RATIO, 12: FMT_TWO, 13: FMT_YIELD, 14: FMT_DATETIME, 31: FMT_SIGNED_INT,
           33: FMT_SIGNED_INT, 35: FMT_DAY, 36: FMT_INT, 37: FMT_INT, 34: FMT_TWO}
FORMATS.update({f: FMT_TWO for f in range(20, 26)})
# A rate typed as a percentage ("-1.49%") gets a percent format with the sign rule of its
# column instead of the column's own.
FMT_RATIO_PERCENT = "+0.00% ;[Red]-0.00% ;0.00% "


def expected_format(field, value):
    if field == 6 and isinstance(value, (int, float)):
        return FMT_RATIO_PERCENT
    return FORMATS.get(field, "General")

# The exported columns of the test's list: field number and the list column's alignment.
TABLE_COLUMNS = [(1, "right"), (2, "center"), (3, "center"), (4, "right"), (5, "right"), (6, "right"),
                 (7, "right"), (12, "right"), (13, "right"), (14, "left"), (15, "left"), (20, "center"),
                 (31, "right"), (34, "right"), (35, "left"), (36, "right"), (37, "right"), (38, "right"),
                 (39, "left")]
# Fields a comparison leaves out; the update time has a place of its own (A3, then column A
# or row 3).
COMPARE_LEFT_OUT = {1, 2, 3, 14, 15, 35, 39}

T = datetime.datetime
CLOSE = T(2026, 7, 16, 15, 0)
CLOSE_BEFORE = T(2026, 7, 15, 15, 0)
LONG_NAME = "ソニーグループ株式会社（エンタテインメント・テクノロジー＆サービス）"


def rec(code, link, name, market, price, diff, ratio, volume, dividend, yld, when, status, per,
        zensyu1, sinyouritu, holding=None):
    """One record as cells: field -> expected value (None: no cell). Code, name, market,
    status and memo are texts whatever they hold; in the other fields numbers are what the
    texts mean when typed (grouping commas dropped, "%" as hundredths), "---" stays text, and
    dividend and yield hold nothing for "---"."""
    cells = {1: code, 2: name, 3: market, 4: price, 5: diff, 6: ratio, 7: volume, 12: dividend,
             13: yld, 14: when, 15: status, 20: per, 31: zensyu1, 34: sinyouritu}
    buyday, amount, shares, loss, memo = holding or (None,) * 5
    cells.update({35: buyday, 36: amount, 37: shares, 38: loss, 39: memo})
    return {"code": code, "link": link, "cells": cells}


FAILED = "ERROR:情報の取得に失敗しました"
# The rows in the table's order (the list's code order).
ROWS = [
    rec("6758", "quote/6758.T", LONG_NAME, "東証PRM", 13000, 250, 0.0196, 3210000, 100, 0.77, CLOSE,
        "更新済", "---", 1500, "---"),
    rec("7201", "quote/7201.T", "トヨタ自動車", "東証STD", 450.5, 0, 0, 0, 20, 4.44, CLOSE, "更新済", 8,
        0, 1),
    rec("7203", "quote/7203.T", "トヨタ自動車", "東証PRM", 3000, -45.5, -0.0149, 12345600, None, 2.5,
        CLOSE, "更新済", 10.25, -1200, 3.21, (T(2025, 4, 1), 300000, 100, -12345, "配当狙い")),
    rec("7974", "quote/7974.T", "任天堂 *", "東証PRM", "---", "---", "---", "---", None, None,
        T(2026, 7, 15, 9, 30), FAILED, "---", "---", "---"),
    rec("998407.O", "quote/998407.O", "日経平均株価", None, 38123.45, 120.5, 0.0032, "---", None, None,
        CLOSE, "更新済", "---", "---", "---"),
    rec("AAPL", "quote/AAPL", "Apple Inc.", "NASDAQ", 187.44, 1.2, 0.0064, 55123456, 0.96, 0.51, CLOSE,
        "更新済", 29.1, "---", "---", (T(2024, 1, 5), 27000, 150, 1116, "NISA")),
    rec("^DJI", "quote/^DJI", "NYダウ", None, 40001.12, -1234.56, -0.0299, "---", None, None,
        T(2026, 7, 16, 6, 5), "更新済", "---", "---", "---"),
]
TABLE_SHEET = "ウォッチリスト2026年7月"  # from "ウォッチリスト2026年7月 **"


def compare_sheets():
    """The comparison's sheets in code order: (sheet name, name in A2, link, records oldest
    first). The first list holds every row on the 15th; the second Toyota renamed with new
    prices and Apple with a new price on the 16th."""
    sheets = []
    names = {"6758": LONG_NAME[:31], "7201": "トヨタ自動車", "7203": "トヨタ自動車 (2)", "7974": "任天堂",
             "998407.O": "日経平均株価", "AAPL": "Apple Inc.", "^DJI": "NYダウ"}
    for row in ROWS:
        older = dict(row["cells"])
        if older[14] == CLOSE:
            older[14] = CLOSE_BEFORE
        records = [older]
        if row["code"] == "7203":
            newer = dict(row["cells"])
            newer.update({2: "トヨタ自動車(株)", 4: 3055.5, 5: 55.5, 6: 0.0185})
            records.append(newer)
        elif row["code"] == "AAPL":
            newer = dict(row["cells"])
            newer[4] = 1001.5
            records.append(newer)
        sheets.append((names[row["code"]], records[-1][2], row["link"], records))
    return sheets


class Checker:
    def __init__(self, site_root, captions):
        self.site_root = site_root
        self.captions = captions
        self.failures = 0

    def fail(self, where, what):
        self.failures += 1
        print(f"FAIL {where}: {what}")

    def value(self, where, cell, expected):
        got = cell.value
        if expected is None:
            if got is not None:
                self.fail(where, f"expected no cell, found {got!r} ({cell.data_type})")
            return
        if isinstance(expected, T):
            if not isinstance(got, T):
                self.fail(where, f"expected the date {expected}, found {got!r} ({cell.data_type})")
            elif abs((got - expected).total_seconds()) > 1:
                self.fail(where, f"expected the date {expected}, found {got}")
            return
        if isinstance(expected, (int, float)):
            if isinstance(got, bool) or not isinstance(got, (int, float)) or cell.data_type != "n":
                self.fail(where, f"expected the number {expected}, found {got!r} ({cell.data_type})")
            elif abs(got - expected) > 1e-9 * max(1.0, abs(expected)):
                self.fail(where, f"expected {expected}, found {got}")
            return
        if not isinstance(got, str) or cell.data_type != "s":
            self.fail(where, f"expected the text {expected!r}, found {got!r} ({cell.data_type})")
        elif got != expected:
            self.fail(where, f"expected {expected!r}, found {got!r}")

    def number_format(self, where, cell, expected):
        got = cell.number_format
        if got != expected:
            self.fail(where, f"number format {got!r}, expected {expected!r}")
        if "赤" in got or re.search(r"\[(?!Red\]|\$|<|>|=)[^\]]*\]", got):
            self.fail(where, f"number format {got!r} names a colour other programs do not know")

    def align(self, where, cell, expected):
        got = cell.alignment.horizontal
        if got != expected:
            self.fail(where, f"horizontal alignment {got!r}, expected {expected!r}")

    def link(self, where, cell, expected_path):
        expected = self.site_root + expected_path
        if cell.hyperlink is None or not cell.hyperlink.target:
            self.fail(where, f"no hyperlink, expected {expected}")
            return
        got = cell.hyperlink.target
        # A spreadsheet opens a percent-escaped address as the same page.
        if urllib.parse.unquote(got) != expected:
            self.fail(where, f"hyperlink {got}, expected {expected}")

    def no_other_links(self, ws, allowed):
        for link in ws._hyperlinks:
            if link.ref not in allowed:
                self.fail(f"{ws.title}!{link.ref}", f"unexpected hyperlink {link.target}")

    def sheet_names(self, wb, expected):
        names = wb.sheetnames
        if names != expected:
            self.fail("sheets", f"names {names}, expected {expected}")
        seen = set()
        for name in names:
            if not 1 <= len(name) <= 31:
                self.fail("sheets", f"{name!r} is {len(name)} characters long")
            if re.search(r"[\[\]:*?/\\]", name) or name.startswith("'") or name.endswith("'"):
                self.fail("sheets", f"{name!r} holds a character a sheet name cannot")
            if name.lower() in seen:
                self.fail("sheets", f"{name!r} is there twice")
            seen.add(name.lower())

    def caption(self, field):
        return self.captions[1000 + field]

    def table(self, path):
        wb = openpyxl.load_workbook(path)
        self.sheet_names(wb, [TABLE_SHEET])
        ws = wb.worksheets[0]
        if ws.max_row != len(ROWS) + 1 or ws.max_column != len(TABLE_COLUMNS):
            self.fail("table", f"used range {ws.max_row} x {ws.max_column}, expected "
                      f"{len(ROWS) + 1} x {len(TABLE_COLUMNS)}")
        link_refs = set()
        for c, (field, alignment) in enumerate(TABLE_COLUMNS, start=1):
            letter = openpyxl.utils.get_column_letter(c)
            header = ws.cell(row=1, column=c)
            self.value(f"{letter}1", header, self.caption(field))
            self.align(f"{letter}1", header, alignment)
            for r, row in enumerate(ROWS, start=2):
                where = f"{letter}{r} ({row['code']}, field {field})"
                cell = ws.cell(row=r, column=c)
                expected = row["cells"][field]
                self.value(where, cell, expected)
                if expected is not None:
                    self.number_format(where, cell, expected_format(field, expected))
                    self.align(where, cell, alignment)
                if field == 2:
                    self.link(where, cell, row["link"])
                    link_refs.add(f"{letter}{r}")
        self.no_other_links(ws, link_refs)

    def compare(self, path, down):
        wb = openpyxl.load_workbook(path)
        sheets = compare_sheets()
        self.sheet_names(wb, [s[0] for s in sheets])
        titles = [(f, a) for f, a in TABLE_COLUMNS if f not in COMPARE_LEFT_OUT]
        for ws, (_, name, link, records) in zip(wb.worksheets, sheets):
            # The used range first: looking at a cell makes openpyxl count it as used.
            rows, columns = (3 + len(titles), 1 + len(records)) if down else (3 + len(records), 1 + len(titles))
            if ws.max_row != rows or ws.max_column != columns:
                self.fail(ws.title, f"used range {ws.max_row} x {ws.max_column}, expected {rows} x {columns}")
            def at(row, column):
                return ws.cell(row=row, column=column)

            def where(row, column, what=""):
                return f"{ws.title}!{openpyxl.utils.get_column_letter(column)}{row}{what}"

            for column in range(1, 4):
                if at(1, column).value is not None:
                    self.fail(where(1, column), "row 1 is not empty")
            self.value(where(2, 1), at(2, 1), name)
            self.link(where(2, 1), at(2, 1), link)
            self.no_other_links(ws, {"A2"})
            self.value(where(3, 1), at(3, 1), self.caption(14))
            for t, (field, alignment) in enumerate(titles):
                # Across: titles along row 3 from B3, aligned like their list columns.
                # Down: titles down column A from A4, aligned as the sheet's default.
                r, c = (4 + t, 1) if down else (3, 2 + t)
                self.value(where(r, c), at(r, c), self.caption(field))
                self.align(where(r, c), at(r, c), None if down else alignment)
            for i, cells in enumerate(records):
                r, c = (3, 2 + i) if down else (4 + i, 1)
                self.value(where(r, c, " (time)"), at(r, c), cells[14])
                self.number_format(where(r, c), at(r, c), FMT_DATETIME)
                for t, (field, _) in enumerate(titles):
                    r, c = (4 + t, 2 + i) if down else (4 + i, 2 + t)
                    w = where(r, c, f" (record {i + 1}, field {field})")
                    self.value(w, at(r, c), cells[field])
                    if cells[field] is not None:
                        self.number_format(w, at(r, c), expected_format(field, cells[field]))


def read_captions(path):
    captions = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            number, _, text = line.rstrip("\n").partition("\t")
            if number.isdigit():
                captions[int(number)] = text
    return captions


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--site-root", required=True)
    parser.add_argument("--strings", required=True, help="the language module's strings.txt")
    parser.add_argument("kind", choices=["table", "across", "down"])
    parser.add_argument("file")
    args = parser.parse_args()
    checker = Checker(args.site_root, read_captions(args.strings))
    if args.kind == "table":
        checker.table(args.file)
    else:
        checker.compare(args.file, args.kind == "down")
    if checker.failures:
        print(f"{checker.failures} problem(s) in {args.file}")
        return 1
    print(f"ok: {args.file}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
