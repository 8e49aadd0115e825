#!/bin/sh
# Builds every libFuzzer target with clang and runs each for a bounded time
# (FUZZ_SECONDS, default 20) from its seed corpus under tests/data/fuzz/<target>.
# FUZZ_SEEDS_ONLY=1 runs each target once over its seed corpus instead (what CI does): a
# quick check that the targets build and that no seed crashes.
set -eu
cd "$(dirname "$0")/.."
. scripts/ccache-env.sh
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
  if [ "${FUZZ_SEEDS_ONLY:-0}" = 1 ]; then
    echo "== $name over its seeds"
    limit="-runs=0"
  else
    echo "== $name for ${secs}s"
    limit="-max_total_time=$secs"
  fi
  # shellcheck disable=SC2086 # $seeds is one folder or nothing
  if ! "$f" "$limit" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="build-fuzz/$name-" "$work" $seeds >"build-fuzz/$name.log" 2>&1; then
    tail -40 "build-fuzz/$name.log"
    status=1
  else
    grep -E '^(Done|#[0-9]+ +DONE)' "build-fuzz/$name.log" | tail -1 || true
  fi
done
exit $status
