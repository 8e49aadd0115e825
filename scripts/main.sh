#!/bin/sh
# Installs the dependencies, builds Quotra and runs its main job: the sample quote site is
# started on loopback and quotra-cli fetches and parses each of its sample codes through the
# same code the program uses. With a display the window then opens on a list of those codes;
# without one the program's unattended run updates every row once, saves the list
# time-stamped into a folder, and the saved list is shown.
set -eu
cd "$(dirname "$0")/.."
if [ "${QUOTRA_SKIP_DEPS:-0}" != 1 ]; then
  scripts/install-deps.sh
fi
. scripts/ccache-env.sh
# The folder and options of scripts/test.sh, without the tests and benchmarks (and so without
# their packages): a test run after this one builds only what is theirs.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUOTRA_WERROR=ON \
  -DQUOTRA_TESTS=OFF -DQUOTRA_BENCHMARKS=OFF >/dev/null
cmake --build build -j "$(nproc)"

bin=build/bin
workdir="$(mktemp -d)"
site_pid=""
cleanup() {
  if [ -n "$site_pid" ]; then
    kill "$site_pid" 2>/dev/null || true
    wait "$site_pid" 2>/dev/null || true
  fi
  rm -rf "$workdir"
}
trap cleanup EXIT INT TERM

# The site prints "port N" as its first line once it listens.
"$bin/quotra-sample-site" --port 0 >"$workdir/site.out" 2>"$workdir/site.err" &
site_pid=$!
port=""
tries=0
while [ -z "$port" ]; do
  if ! kill -0 "$site_pid" 2>/dev/null; then
    echo "quotra-sample-site did not start:" >&2
    cat "$workdir/site.err" >&2
    exit 1
  fi
  port="$(sed -n 's/^port \([0-9][0-9]*\)$/\1/p' "$workdir/site.out" | head -n 1)"
  if [ -z "$port" ]; then
    tries=$((tries + 1))
    if [ "$tries" -gt 200 ]; then
      echo "quotra-sample-site did not report its port" >&2
      exit 1
    fi
    sleep 0.1
  fi
done
export QUOTRA_SITE_ROOT="http://127.0.0.1:$port/"
echo "Sample quote site at $QUOTRA_SITE_ROOT"

codes="7203 6758 1321 8951 998407 AAPL MSFT 0331418A ^DJI ^N225"
status=0
# shellcheck disable=SC2086 # the codes are separate arguments
"$bin/quotra-cli" fetch $codes || status=$?
# shellcheck disable=SC2086
"$bin/quotra-cli" fetch --json $codes >"$workdir/fetch.json" || status=$?
echo "JSON records: $(grep -c '"code":' "$workdir/fetch.json") of $(echo $codes | wc -w) codes"

# The unattended run over a text list of the same codes. Settings of the run's own, so the
# table below has the default layout whatever the user's settings hold.
export XDG_CONFIG_HOME="$workdir/config"
# The price history of this run stays in the work folder too.
export QUOTRA_HISTORY="$workdir/history.sqlite"
mkdir "$workdir/out"
# shellcheck disable=SC2086
printf '%s\n' $codes >"$workdir/sample.txt"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ "${QUOTRA_MAIN_HEADLESS:-0}" != 1 ]; then
  # A display is there: the window opens on the sample list against the sample site; the
  # job ends when the window is closed. A few updates a moment apart first (the sample
  # site's prices move between requests) give the window's price history pane a chart.
  for run in 1 2 3 4; do
    "$bin/quotra-cli" update "$workdir/sample.txt" >/dev/null || status=$?
    [ "$run" = 4 ] || sleep 1
  done
  echo "Opening the window on $workdir/sample.kabu with its price history (close it to end)"
  "$bin/quotra" "$workdir/sample.kabu" || status=$?
  exit "$status"
fi

# No display: the program's own unattended run, headless (the offscreen platform), which
# updates every row once and saves the list time-stamped into the folder.
echo "Unattended run of $workdir/sample.txt:"
"$bin/quotra" /Auto "/Folder$workdir/out" "$workdir/sample.txt" || status=$?
saved="$(find "$workdir/out" -name 'sample*.kabu' | head -n 1)"
if [ -n "$saved" ]; then
  echo "The saved list $(basename "$saved"):"
  "$bin/quotra-cli" show "$saved" || status=$?
  echo "The price history the run kept:"
  "$bin/quotra-cli" history stats || status=$?
else
  echo "the unattended run saved no list" >&2
  status=1
fi
exit "$status"
