#!/bin/sh
# ccache-missing-header.sh CCACHE CXX
# With the cache settings of the build scripts (a base folder, the working folder not hashed,
# the compiler known by content), a unit compiled once is a cache hit the second time; once a
# header it includes is gone, compiling it fails although its result is in the cache. This is
# what lets the fresh-machine check share the cache: a package left out of the install list
# takes its headers with it, and the build in the pristine root still fails.
set -eu
ccache="$1"
cxx="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export CCACHE_DIR="$work/cache" CCACHE_BASEDIR="$work" CCACHE_NOHASHDIR=true
mkdir -p "$work/inc" "$work/a" "$work/b"
echo 'inline int answer() { return 42; }' >"$work/inc/pkg.h"
printf '#include <pkg.h>\nint main() { return answer() == 42 ? 0 : 1; }\n' >"$work/unit.cpp"
cp "$work/unit.cpp" "$work/a/unit.cpp"
cp "$work/unit.cpp" "$work/b/unit.cpp"

hits() { "$ccache" --print-stats | awk -F'\t' '$1 ~ /^(direct|preprocessed)_cache_hit$/ { n += $2 } END { print n + 0 }'; }

# Two clones in different folders: the second compile hits.
(cd "$work/a" && "$ccache" "$cxx" -I"$work/inc" -c unit.cpp -o unit.o)
before="$(hits)"
(cd "$work/b" && "$ccache" "$cxx" -I"$work/inc" -c unit.cpp -o unit.o)
if [ "$(hits)" -le "$before" ]; then
  echo "FAIL: the same unit in another folder was not a cache hit" >&2
  exit 1
fi

# The header's package is removed: the warm cache must not hide it.
rm "$work/inc/pkg.h"
rm -f "$work/b/unit.o"
if (cd "$work/b" && "$ccache" "$cxx" -I"$work/inc" -c unit.cpp -o unit.o) 2>"$work/err"; then
  echo "FAIL: a unit whose header is missing compiled from the cache" >&2
  exit 1
fi
if ! grep -q 'pkg.h' "$work/err"; then
  echo "FAIL: the compile failed, but not on the missing header:" >&2
  cat "$work/err" >&2
  exit 1
fi
echo "ok: a hit across folders, and a missing header fails with a warm cache"
