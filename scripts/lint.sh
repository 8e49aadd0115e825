#!/bin/sh
# Checks the format and runs clang-tidy; not part of the test command or CI yet.
#   scripts/lint.sh            clang-format over every tracked C++ file, then clang-tidy
#   scripts/lint.sh --format   clang-format only
#   scripts/lint.sh FILE...    both, over the given files only
# clang-tidy reads the compile commands of build-b (cmake ... -DCMAKE_EXPORT_COMPILE_COMMANDS=ON);
# BUILD_DIR overrides the folder, CLANG_FORMAT and CLANG_TIDY the programs.
set -eu
cd "$(dirname "$0")/.."
build="${BUILD_DIR:-build-b}"
format="${CLANG_FORMAT:-clang-format}"
tidy="${CLANG_TIDY:-clang-tidy}"

only_format=0
if [ "${1:-}" = "--format" ]; then
  only_format=1
  shift
fi

if [ "$#" -gt 0 ]; then
  files="$*"
else
  files=$(git ls-files '*.cpp' '*.h' | grep -v '^tests/data/')
fi

status=0
echo "clang-format --dry-run -Werror"
# shellcheck disable=SC2086 # one file a word; tracked paths have no blanks
"$format" --dry-run -Werror $files || status=1

if [ "$only_format" -eq 0 ]; then
  if [ ! -f "$build/compile_commands.json" ]; then
    echo "lint: $build/compile_commands.json is missing; configure with -DCMAKE_EXPORT_COMPILE_COMMANDS=ON" >&2
    exit 2
  fi
  echo "clang-tidy -p $build"
  # Only sources that the build compiles; headers are checked through them.
  for f in $files; do
    case "$f" in
      *.cpp) grep -q "\"file\": \"[^\"]*/$f\"" "$build/compile_commands.json" || continue ;;
      *) continue ;;
    esac
    "$tidy" -p "$build" --quiet "$f" || status=1
  done
fi
exit $status
