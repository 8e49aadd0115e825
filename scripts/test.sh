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
jobs="$(nproc)"
export QT_QPA_PLATFORM=offscreen
export CTEST_OUTPUT_ON_FAILURE=1

case "$mode" in
  "")
    # The folder and compile options of scripts/main.sh, so what it built is reused here.
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUOTRA_WERROR=ON \
      -DQUOTRA_TESTS=ON -DQUOTRA_BENCHMARKS=ON >/dev/null
    cmake --build build -j "$jobs"
    ctest --test-dir build -j "$jobs" --timeout 300
    ;;
  --sanitize)
    cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUOTRA_WERROR=ON \
      -DQUOTRA_BENCHMARKS=OFF "-DQUOTRA_SANITIZE=address;undefined" >/dev/null
    cmake --build build-asan -j "$jobs"
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
      LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0" \
      ctest --test-dir build-asan -j "$jobs" --timeout 600
    # The thread sanitizer build compiles and runs only the tests labelled "threads".
    cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUOTRA_WERROR=ON \
      -DQUOTRA_BENCHMARKS=OFF -DQUOTRA_SANITIZE=thread >/dev/null
    cmake --build build-tsan -j "$jobs" --target threads_tests
    TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
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
