#!/bin/bash
# check-deb.sh BUILD_DIR [CPACK]: packs the built tree as a Debian package with cpack and
# holds it against lintian (no error, no warning), and checks the dependencies that
# dpkg-shlibdeps cannot find: the Qt plugins loaded at run time.
set -u
build=$1
cpack=${2:-cpack}
command -v lintian >/dev/null || { echo "SKIP: lintian is not installed"; exit 77; }
command -v dpkg-shlibdeps >/dev/null || { echo "SKIP: dpkg-shlibdeps (dpkg-dev) is not installed"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

(cd "$work" && "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work") >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; echo "FAIL: cpack"; exit 1; }
deb=$(ls "$work"/quotra_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || { cat "$work/cpack.log"; echo "FAIL: cpack made no .deb"; exit 1; }

depends=$(dpkg-deb -f "$deb" Depends)
for p in qt6-qpa-plugins libqt6svg6 ca-certificates libqt6gui6 libqt6widgets6 libcurl4; do
    grep -Eq "(^|, )$p( |,|$)" <<<"$depends" || fail "Depends lacks $p: $depends"
done
dpkg-deb -I "$deb" triggers 2>/dev/null | grep -qx 'activate-noawait ldconfig' || fail "no ldconfig trigger"

lintian --fail-on error,warning --display-level '>=warning' "$deb" >"$work/lintian.log" 2>&1
status=$?
[ -s "$work/lintian.log" ] && cat "$work/lintian.log"
[ $status -eq 0 ] || fail "lintian: status $status"

if [ $failures -gt 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "package OK: $(basename "$deb"), $(dpkg-deb -c "$deb" | wc -l) entries"
