#!/usr/bin/python3
"""Writes the workbook fixtures of the reader tests with other programs' writers (openpyxl,
xlwt) and, for what those cannot write (inline and rich strings, cached formula values),
with hand-made sheet XML. Run from anywhere: /usr/bin/python3 make_fixtures.py"""
import datetime
import os
import zipfile

import openpyxl
import xlwt
from openpyxl.utils.datetime import CALENDAR_MAC_1904

HERE = os.path.dirname(os.path.abspath(__file__))
HEADER = ["コード", "銘柄名", "現在値", "更新日時"]


def path(name):
    return os.path.join(HERE, name)


def book(rows, name, epoch=None, title="Sheet"):
    wb = openpyxl.Workbook()
    if epoch is not None:
        wb.epoch = epoch
    ws = wb.active
    ws.title = title
    for r in rows:
        ws.append(r)
    wb.save(path(name))


def main():
    t = datetime.datetime(2026, 7, 16, 9, 0)
    # Two title rows, a blank row, then the header; a code held as the number 7203.
    book([["株価一覧"], ["2026年7月"], [], HEADER,
          [7203, "トヨタ自動車", 2788.5, t],
          ["6758", "ソニー", "3,397", t + datetime.timedelta(minutes=5)],
          [None, "コードなし", 1, None],
          ["7203", "重複", 9, None]], "header_below_titles.xlsx")
    book([["コード"] + ["c%d" % i for i in range(40)], [7203] + list(range(40))], "wide41.xlsx")
    book([["銘柄名", "現在値"], ["トヨタ", 1]], "no_code.xlsx")
    book([HEADER], "no_rows.xlsx")
    book([HEADER, ["7203", "トヨタ", 1, t]], "date1904.xlsx", epoch=CALENDAR_MAC_1904)
    book([HEADER, ["7203", "トヨタ", 1, t], ["6758", "ソニー", 2, datetime.datetime(1965, 3, 1, 10, 0)]],
         "before1970.xlsx")
    book([["コード", "購入日", "購入金額", "株数", "損益", "メモ"],
          ["7203", datetime.datetime(2025, 4, 1), 250000, 100, -1234.5, "長期"],
          ["6758", None, None, None, None, None]], "holdings.xlsx")
    # The active sheet is the second one.
    wb = openpyxl.Workbook()
    first = wb.active
    first.title = "Notes"
    first.append(["メモ", "not a list"])
    second = wb.create_sheet("List")
    second.append(HEADER)
    second.append(["9432", "NTT", 150, t])
    wb.active = 1
    wb.save(path("active_second.xlsx"))
    write_formats()
    write_raw()
    write_xls(t)


def write_formats():
    """Numbers as a spreadsheet holds them: a code as a number, rates in percent formats,
    update times with seconds, memos typed into numbers and dates."""
    wb = openpyxl.Workbook()
    ws = wb.active
    ws.append(["コード", "前日比率", "更新日時", "メモ"])
    rows = [(7203, -0.0078, "0.00%", datetime.datetime(2025, 1, 5, 8, 5, 59), 42, "General"),
            (6758, 0.0044, "0%", datetime.datetime(2025, 1, 5, 8, 5, 59, 600000), 1200, "#,##0"),
            (9984, 0.0196, "+0.00 ;[Red]-0.00 ;0.00 ", datetime.datetime(2025, 1, 5, 15, 0), 0.5, "0%"),
            (8306, 1.5, "General", datetime.datetime(2025, 1, 5, 15, 0),
             datetime.datetime(2025, 1, 5), "yyyy/m/d")]
    for r, (code, rate, rate_format, when, memo, memo_format) in enumerate(rows, start=2):
        ws.cell(row=r, column=1, value=code)
        ws.cell(row=r, column=2, value=rate).number_format = rate_format
        ws.cell(row=r, column=3, value=when).number_format = "yyyy/mm/dd hh:mm:ss"
        ws.cell(row=r, column=4, value=memo).number_format = memo_format
    wb.save(path("formats.xlsx"))


def write_raw():
    """Shared, inline and rich strings with a reading aid, a formula's cached value, an error,
    a boolean, and a date cell of type "d", in parts as a spreadsheet program stores them."""
    ct = ('<?xml version="1.0" encoding="UTF-8"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
          '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
          '<Default Extension="xml" ContentType="application/xml"/></Types>')
    rels = ('<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
            '<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>')
    wbx = ('<?xml version="1.0" encoding="UTF-8"?><workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" '
           'xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheets>'
           '<sheet name="S" sheetId="1" r:id="rId1"/></sheets></workbook>')
    wbrels = ('<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
              '<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>'
              '<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/></Relationships>')
    sst = ('<?xml version="1.0" encoding="UTF-8"?><sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" count="4" uniqueCount="4">'
           '<si><t>コード</t></si><si><t>銘柄名</t></si>'
           '<si><r><rPr><b/></rPr><t>トヨタ</t></r><r><t xml:space="preserve"> 自動車</t></r><rPh sb="0" eb="3"><t>トヨタ</t></rPh></si>'
           '<si><t>現在値</t></si></sst>')
    c = 'xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"'
    sheet = ('<?xml version="1.0" encoding="UTF-8"?><worksheet ' + c + '><dimension ref="A1:D6"/><sheetData>'
             '<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="s"><v>1</v></c><c r="C1" t="s"><v>3</v></c></row>'
             '<row r="3"><c r="A3" t="inlineStr"><is><t>7203</t></is></c><c r="B3" t="s"><v>2</v></c>'
             '<c r="C3"><f>1+1</f><v>2788.5</v></c></row>'
             '<row r="4"><c r="A4" t="inlineStr"><is><r><t>67</t></r><r><t>58</t></r></is></c>'
             '<c r="B4" t="str"><f>"ソ"&amp;"ニー"</f><v>ソニー</v></c><c r="C4" t="e"><v>#DIV/0!</v></c></row>'
             '<row r="5"><c r="A5"><v>9432</v></c><c r="B5" t="b"><v>1</v></c><c r="C5" t="d"><v>2026-07-16T09:00:00</v></c></row>'
             '<row r="6"><c r="A6" t="s"><v>99</v></c><c r="D6" t="n"><v>not a number</v></c></row>'
             '</sheetData></worksheet>')
    with zipfile.ZipFile(path("strings_raw.xlsx"), "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr("[Content_Types].xml", ct)
        z.writestr("_rels/.rels", rels)
        z.writestr("xl/workbook.xml", wbx)
        z.writestr("xl/_rels/workbook.xml.rels", wbrels)
        z.writestr("xl/sharedStrings.xml", sst)
        z.writestr("xl/worksheets/sheet1.xml", sheet)


def write_xls(t):
    wb = xlwt.Workbook(encoding="utf-8")
    ws = wb.add_sheet("List")
    date = xlwt.easyxf(num_format_str="yyyy/mm/dd hh:mm")
    for i, h in enumerate(HEADER + ["購入日"]):
        ws.write(0, i, h)
    ws.write(1, 0, 7203)
    ws.write(1, 1, "トヨタ")
    ws.write(1, 2, 2788.5)
    ws.write(1, 3, t, date)
    ws.write(1, 4, datetime.datetime(2025, 4, 1), xlwt.easyxf(num_format_str="yyyy/mm/dd"))
    ws.write(2, 0, "6758")
    ws.write(2, 1, "ソニー")
    ws.write(2, 2, 3397)
    wb.save(path("dates.xls"))


if __name__ == "__main__":
    main()
