#!/bin/bash
# check-help-version.sh QUOTRA: `quotra --help` and `quotra --version` print on standard
# output and exit 0 at once, with no display and no window; other words are not taken for
# them.
set -u
quotra=$1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

# args | pattern (grep -E) a line of the output must match
while IFS='|' read -r args wanted; do
    # shellcheck disable=SC2086 # the arguments are words
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 10 "$quotra" $args 2>"$work/err")
    status=$?
    [ $status -eq 0 ] || fail "quotra $args: status $status $(cat "$work/err")"
    grep -qE -- "$wanted" <<<"$out" || fail "quotra $args printed \"$out\", not \"$wanted\""
    [ -s "$work/err" ] && fail "quotra $args wrote to standard error: $(cat "$work/err")"
done <<CASES
--version|^quotra [0-9]+(\.[0-9]+)+$
--help|^usage: quotra 
--help|/Auto2 
/Auto --version|^quotra [0-9]+(\.[0-9]+)+$
CASES

if [ $failures -gt 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "help and version OK"
