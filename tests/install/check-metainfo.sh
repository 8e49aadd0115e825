#!/bin/bash
# check-metainfo.sh SOURCE_DIR METAINFO: the software centre's metadata validates without an
# error, warning or notice, its release is the program's version, and what it names
# (the desktop entry, the MIME type) exists.
set -u
src=$1
file=$2
command -v appstreamcli >/dev/null || { echo "SKIP: appstreamcli (appstream) is not installed"; exit 77; }
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

out=$(appstreamcli validate --no-net --no-color "$file" 2>&1)
status=$?
[ $status -eq 0 ] || fail "appstreamcli validate: status $status"
grep -E '^[EWI]:' <<<"$out" && fail "appstreamcli validate reported the lines above"

version=$(sed -n 's/.*kProgramVersion = u"\([0-9.]*\)".*/\1/p' "$src/app/core/VersionCheck.h")
released=$(xmllint --xpath 'string(//release[1]/@version)' "$file")
if [ -z "$version" ] || [ "$released" != "$version" ]; then
    fail "release $released, program version $version"
fi
launchable=$(xmllint --xpath 'string(//launchable[@type="desktop-id"])' "$file")
[ -f "$src/packaging/$launchable" ] || fail "the launchable $launchable is no desktop entry of packaging/"
mediatype=$(xmllint --xpath 'string(//provides/mediatype)' "$file")
grep -q "type=\"$mediatype\"" "$src/packaging/quotra-kabu.xml" || fail "the MIME package lacks $mediatype"

if [ $failures -gt 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "metainfo OK"
