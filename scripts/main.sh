#!/bin/sh
# Installs the dependencies, builds Quotra and runs its main job.
set -eu
cd "$(dirname "$0")/.."
if [ "${QUOTRA_SKIP_DEPS:-0}" != 1 ]; then
  scripts/install-deps.sh
fi
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"
echo "Built. The fetch job is not wired up yet; running the parse benchmark instead."
if [ -x build/bin/bench_parse ]; then
  build/bin/bench_parse
fi
