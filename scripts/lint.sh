#!/bin/sh
# Checks the format and runs clang-tidy.
#   scripts/lint.sh            clang-format over every tracked C++ file, then clang-tidy
#   scripts/lint.sh --format   clang-format only
#   scripts/lint.sh --tidy     clang-tidy only, over the program sources (not the tests),
#                              every finding an error; what CI runs after the test build
#   scripts/lint.sh FILE...    both, over the given files only
# clang-tidy reads the compile commands of build/ (written by every configure) after a build,
# since it needs the generated moc files; BUILD_DIR overrides the folder, CLANG_FORMAT and
# CLANG_TIDY the programs, LINT_JOBS the number of clang-tidy runs at once (nproc),
# QUOTRA_TIDY_CACHE the folder of clean verdicts (/var/cache/quotra-tidy).
set -eu
cd "$(dirname "$0")/.."
build="${BUILD_DIR:-build}"
format="${CLANG_FORMAT:-clang-format}"
tidy="${CLANG_TIDY:-clang-tidy}"
jobs="${LINT_JOBS:-$(nproc)}"

run_format=1
run_tidy=1
tidy_flags=""
case "${1:-}" in
  --format) run_tidy=0; shift ;;
  --tidy) run_format=0; tidy_flags="--warnings-as-errors=*"; shift ;;
esac

if [ "$#" -gt 0 ]; then
  files="$*"
elif [ "$run_format" -eq 0 ]; then
  files=$(git ls-files '*.cpp' | grep -v '^tests/')
else
  files=$(git ls-files '*.cpp' '*.h' | grep -v '^tests/data/')
fi

status=0
if [ "$run_format" -eq 1 ]; then
  echo "clang-format --dry-run -Werror"
  # shellcheck disable=SC2086 # one file a word; tracked paths have no blanks
  "$format" --dry-run -Werror $files || status=1
fi

if [ "$run_tidy" -eq 1 ]; then
  if [ ! -f "$build/compile_commands.json" ]; then
    echo "lint: $build/compile_commands.json is missing; configure and build $build first" >&2
    exit 2
  fi
  echo "clang-tidy -p $build ($jobs at once)"
  # Only sources that the build compiles; headers are checked through them.
  list=$(mktemp)
  trap 'rm -f "$list"' EXIT
  for f in $files; do
    case "$f" in
      *.cpp) grep -q "\"file\": \"[^\"]*/$f\"" "$build/compile_commands.json" && echo "$f" >>"$list" ;;
    esac
  done
  # Units whose sources, headers, flags and checks are unchanged since a clean analysis are
  # not read again (scripts/tidy-cached.py); findings are never kept and always fail.
  # shellcheck disable=SC2046,SC2086 # one file a word; the flags are one word or none
  python3 scripts/tidy-cached.py --build "$build" --jobs "$jobs" --tidy "$tidy" $(cat "$list") -- $tidy_flags \
    || status=1
  rm -f "$list"
fi
exit $status
