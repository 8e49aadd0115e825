#!/bin/bash
# cli-options.sh SOURCE_DIR: prints each quotra-cli command as the code has it, one a line:
# the command's name, then the options its parser accepts ("--json"), then "=" before each
# option that takes a value ("=--columns"). A last line "-" lists the options of quotra-cli
# itself. The manual page and completion tests hold their texts against this.
set -eu
cli=$1/cli
# The command table: lines such as `{ "fetch", "fetch [--json] ...",`.
commands=$(sed -n 's/^ *{ "\([a-z][a-z-]*\)",.*/\1/p' "$cli/main.cpp")
[ -n "$commands" ] || { echo "no commands found in $cli/main.cpp" >&2; exit 1; }
for c in $commands; do
    file=$(find "$cli" -maxdepth 1 -iname "${c}Command.cpp" | head -n 1)
    [ -n "$file" ] || { echo "no source of the command $c in $cli" >&2; exit 1; }
    # Options are parser entries: { QStringLiteral("columns"), true } or { u"json"_s, false }.
    opts=$(grep -oE '\{ *(QStringLiteral\(|u)"[a-z][a-z0-9-]*"(\)|_s), *(true|false) *\}' "$file" |
        sed -E 's/.*"([a-z0-9-]+)".*(true|false).*/\2 \1/; s/^true /=--/; s/^false /--/' | tr '\n' ' ')
    echo "$c $opts"
done
# The program's own options: every "--word" literal of cli/main.cpp.
echo "- $(grep -oE '"--[a-z][a-z-]*"' "$cli/main.cpp" | tr -d '"' | sort -u | tr '\n' ' ')"
