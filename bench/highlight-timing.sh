#!/usr/bin/env bash
# Times the colours in WSJT-X's band activity end to end: a 1,000,000-line
# CALL3 database and a 100,000-contact ADIF log listed, orvanta-bench follow
# --highlight is sent a Status and then, per round, a burst of 60 Decodes at
# once over the loopback interface; the sender waits for the Highlight
# datagrams and prints how many came and how long after its last Decode the
# last of them arrived.
#
#   bench/highlight-timing.sh [-b ORVANTA_BENCH] [-g GEN_DATABASES] [-w WORK_FOLDER] [-n ROUNDS]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=/tmp/orvanta-follow
runs=5
usage_lines="2,9p"
. "$here/common.sh"
parse_options "$@"
require_tools
make_file call3 1000000 CALL3.txt --calls 300000 --seed 1
make_file adif 100000 wsjtx_log.adi --calls 300000 --seed 2
burst=60
# Calls of the database and of the log, spread over both files; every round its own.
mapfile -t database_calls < <(awk -F, -v n=$((40 * runs)) 'NR > 1 && NR % int(1000000 / n) == 0 { print $1 }' \
  "$work/CALL3.txt" | head -n $((40 * runs)))
mapfile -t log_calls < <(grep -o -i '<call:[0-9]*>[^ <]*' "$work/wsjtx_log.adi" | cut -d'>' -f2 |
  awk -v n=$((20 * runs)) 'NR % int(100000 / n) == 0' | head -n $((20 * runs)))
/usr/bin/time -f "index: %e s wall, %U s user, %M KiB peak" "$bench" index "$work/CALL3.txt" "$work/wsjtx_log.adi"
rm -f "$work/highlight.out" "$work/highlight.err"
"$bench" follow --highlight --port 0 --count $((1 + burst * runs)) --seconds 300 \
  "$work/CALL3.txt" "$work/wsjtx_log.adi" >"$work/highlight.out" 2>"$work/highlight.err" &
follower=$!
# The first line comes once the index is built.
until [[ -s $work/highlight.out ]]; do
  kill -0 "$follower" 2>/dev/null || { cat "$work/highlight.err" >&2; exit 1; }
  sleep 0.1
done
port=$(head -n 1 "$work/highlight.out" | cut -f 3)
"$bench" send "$port" "status,WSJT-X,,,144174000,FT8,JO31"
for ((round = 0; round < runs; round++)); do
  decodes=()
  for call in "${database_calls[@]:$((40 * round)):40}" "${log_calls[@]:$((20 * round)):20}"; do
    decodes+=("decode,WSJT-X,CQ $call JO62")
  done
  "$bench" send --burst --replies 2 "$port" "${decodes[@]}"
done
wait "$follower"
echo "colours sent: $(grep -c -P '^highlight\t.*\t#' "$work/highlight.out") ($(cut -f 4 "$work/highlight.out" |
  grep -E '^(needed|newslot|worked)$' | sort | uniq -c | tr -s ' \n' ' '))"
echo "cleared at the end: $(grep -c -P '^highlight\t.*\tclear\t-$' "$work/highlight.out")"
