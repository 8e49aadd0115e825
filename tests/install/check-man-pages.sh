#!/bin/bash
# check-man-pages.sh SOURCE_DIR: the manual pages format without a warning, and the page of
# quotra-cli describes every command with every option that the code accepts, in the
# command's own entry, so the page cannot fall behind the program.
set -u
src=$1
pages=$src/docs/man
command -v man >/dev/null || { echo "SKIP: man (man-db) is not installed"; exit 77; }
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

for page in "$pages"/*.1; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
done

# The lines of one command's entry: from a tag line (after .TP or .TQ) that starts with the
# command's name in bold to the next tag of another kind or the next section.
entry() {
    awk -v c="$1" -v names="$2" '
        BEGIN { n = split(names, list, " "); for (i = 1; i <= n; i++) known[list[i]] = 1 }
        /^\.SH/ { cur = ""; tag = 0; next }
        /^\.T[PQ]/ { tag = 1; next }
        tag {
            tag = 0
            word = $0
            sub(/^\\fB/, "", word); sub(/[\\ ].*/, "", word)
            if (word in known) cur = word
            else if ($0 !~ /^\\fB/ || !(word in known)) cur = ""
        }
        cur == c { print }' "$pages/quotra-cli.1"
}

code=$("$src/tests/install/cli-options.sh" "$src") || { echo "FAIL: cli-options.sh"; exit 1; }
names=$(echo "$code" | awk '$1 != "-" { print $1 }' | tr '\n' ' ')
while read -r command options; do
    if [ "$command" = - ]; then
        text=$(cat "$pages/quotra-cli.1")
        what="quotra-cli.1"
    else
        text=$(entry "$command" "$names")
        what="the entry of $command in quotra-cli.1"
        [ -n "$text" ] || { fail "quotra-cli.1 has no entry for the command $command"; continue; }
    fi
    for option in $options; do
        name=${option#=}
        name=${name#--}
        grep -qE -- "\\\\-\\\\-$name([^a-z0-9]|$)" <<<"$text" || fail "$what lacks --$name"
    done
done <<<"$code"

if [ $failures -gt 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "manual pages OK: $(echo "$names" | wc -w) commands"
