#!/bin/sh
# Installs the dependencies, builds everything and runs every test.
#   scripts/test.sh             release build with warnings as errors, all tests
#   scripts/test.sh --sanitize  the same tests under AddressSanitizer + UBSan, and the
#                               worker tests under ThreadSanitizer
#   scripts/test.sh --fuzz      builds the libFuzzer targets with clang and runs each briefly
set -eu
cd "$(dirname "$0")/.."
mode="${1:-}"
if [ "${QUOTRA_SKIP_DEPS:-0}" != 1 ]; then
  scripts/install-deps.sh --tests
fi
. scripts/ccache-env.sh
jobs="$(nproc)"
export QT_QPA_PLATFORM=offscreen
export CTEST_OUTPUT_ON_FAILURE=1

# The tests run in a bare environment with a home folder of their own, so that what the
# calling session carries (a display, a session bus, a desktop theme, settings in the real
# home) cannot change what they see. Variables for the sanitizers are passed as arguments.
test_home="$(mktemp -d "${TMPDIR:-/tmp}/quotra-test-home.XXXXXX")"
trap 'rm -rf "$test_home"' EXIT
run_ctest() {
  dir="$1"
  shift
  rc=0
  env -i PATH="$PATH" HOME="$test_home" LANG=C.UTF-8 TMPDIR="${TMPDIR:-/tmp}" CI="${CI:-}" \
    QT_QPA_PLATFORM=offscreen CTEST_OUTPUT_ON_FAILURE=1 "$@" || rc=$?
  if [ "$rc" != 0 ]; then
    failure_digest "$dir"
  fi
  return "$rc"
}
# A few telling lines of each failed test, printed last, where a log's tail shows them.
failure_digest() {
  log="$1/Testing/Temporary/LastTest.log"
  [ -f "$log" ] || return 0
  echo "=== what the failed tests said (from $log) ==="
  awk '
    /^[0-9]+\/[0-9]+ Testing: / { name = $0; sub(/^[0-9]+\/[0-9]+ Testing: /, "", name); n = 0; after = 0 }
    /Test Failed|Failed  |Subprocess aborted|Exception:|SEGFAULT/ && name != "" { failed[name] = 1 }
    /^Command: / { next }
    name != "" && n < 6 && after > 0 { lines[name] = lines[name] "    " substr($0, 1, 300) "\n"; n++; after--; next }
    name != "" && n < 6 && /FAIL!|Failure|Received signal|QFATAL|Fatal|terminate called|what\(\)|ERROR: AddressSanitizer|runtime error:|ThreadSanitizer|Assertion|aborted/ {
      lines[name] = lines[name] "    " substr($0, 1, 300) "\n"; n++
      if (/Failure/) after = 2
      if (/FAIL!/) after = 1
    }
    END { for (t in failed) printf "  %s\n%s", t, lines[t] }
  ' "$log" | tail -n 60
}

case "$mode" in
  "")
    # The folder and compile options of scripts/main.sh, so what it built is reused here.
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUOTRA_WERROR=ON \
      -DQUOTRA_TESTS=ON -DQUOTRA_BENCHMARKS=ON >/dev/null
    cmake --build build -j "$jobs"
    run_ctest build ctest --test-dir build -j "$jobs" --timeout 300
    ;;
  --sanitize)
    cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUOTRA_WERROR=ON \
      -DQUOTRA_BENCHMARKS=OFF "-DQUOTRA_SANITIZE=address;undefined" >/dev/null
    cmake --build build-asan -j "$jobs"
    run_ctest build-asan ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
      UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
      LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0" \
      ctest --test-dir build-asan -j "$jobs" --timeout 600
    # The thread sanitizer build compiles and runs only the tests labelled "threads".
    cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUOTRA_WERROR=ON \
      -DQUOTRA_BENCHMARKS=OFF -DQUOTRA_SANITIZE=thread >/dev/null
    cmake --build build-tsan -j "$jobs" --target threads_tests
    run_ctest build-tsan TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
      ctest --test-dir build-tsan -j "$jobs" -L threads --timeout 600 --no-tests=ignore
    ;;
  --fuzz)
    scripts/fuzz.sh
    ;;
  *)
    echo "usage: $0 [--sanitize|--fuzz]" >&2
    exit 2
    ;;
esac
