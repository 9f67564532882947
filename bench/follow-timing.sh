#!/usr/bin/env bash
# Times following WSJT-X: a 1,000,000-line CALL3 database current and a
# 100,000-contact ADIF log listed, orvanta-bench follow is sent Status
# datagrams over the loopback interface, each new DX call followed by nine
# repeats, and prints how long each took from reading the datagram to the
# record, worked-before table and beam heading worked out.
#
#   bench/follow-timing.sh [-b ORVANTA_BENCH] [-g GEN_DATABASES] [-w WORK_FOLDER] [-n CALLS]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=/tmp/orvanta-follow
runs=10
usage_lines="2,8p"
. "$here/common.sh"
parse_options "$@"
require_tools
make_follow_files
# Calls of the database spread over the file, and one it does not hold.
mapfile -t calls < <(awk -F, -v n="$runs" 'NR > 1 && NR % int(1000000 / n) == 0 { print $1 }' "$work/CALL3.txt")
calls+=(Q0NOHIT)
datagrams=()
for call in "${calls[@]}"; do
  for _ in $(seq 10); do datagrams+=("status,WSJT-X,$call,,144174000,FT8,JO31"); done
done
start_follower follow.out follow.err --port 0 --count "${#datagrams[@]}" --seconds 120 \
  "$work/CALL3.txt" "$work/wsjtx_log.adi"
# The logs are read beside the first datagrams; the figures are those of a follower that has read them.
sleep 3
# Each datagram is sent only once the one before has been handled.
for datagram in "${datagrams[@]}"; do
  before=$(grep -c handled "$work/follow.err" || true)
  "$bench" send "$port" "$datagram"
  while [[ $(grep -c handled "$work/follow.err" || true) -eq $before ]]; do sleep 0.01; done
done
wait "$follower"
echo "new DX call (ms):   $(awk 'NR % 10 == 1 { printf "%s ", $3 }' "$work/follow.err")"
echo "repeated (ms, max): $(awk 'NR % 10 != 1 && $3 > m { m = $3 } END { print m }' "$work/follow.err")"
grep -E '^(record|absent|worked|bearing)' "$work/follow.out" | head -n 8
