#!/usr/bin/env python3
"""Compares the program's JSON export with Python's json module on the same 100,000 rows.

Usage: json_export.py BENCH_LISTS_BINARY

Runs the JSON export benchmark of bench_lists, then writes the same rows (made by the same
formulas as BenchRows.cpp) with json.dumps, checks that both files hold the same bytes, and
prints both medians and their ratio. The Python rows are built before timing, as the
program's rows exist before its export starts.
"""
import json
import os
import statistics
import subprocess
import sys
import tempfile
import time

ROWS = 100000
KEYS = ["code", "name", "market", "t_value", "difference", "ratio", "volume", "baibai", "o_price",
        "h_price", "l_price", "dividend", "yield", "datetime", "status", "zenjituowari", "nehaba",
        "jikasougaku", "hakkousu", "per", "pbr", "eps", "bps", "roe", "car", "saiteikounyu", "tangen",
        "shonen_max", "shonen_min", "sinyoukai", "zensyu1", "sinyouuri", "zensyu2", "sinyouritu",
        "buyday", "amount", "shares", "loss", "memo"]
SLOT_BY_FIELD = [-1, -1, 0, 1, 3, 4, 5, 6, 11, 7, 8, 9, 2, 10, -1, 31, 12, 13, 14, 15, 16,
                 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, -1, -1, -1, -1, -1]


def slot_text(i, slot):
    if slot == 0:
        return "銘柄%d" % i
    if slot == 1:
        return "東証PRM"
    return "%d.%d" % ((i * 31 + slot * 7) % 100000, slot % 10)


def row(i):
    obj = {}
    for field in range(1, 40):
        slot = SLOT_BY_FIELD[field]
        if slot >= 0:
            value = slot_text(i, slot)
        elif field == 1:
            value = str(100000 + i)
        elif field == 14:
            value = str(1700000000 + i)
        elif field == 35:
            value = str(1600000000 + i)
        elif field == 36:
            value = str(1000 * i)
        elif field == 37:
            value = str(100 * (i % 50))
        elif field == 38:
            value = str(-5 * i)
        else:
            value = "memo %d<br>second line" % i
        obj[KEYS[field - 1]] = value
    return obj


def main():
    binary = sys.argv[1]
    out = subprocess.run([binary, "--benchmark_filter=BM_JsonExport", "--benchmark_format=json",
                          "--benchmark_repetitions=3"], check=True, capture_output=True, text=True).stdout
    runs = [b for b in json.loads(out)["benchmarks"] if b.get("run_type") == "iteration"]
    cpp_ms = statistics.median(b["real_time"] for b in runs)

    items = [row(i) for i in range(ROWS)]
    path = os.path.join(tempfile.gettempdir(), "bench_lists_py.json")
    times = []
    for _ in range(3):
        start = time.perf_counter()
        with open(path, "w", encoding="utf-8-sig", newline="") as f:
            # dumps runs the C encoder; dump to a stream would take the pure-Python path.
            f.write(json.dumps({"items": items, "count": len(items)}, ensure_ascii=False, separators=(",", ":")))
            f.flush()
            os.fdatasync(f.fileno())  # the program's save reaches the disk too
        times.append((time.perf_counter() - start) * 1000)
    py_ms = statistics.median(times)

    with open(path, "rb") as a, open(os.path.join(tempfile.gettempdir(), "bench_lists.json"), "rb") as b:
        same = a.read() == b.read()
    print("JSON export of %d rows: program %.0f ms, Python json %.0f ms, ratio Python/program %.2f, same bytes: %s"
          % (ROWS, cpp_ms, py_ms, py_ms / cpp_ms, "yes" if same else "NO"))
    return 0 if same else 1


if __name__ == "__main__":
    sys.exit(main())
