#!/bin/bash
# check-dev-packages.sh SOURCE_DIR BUILD_DIR [NINJA]: every -dev package that
# scripts/install-deps.sh installs must give the build something it uses: a library on a link
# line or a header that a compiled file included (ninja's dependency log). A package that
# gives neither is a dead dependency. The other way round, every library on a link line must
# come from a named package or from a direct dependency of one.
# Exit 77 (skipped) when the evidence is incomplete because part of the tree is not compiled.
set -u
src=$1
build=$2
ninja=${3:-ninja}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The words of the base="..." and tests="..." assignments.
awk '/^(base|tests)="/ { on = 1; sub(/^[a-z]+="/, "") }
    on { line = $0; if (sub(/".*/, "", line)) on = 0; print line }' "$src/scripts/install-deps.sh" |
    tr -s ' \t' '\n\n' | grep -v '^$' | sort -u >"$work/named"
[ -s "$work/named" ] || { echo "FAIL: no packages read from scripts/install-deps.sh"; exit 1; }

# Packages that only some configurations use, with the cache option that turns them on, and
# the ones no link line can show ("never"): the fuzzer runtime, which clang's driver links by
# itself (-fsanitize=fuzzer), dpkg-dev, a set of tools (dpkg-shlibdeps for cpack), and
# libqt6opengl6-dev, whose CMake files Qt Charts' own CMake files require without the build
# compiling against it (and without qt6-charts-dev depending on it).
option_of() {
    case "$1" in
    libgtest-dev | libgmock-dev) echo QUOTRA_TESTS ;;
    libbenchmark-dev) echo QUOTRA_BENCHMARKS ;;
    libclang-rt-*-dev | dpkg-dev | libqt6opengl6-dev) echo never ;;
    esac
}
enabled() { grep -Eq "^$1:[A-Z]+=(ON|1|TRUE|YES)$" "$build/CMakeCache.txt"; }

# The evidence: the libraries on the link lines and the headers of the dependency log, with
# "." and ".." taken out of the paths as dpkg writes them.
grep -o 'LINK_LIBRARIES = .*' "$build/build.ninja" | tr ' ' '\n' | grep '^/usr/' | sort -u >"$work/linked"
"$ninja" -C "$build" -t deps >"$work/deps" 2>/dev/null
sed -n 's/^ \{4\}\(\/usr\/\)/\1/p' "$work/deps" | sort -u |
    xargs -r realpath -m -s -- | sort -u >"$work/headers"
{
    cat "$work/linked" "$work/headers"
    xargs -r realpath -m -- <"$work/linked"
} | sort -u >"$work/used"

objects=$("$ninja" -C "$build" -t targets all 2>/dev/null | grep -c '\.o: ')
recorded=$(grep -c '\.o: #deps' "$work/deps")

skipped=""
while read -r pkg; do
    case "$pkg" in *-dev) ;; *) continue ;; esac
    opt=$(option_of "$pkg")
    if [ -n "$opt" ] && { [ "$opt" = never ] || ! enabled "$opt"; }; then
        skipped="$skipped $pkg"
        continue
    fi
    if ! dpkg-query -L "$pkg" >"$work/files" 2>/dev/null; then
        fail "$pkg is named in scripts/install-deps.sh but not installed"
        continue
    fi
    sort -u "$work/files" -o "$work/files"
    if [ -z "$(comm -12 "$work/files" "$work/used" | head -n 1)" ]; then
        if [ "$recorded" -lt "$objects" ]; then
            echo "SKIP: $pkg shows no use, but only $recorded of $objects objects are compiled"
            exit 77
        fi
        fail "$pkg is named in scripts/install-deps.sh, but the build links none of its libraries and includes none of its headers"
    fi
done <"$work/named"

# Every linked library from a named package or a direct dependency of one.
# shellcheck disable=SC2046 # one package a word
dpkg-query -W -f='${Depends}\n' $(grep -- '-dev$' "$work/named") 2>/dev/null |
    tr ',|' '\n\n' | sed 's/^ *//; s/[ :(].*//' | grep -v '^$' >"$work/allowed"
cat "$work/named" >>"$work/allowed"
while read -r lib; do
    owner=$(dpkg-query -S "$lib" 2>/dev/null | head -n 1 | sed 's/:.*//')
    [ -n "$owner" ] || owner=$(dpkg-query -S "$(realpath -m -- "$lib")" 2>/dev/null | head -n 1 | sed 's/:.*//')
    [ -n "$owner" ] || { fail "$lib is linked but belongs to no package"; continue; }
    # A runtime library's file (libQt6Core.so.6.4.2) comes in through its -dev package.
    grep -qx -- "$owner" "$work/allowed" && continue
    fail "$lib ($owner) is linked, but scripts/install-deps.sh names neither $owner nor a package that depends on it"
done <"$work/linked"

[ -n "$skipped" ] && echo "not checked in this configuration:$skipped"
if [ $failures -gt 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "dev packages OK: $(grep -c -- '-dev$' "$work/named") named, $(wc -l <"$work/linked") libraries linked, $(wc -l <"$work/headers") system headers"
