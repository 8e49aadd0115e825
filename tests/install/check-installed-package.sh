#!/bin/bash
# check-installed-package.sh PREFIX SAMPLE_SITE: runs the installed programs below PREFIX
# (/usr for the Debian package) as a user of them would, with the sample quote site
# SAMPLE_SITE (a quotra-sample-site program) on loopback: quotra-cli fetches, quotra's
# unattended run updates and saves a text list headless, man finds and formats quotra-cli's
# page, and bash-completion loads the installed completion by itself.
set -u
prefix=$1
site=$2
work=$(mktemp -d)
site_pid=""
cleanup() {
    [ -n "$site_pid" ] && kill "$site_pid" 2>/dev/null && wait "$site_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Nothing of a build tree: the programs and their library from the prefix, the settings and
# the user's files in fresh folders, no display.
unset LD_LIBRARY_PATH QUOTRA_LANG_MODULE QUOTRA_ENGINE_DIR QUOTRA_LIBEXEC_DIR DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/run HOME=$work/home
mkdir -p "$XDG_RUNTIME_DIR" "$HOME" && chmod 700 "$XDG_RUNTIME_DIR"

# The site prints "port N" as its first line once it listens.
"$site" --port 0 >"$work/site.out" 2>"$work/site.err" &
site_pid=$!
port=""
for _ in $(seq 200); do
    port=$(sed -n 's/^port \([0-9][0-9]*\)$/\1/p' "$work/site.out" | head -n 1)
    [ -n "$port" ] && break
    kill -0 "$site_pid" 2>/dev/null || break
    sleep 0.1
done
[ -n "$port" ] || { cat "$work/site.err"; echo "FAIL: the sample site did not start"; exit 1; }
export QUOTRA_SITE_ROOT="http://127.0.0.1:$port/"

out=$("$prefix/bin/quotra-cli" fetch 7203 AAPL 2>&1) || fail "quotra-cli fetch: $out"
grep -q '^7203 *ok' <<<"$out" || fail "quotra-cli fetch did not fetch 7203: $out"

printf '%s\n' 7203 6758 998407 >"$work/sample.txt"
mkdir "$work/out"
err=$(timeout 120 "$prefix/bin/quotra" /Auto "/Folder$work/out" "$work/sample.txt" 2>&1) ||
    fail "quotra /Auto: status $? $err"
saved=$(find "$work/out" -name 'sample*.kabu' | head -n 1)
if [ -n "$saved" ]; then
    shown=$("$prefix/bin/quotra-cli" show "$saved" 2>&1) || fail "quotra-cli show: $shown"
    grep -q 6758 <<<"$shown" || fail "the saved list lacks 6758: $shown"
else
    fail "the unattended run saved no list into $work/out"
fi
"$prefix/bin/quotra" --version | grep -q '^quotra ' || fail "quotra --version"

# man finds the page by its name below the prefix.
page=$(MANPATH=$prefix/share/man man -w quotra-cli 2>&1) || fail "man -w quotra-cli: $page"
text=$(MANPATH=$prefix/share/man MANWIDTH=80 man -P cat quotra-cli 2>&1) || fail "man quotra-cli"
grep -q 'schedule' <<<"$text" || fail "man quotra-cli shows no schedule command"

# bash-completion's own loader finds the completion where it was installed.
loader=/usr/share/bash-completion/bash_completion
if [ -r "$loader" ]; then
    got=$(XDG_DATA_DIRS=$prefix/share:/usr/share bash --norc --noprofile -c '
        source "$1" >/dev/null 2>&1
        __load_completion quotra-cli || exit 3
        COMP_WORDS=(quotra-cli sh) COMP_CWORD=1 COMP_LINE="quotra-cli sh" COMP_POINT=13
        $(complete -p quotra-cli | sed "s/.*-F \([^ ]*\).*/\1/") quotra-cli sh quotra-cli
        printf "%s\n" "${COMPREPLY[@]}"' bash "$loader")
    [ "$got" = show ] || fail "bash-completion did not complete \"quotra-cli sh\" to show: \"$got\""
else
    fail "bash-completion is not installed ($loader)"
fi

if [ $failures -gt 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "installed package OK below $prefix"
