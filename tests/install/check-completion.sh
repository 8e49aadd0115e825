#!/bin/bash
# check-completion.sh SOURCE_DIR: runs the bash completion of quotra-cli as bash does, with
# COMP_WORDS and COMP_CWORD set, over a folder of sample files, and holds the commands and
# options it offers against the ones the code accepts.
set -u
src=$1
script=$src/packaging/completion/quotra-cli
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

mkdir -p "$work/files/lists"
touch "$work/files/"{a.kabu,b.xlsx,c.XLS,d.csv,e.txt,f.json,g.colm,h.pdf,noext} "$work/files/lists/i.kabu"

# The completions of a command line (the last word is the one being completed; a trailing
# space starts a new one), sorted, on one line.
complete_line() {
    (cd "$work/files" && bash --norc --noprofile -c '
        source "$1" || exit 9
        read -ra COMP_WORDS <<<"$2"
        [[ $2 == *" " ]] && COMP_WORDS+=("")
        COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
        COMP_LINE=$2 COMP_POINT=${#2}
        _quotra_cli
        printf "%s\n" "${COMPREPLY[@]}" | sort | tr "\n" " "' bash "$script" "$1") | sed 's/ *$//'
}

expect() {
    local got
    got=$(complete_line "$1")
    [ "$got" = "$2" ] || fail "\"$1\": got \"$got\", wanted \"$2\""
}

lists="a.kabu b.xlsx c.XLS d.csv e.txt f.json lists"
# line | completions
while IFS='|' read -r line wanted; do
    expect "$line" "$wanted"
done <<EOF_CASES
quotra-cli sh|show
quotra-cli s|schedule send show
quotra-cli --|--help --version
quotra-cli show |$lists
quotra-cli show --columns 1,2 |$lists
quotra-cli show --columns 3|3 30 31 32 33 34 35 36 37 38 39
quotra-cli show --columns 1,3|1,3 1,30 1,31 1,32 1,33 1,34 1,35 1,36 1,37 1,38 1,39
quotra-cli show --columns = 1,3|1,3 1,30 1,31 1,32 1,33 1,34 1,35 1,36 1,37 1,38 1,39
quotra-cli show --layout |g.colm lists
quotra-cli show a.kabu |
quotra-cli export a.kabu |a.kabu b.xlsx d.csv f.json lists
quotra-cli compare |b.xlsx lists
quotra-cli compare out.xlsx |$lists
quotra-cli update --folder |lists
quotra-cli update --parallel |1 2 3 4 5 6 7 8
quotra-cli find --case pat |$lists
quotra-cli ranking |0 1 2 3 4 5
quotra-cli ranking 3 |
quotra-cli ranking --apply 3 |$lists
quotra-cli schedule |add delete list
quotra-cli schedule add --days mon,t|mon,thu mon,tue
quotra-cli schedule add --name x --time 15:30 |$lists
quotra-cli fetch --json 7203 |
quotra-cli history |import stats
quotra-cli history import a.kabu |$lists
quotra-cli history --csv 7203 |
quotra-cli show lists/|lists/i.kabu
EOF_CASES

# Every command and each of its options as the code has them.
code=$("$src/tests/install/cli-options.sh" "$src") || { echo "FAIL: cli-options.sh"; exit 1; }
commands=$(echo "$code" | awk '$1 != "-" { print $1 }' | sort | tr '\n' ' ' | sed 's/ *$//')
top=$(complete_line "quotra-cli ")
for c in $commands; do
    case " $top " in *" $c "*) ;; *) fail "the command $c is not offered" ;; esac
done
for o in $(echo "$code" | awk '$1 == "-" { $1 = ""; print }'); do
    case " $(complete_line "quotra-cli -") " in *" $o "*) ;; *) fail "quotra-cli $o is not offered" ;; esac
done
while read -r command options; do
    [ "$command" = - ] && continue
    wanted=$(printf '%s\n' --help ${options//=/} | sort -u | tr '\n' ' ' | sed 's/ *$//')
    expect "quotra-cli $command -" "$wanted"
done <<<"$code"

if [ $failures -gt 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "completion OK"
