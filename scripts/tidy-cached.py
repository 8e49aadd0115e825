#!/usr/bin/env python3
"""Runs clang-tidy over translation units, skipping each one whose last analysis found
nothing and whose inputs have not changed since.

    scripts/tidy-cached.py --build DIR [--jobs N] [--cache DIR] [--tidy PROG] FILE... [-- FLAG...]

A unit's key is a hash of everything its verdict depends on: the clang-tidy version, the
.clang-tidy files above it, the extra flags, its compile command (with the clone's and the
build's folders replaced by placeholders, so another clone of the same sources has the same
key), and the content of the source file and of every header it includes, as the build's
dependency log lists them (`ninja -t deps`). Any change to one of these makes the unit
analysed again. Only clean verdicts are kept: a unit with findings is analysed on every run,
and the run fails. A unit whose dependencies the log does not know (not built, or stale) is
always analysed.

The verdicts live in QUOTRA_TIDY_CACHE (default /var/cache/quotra-tidy, beside the compiler
cache), one empty file per clean key; files not used for 30 days are removed.
"""

import argparse
import concurrent.futures
import hashlib
import json
import os
import shlex
import subprocess
import sys
import tempfile
import time
from pathlib import Path

KEEP_DAYS = 30


def cache_folder(explicit):
    candidates = [explicit] if explicit else []
    candidates.append(os.environ.get("QUOTRA_TIDY_CACHE") or "/var/cache/quotra-tidy")
    candidates.append(os.path.join(os.environ.get("XDG_CACHE_HOME") or os.path.expanduser("~/.cache"), "quotra-tidy"))
    for c in candidates:
        try:
            os.makedirs(c, exist_ok=True)
            if os.access(c, os.W_OK):
                return Path(c)
        except OSError:
            continue
    return None


def read_deps(build):
    """Object (as the build names it) -> the files it was compiled from, or None when stale."""
    out = subprocess.run(["ninja", "-C", str(build), "-t", "deps"], capture_output=True, text=True, check=True).stdout
    deps, current = {}, None
    for line in out.splitlines():
        if not line.strip():
            current = None
        elif not line.startswith(" "):
            obj, _, state = line.partition(": ")
            current = obj
            deps[obj] = [] if "(VALID)" in state else None
        elif current is not None and deps[current] is not None:
            deps[current].append(line.strip())
    return deps


class Hasher:
    def __init__(self, source, build):
        self.source, self.build = str(source), str(build)
        self.files = {}

    def normal(self, text):
        # The build folder first: it usually lies inside the source folder.
        return text.replace(self.build, "@BUILD@").replace(self.source, "@SOURCE@")

    def file(self, path):
        digest = self.files.get(path)
        if digest is None:
            try:
                digest = hashlib.sha256(Path(path).read_bytes()).hexdigest()
            except OSError:
                digest = ""
            self.files[path] = digest
        return digest


def output_of(command):
    words = shlex.split(command)
    for i, w in enumerate(words):
        if w == "-o" and i + 1 < len(words):
            return words[i + 1]
    return None


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--build", required=True)
    ap.add_argument("--jobs", type=int, default=os.cpu_count() or 1)
    ap.add_argument("--cache")
    ap.add_argument("--tidy", default="clang-tidy")
    ap.add_argument("files", nargs="*")
    argv = sys.argv[1:]
    flags = []
    if "--" in argv:
        flags = argv[argv.index("--") + 1:]
        argv = argv[:argv.index("--")]
    args = ap.parse_args(argv)

    source = Path.cwd().resolve()
    build = Path(args.build).resolve()
    cache = cache_folder(args.cache)
    commands = {}
    for entry in json.loads((build / "compile_commands.json").read_text()):
        commands[str(Path(entry["directory"], entry["file"]).resolve())] = entry
    deps = read_deps(build)
    hasher = Hasher(source, build)
    version = subprocess.run([args.tidy, "--version"], capture_output=True, text=True).stdout
    common = hashlib.sha256()
    common.update(version.encode())
    common.update("\0".join(flags).encode())

    def key_of(name):
        path = (source / name).resolve()
        entry = commands.get(str(path))
        if entry is None:
            return None
        obj = output_of(entry["command"])
        files = deps.get(obj) if obj else None
        if not files:
            return None
        h = common.copy()
        h.update(hasher.normal(entry["command"]).encode())
        folder = path.parent
        while True:
            config = folder / ".clang-tidy"
            if config.is_file():
                h.update(hasher.normal(str(config)).encode() + b"\0" + hasher.file(str(config)).encode())
            if folder == source or folder == folder.parent:
                break
            folder = folder.parent
        for f in files:
            full = os.path.normpath(os.path.join(entry["directory"], f))
            digest = hasher.file(full)
            if not digest:
                return None
            h.update(hasher.normal(full).encode() + b"\0" + digest.encode() + b"\n")
        return h.hexdigest()

    todo, skipped = [], 0
    keys = {}
    for name in args.files:
        key = key_of(name) if cache else None
        keys[name] = key
        if key and (cache / key).exists():
            os.utime(cache / key)
            skipped += 1
        else:
            todo.append(name)

    def run(name):
        p = subprocess.run([args.tidy, "-p", str(build), "--quiet", *flags, name], capture_output=True, text=True)
        return name, p.returncode, p.stdout + p.stderr

    failed = 0
    with concurrent.futures.ThreadPoolExecutor(max_workers=max(1, args.jobs)) as pool:
        for name, rc, text in pool.map(run, todo):
            # clang-tidy counts the warnings it suppressed even with --quiet; only findings matter.
            lines = [l for l in text.splitlines() if not (l.endswith(" generated.") and l.split()[0].isdigit())]
            if lines:
                print("\n".join(lines))
            if rc != 0:
                failed += 1
            elif keys.get(name) and not lines:
                fd, tmp = tempfile.mkstemp(dir=cache)
                os.close(fd)
                os.replace(tmp, cache / keys[name])

    if cache:
        cutoff = time.time() - KEEP_DAYS * 86400
        for entry in cache.iterdir():
            try:
                if entry.stat().st_mtime < cutoff:
                    entry.unlink()
            except OSError:
                pass
    total = len(args.files)
    rate = 100.0 * skipped / total if total else 0.0
    print(f"clang-tidy cache: {skipped} of {total} units unchanged since a clean analysis ({rate:.0f} %), "
          f"{len(todo)} analysed, {failed} with findings" + ("" if cache else " (no cache folder)"))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
