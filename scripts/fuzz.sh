#!/bin/sh
# Builds every libFuzzer target with clang and runs each for a bounded time
# (FUZZ_SECONDS, default 20) from its seed corpus under tests/data/fuzz/<target>.
set -eu
cd "$(dirname "$0")/.."
secs="${FUZZ_SECONDS:-20}"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUOTRA_FUZZ=ON -DQUOTRA_TESTS=OFF -DQUOTRA_BENCHMARKS=OFF >/dev/null
cmake --build build-fuzz -j "$(nproc)"
status=0
for f in build-fuzz/bin/fuzz_*; do
  [ -x "$f" ] || continue
  name="$(basename "$f")"
  work="build-fuzz/corpus/$name"
  mkdir -p "$work"
  seeds="tests/data/fuzz/$name"
  [ -d "$seeds" ] || seeds=""
  echo "== $name for ${secs}s"
  if ! "$f" -max_total_time="$secs" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="build-fuzz/$name-" "$work" $seeds >"build-fuzz/$name.log" 2>&1; then
    tail -40 "build-fuzz/$name.log"
    status=1
  else
    grep -E '^(Done|#[0-9]+ +DONE)' "build-fuzz/$name.log" | tail -1 || true
  fi
done
exit $status
