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
make_follow_files
# Calls of the database and of the log, spread over both files; every round its own.
mapfile -t database_calls < <(awk -F, -v n=$((40 * runs)) 'NR > 1 && NR % int(1000000 / n) == 0 { print $1 }' \
  "$work/CALL3.txt" | head -n $((40 * runs)))
mapfile -t log_calls < <(grep -o -i '<call:[0-9]*>[^ <]*' "$work/wsjtx_log.adi" | cut -d'>' -f2 |
  awk -v n=$((20 * runs)) 'NR % int(100000 / n) == 0' | head -n $((20 * runs)))
/usr/bin/time -f "index: %e s wall, %U s user, %M KiB peak" "$bench" index "$work/CALL3.txt" "$work/wsjtx_log.adi"
# The first line comes once the index is built. The database may give a call
# fewer than asked for; the follower stops after exactly the datagrams sent.
start_follower highlight.out highlight.err --highlight --port 0 \
  --count $((1 + ${#database_calls[@]} + ${#log_calls[@]})) --seconds 300 \
  "$work/CALL3.txt" "$work/wsjtx_log.adi"
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
