#!/usr/bin/python3
"""Our workbook export and import against Python's XlsxWriter and openpyxl, in one run.

    compare.py BIN_DIR [--runs N] [--dir DIR]

Runs BIN_DIR/bench_workbook (our export of 100,000 rows and the import of that file), then
times XlsxWriter (constant_memory) writing the same cells, number formats, alignments,
widths and links, and openpyxl's read_only reader reading our file cell by cell. Prints
medians and the ratios against the targets (export 0.3, import 0.25).
"""

import argparse
import json
import os
import re
import statistics
import subprocess
import sys
import tempfile
import time

import openpyxl
import xlsxwriter

MAX_LINKS = 65530  # links a sheet holds; both writers stop linking there
ALIGN = {0: "left", 1: "right", 2: "center"}


def write_with_xlsxwriter(cells, path):
    wb = xlsxwriter.Workbook(path, {"constant_memory": True})
    ws = wb.add_worksheet("bench")
    formats, link_format = [], None
    link_column = next((i for i, c in enumerate(cells["columns"]) if c["field"] == 2), 0)
    for c in cells["columns"]:
        props = {"align": ALIGN[c["align"]]}
        if c["format"]:
            props["num_format"] = c["format"]
        formats.append(wb.add_format(props))
    link_col = cells["columns"][link_column]
    link_props = {"align": ALIGN[link_col["align"]], "font_color": "#0563C1", "underline": 1}
    if link_col["format"]:
        link_props["num_format"] = link_col["format"]
    link_format = wb.add_format(link_props)
    for i, c in enumerate(cells["columns"]):
        ws.set_column(i, i, c["width"], formats[i])
        ws.write_string(0, i, c["caption"], formats[i])
    links = cells["links"]
    for r, row in enumerate(cells["rows"], start=1):
        for i, v in enumerate(row):
            if i == link_column and r <= MAX_LINKS:
                ws.write_url(r, i, links[r - 1], link_format, v if isinstance(v, str) else None)
                if not isinstance(v, str) and v is not None:
                    ws.write_number(r, i, v, link_format)
            elif v is None:
                continue
            elif isinstance(v, str):
                ws.write_string(r, i, v, formats[i])
            else:
                ws.write_number(r, i, v, formats[i])
    wb.close()


def read_with_openpyxl(path):
    wb = openpyxl.load_workbook(path, read_only=True)
    ws = wb.active
    count = 0
    for row in ws.iter_rows(values_only=True):
        for v in row:
            if v is not None:
                count += 1
    wb.close()
    return count


def timed(runs, work):
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        work()
        times.append((time.perf_counter() - start) * 1000)
    return statistics.median(times), min(times)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("bin_dir")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--dir", default=None, help="where the workbooks go (a temporary folder)")
    args = parser.parse_args()
    work_dir = args.dir or tempfile.mkdtemp(prefix="bench_workbook.")
    os.makedirs(work_dir, exist_ok=True)

    ours = subprocess.run([os.path.join(args.bin_dir, "bench_workbook"), "--runs", str(args.runs), work_dir],
                          check=True, capture_output=True, text=True).stdout
    sys.stdout.write(ours)
    results = {m.group(1).strip(): float(m.group(2))
               for m in re.finditer(r"^RESULT (.+?)\s+median\s+([\d.]+) ms", ours, re.M)}

    with open(os.path.join(work_dir, "cells.json"), encoding="utf-8") as f:
        cells = json.load(f)
    theirs_path = os.path.join(work_dir, "xlsxwriter.xlsx")
    ours_path = os.path.join(work_dir, "ours.xlsx")
    write_median, write_min = timed(args.runs, lambda: write_with_xlsxwriter(cells, theirs_path))
    print(f"RESULT {'xlsxwriter write':<22} median {write_median:9.1f} ms  min {write_min:9.1f} ms"
          f"  ({args.runs} runs)")
    counted = read_with_openpyxl(ours_path)
    read_median, read_min = timed(args.runs, lambda: read_with_openpyxl(ours_path))
    print(f"RESULT {'openpyxl read_only':<22} median {read_median:9.1f} ms  min {read_min:9.1f} ms"
          f"  ({args.runs} runs, {counted} values)")

    export_ratio = results["export"] / write_median
    import_ratio = results["import"] / read_median
    print(f"export / XlsxWriter = {export_ratio:.3f} (target <= 0.30: {'met' if export_ratio <= 0.3 else 'missed'})")
    print(f"import / openpyxl   = {import_ratio:.3f} (target <= 0.25: {'met' if import_ratio <= 0.25 else 'missed'})")
    print(f"files: ours {os.path.getsize(ours_path)} bytes, XlsxWriter {os.path.getsize(theirs_path)} bytes"
          f" (in {work_dir})")
    return 0


if __name__ == "__main__":
    sys.exit(main())
