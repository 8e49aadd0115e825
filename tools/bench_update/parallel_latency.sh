#!/bin/sh
# Wall time of `quotra-cli fetch --parallel N` for 200 codes against the sample site with
# every answer LATENCY ms late, over HTTP/1.1 (plain http) and HTTP/2 (https, ALPN h2), with
# the site's connection, stream and peak counts for each run (its stats requests taken off).
#   tools/bench_update/parallel_latency.sh [BIN_DIR] [LATENCY_MS] [N...]
set -eu
bin=${1:-build/bin}
latency=${2:-100}
shift 2 2>/dev/null || shift $#
counts=${*:-1 4 8}
work=$(mktemp -d)
trap 'kill "$site" 2>/dev/null || true; rm -rf "$work"' EXIT

# The 16 sample codes in turn, 200 in all.
codes=$(awk 'BEGIN { split("7203 6758 8306 9432 7974 3350 1321 8951 998407 998405 AAPL MSFT 0331418A 03311187 ^DJI ^N225", c, " ");
  for (i = 0; i < 200; i++) printf "%s ", c[i % 16 + 1] }')

stat() { # the site's counts: connections requests peak limited streams
  curl -s ${ca:+--cacert "$ca"} "${root}__stats" | awk '{ print $2, $4, $6, $8, ($10 == "" ? 0 : $10) }'
}

echo "protocol N seconds speedup connections streams peak"
for protocol in http1.1 http2; do
  ca=
  extra=
  if [ "$protocol" = http2 ]; then
    ca=$work/site.pem
    extra="--http2 --cert-out $ca"
  fi
  # shellcheck disable=SC2086
  "$bin/quotra-sample-site" --port 0 --latency-ms "$latency" $extra > "$work/site.out" &
  site=$!
  while ! grep -q '^port ' "$work/site.out" 2>/dev/null; do sleep 0.05; done
  port=$(sed -n 's/^port //p' "$work/site.out")
  if [ -n "$ca" ]; then root=https://127.0.0.1:$port/; else root=http://127.0.0.1:$port/; fi
  base=
  for n in $counts; do
    curl -s ${ca:+--cacert "$ca"} "${root}__reset-peak" > /dev/null
    set -- $(stat)
    c0=$1 s0=$5
    start=$(date +%s.%N)
    # shellcheck disable=SC2086
    QUOTRA_SITE_ROOT=$root QUOTRA_SITE_CA_FILE=$ca "$bin/quotra-cli" fetch --parallel "$n" $codes > /dev/null \
      || echo "quotra-cli fetch --parallel $n failed (status $?)" >&2
    end=$(date +%s.%N)
    set -- $(stat)
    # Both stats requests open a connection of their own (curl does not keep them).
    connections=$(($1 - c0 - 1))
    streams=$(($5 - s0))
    seconds=$(awk "BEGIN { print $end - $start }")
    [ -n "$base" ] || base=$seconds
    speedup=$(awk "BEGIN { printf \"%.2f\", $base / $seconds }")
    printf '%s %s %.2f %s %s %s %s\n' "$protocol" "$n" "$seconds" "$speedup" "$connections" "$streams" "$3"
  done
  kill "$site"
  wait "$site" 2>/dev/null || true
done
