#!/bin/sh
# Fetches a few codes of each page kind from the quote site and reports, field by field,
# whether the parsers still find values, so that a layout change of the site shows up in one
# command. Opt-in: it needs the network and is never part of CI or the test command.
#   scripts/live-check.sh                 the public site (or QUOTRA_SITE_ROOT when set)
#   QUOTRA_SITE_ROOT=http://127.0.0.1:N/ scripts/live-check.sh   another site, e.g. the sample site
# QUOTRA_CLI names the quotra-cli to use (default: build/bin/quotra-cli, then build-b/bin).
# Exit status 0 when every code was fetched and every kind gave its required fields, 1 when
# not, 2 when quotra-cli or python3 is missing.
set -u
cd "$(dirname "$0")/.."

cli="${QUOTRA_CLI:-}"
if [ -z "$cli" ]; then
  for candidate in build/bin/quotra-cli build-b/bin/quotra-cli; do
    if [ -x "$candidate" ]; then
      cli="$candidate"
      break
    fi
  done
fi
if [ -z "$cli" ] || [ ! -x "$cli" ]; then
  echo "live-check: no quotra-cli (build it, or set QUOTRA_CLI)" >&2
  exit 2
fi
if ! command -v python3 >/dev/null 2>&1; then
  echo "live-check: python3 is needed for the report" >&2
  exit 2
fi

echo "site: ${QUOTRA_SITE_ROOT:-the public site}"
status=0
# kind, then its codes: two or three well-known securities of each page kind.
while read -r kind codes; do
  [ -n "$kind" ] || continue
  # shellcheck disable=SC2086 # one code a word
  "$cli" fetch --json $codes >"${TMPDIR:-/tmp}/quotra-live-check.$$.json" 2>/dev/null
  python3 - "$kind" "${TMPDIR:-/tmp}/quotra-live-check.$$.json" <<'PY' || status=1
import json, sys

kind, path = sys.argv[1], sys.argv[2]
# Fields every page of every kind shows; a kind that loses one of them fails the check.
required = ["name", "t_value", "difference", "ratio"]
skip = {"code", "ok", "error", "kind", "suffix", "status"}
try:
    with open(path, encoding="utf-8") as f:
        records = json.load(f)
except (OSError, ValueError) as e:
    print(f"{kind}: no answer from quotra-cli ({e})")
    sys.exit(1)

failed = [r for r in records if not r.get("ok")]
print(f"{kind}: {len(records) - len(failed)} of {len(records)} fetched")
for r in failed:
    print(f"  {r.get('code')}: failed: {r.get('error') or 'no reason given'}")
fetched = [r for r in records if r.get("ok")]
fields = [k for k in records[0] if k not in skip] if records else []
# Counted over the pages that were fetched: a failed code says nothing about the layout.
found = {f: sum(1 for r in fetched if r.get(f)) for f in fields}
every = [f for f in fields if fetched and found[f] == len(fetched)]
partly = [f"{f} ({found[f]}/{len(fetched)})" for f in fields if 0 < found[f] < len(fetched)]
none = [f for f in fields if found[f] == 0]
print(f"  in every page ({len(every)}): {' '.join(every) or '-'}")
print(f"  in some pages ({len(partly)}): {' '.join(partly) or '-'}")
print(f"  in no page ({len(none)}): {' '.join(none) or '-'}")
lost = [f for f in required if f not in fields or found[f] < len(fetched) or not fetched]
bad = bool(lost)
if lost:
    print(f"  required but not in every page: {' '.join(lost)}")
sys.exit(1 if failed or bad else 0)
PY
done <<'KINDS'
domestic-stock 7203 6758 8306
domestic-index 998407 998405
foreign-stock AAPL MSFT
fund 0331418A 03311187
world-index ^DJI ^N225
KINDS
rm -f "${TMPDIR:-/tmp}/quotra-live-check.$$.json"
if [ "$status" -eq 0 ]; then
  echo "live-check: every kind gave its fields"
else
  echo "live-check: some codes or fields are missing (see above)"
fi
exit "$status"
