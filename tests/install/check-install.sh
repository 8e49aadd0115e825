#!/bin/bash
# check-install.sh BUILD_DIR CMAKE: installs BUILD_DIR into a temporary prefix, then checks
# what landed there and runs the installed programs from it.
set -u
build=$1
cmake=${2:-cmake}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
need() { [ -e "$prefix/$1" ] || fail "missing $1"; }

"$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || { cat "$work/install.log"; fail "cmake --install"; exit 1; }

for f in bin/quotra bin/quotra-cli share/quotra/quotra_ja.rcc share/quotra/quotra.html \
    "share/quotra/東証株価.kabu" share/applications/quotra.desktop share/mime/packages/quotra-kabu.xml \
    share/icons/hicolor/scalable/apps/quotra.svg \
    share/icons/hicolor/scalable/mimetypes/application-x-quotra-kabu.svg \
    share/man/man1/quotra.1.gz share/man/man1/quotra-cli.1.gz \
    share/bash-completion/completions/quotra-cli; do
    need "$f"
done
ls "$prefix"/lib/libtessera.so.* >/dev/null 2>&1 || fail "missing lib/libtessera.so.*"
[ -x "$prefix/bin/quotra" ] || fail "bin/quotra is not executable"
# Nothing of the build folder is needed at run time: the library comes from ../lib.
for p in quotra quotra-cli; do
    rpath=$(readelf -d "$prefix/bin/$p" 2>/dev/null | grep -E 'RUNPATH|RPATH' || true)
    case "$rpath" in *'$ORIGIN/../lib'*) ;; *) fail "$p has no \$ORIGIN/../lib run path: $rpath" ;; esac
    case "$rpath" in *"$build"*) fail "$p still points into the build folder" ;; esac
done

# The desktop files.
desktop-file-validate "$prefix/share/applications/quotra.desktop" || fail "desktop-file-validate"
grep -q '^MimeType=.*application/x-quotra-kabu;' "$prefix/share/applications/quotra.desktop" || fail "no .kabu type"
grep -q '^MimeType=.*x-scheme-handler/quotra.kabu;' "$prefix/share/applications/quotra.desktop" || fail "no quotra.kabu: scheme"
grep -q '^Exec=quotra %u$' "$prefix/share/applications/quotra.desktop" || fail "Exec does not take the address"
mime=$prefix/share/mime/packages/quotra-kabu.xml
xmllint --noout "$mime" || fail "xmllint"
[ "$(xmllint --xpath 'string(//*[local-name()="mime-type"]/@type)' "$mime")" = application/x-quotra-kabu ] || fail "MIME type name"
[ "$(xmllint --xpath 'string(//*[local-name()="glob"]/@pattern)' "$mime")" = '*.kabu' ] || fail "MIME glob"
for svg in "$prefix"/share/icons/hicolor/scalable/*/*.svg; do
    xmllint --noout "$svg" || fail "icon $svg is no XML"
done
if command -v update-mime-database >/dev/null; then
    update-mime-database "$prefix/share/mime" || fail "update-mime-database"
    grep -q 'application/x-quotra-kabu' "$prefix/share/mime/globs2" || fail "the MIME database lacks the type"
fi

# The installed programs run from the prefix and find their data there: the CLI reads the
# default list, and the program's language module is found (an unattended run without a
# list ends with the module's message 2226 rather than the missing-module text).
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset QUOTRA_LANG_MODULE LD_LIBRARY_PATH
out=$("$prefix/bin/quotra-cli" show "$prefix/share/quotra/東証株価.kabu" 2>&1) || fail "installed quotra-cli show: $out"
echo "$out" | grep -q 7203 || fail "the default list lacks 7203"
err=$("$prefix/bin/quotra" /Auto 2>&1 >/dev/null)
status=$?
[ $status -eq 1 ] || fail "quotra /Auto without a list: status $status"
echo "$err" | grep -q 'Language corresponding resource is not ready' && fail "installed quotra did not find its language module"
[ -n "$err" ] || fail "quotra /Auto without a list said nothing"

if [ $failures -gt 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "install tree OK: $(cd "$prefix" && find . -type f | wc -l) files"
