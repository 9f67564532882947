#!/bin/sh
# Times taking a log over into a user database against LC_ALL=C sort of the
# same two files, side by side in one run, and reports wall time, CPU time
# and peak memory of each.
#
#   bench/compare-takeover.sh [ORVANTA_BENCH] [WORK_FOLDER] [ROUNDS]
#
# A database of 132,000 lines and a log of 100,000 contacts (13 fields) that
# share their calls; every round starts from the same database.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
bench=${1:-$here/../build/release/bench/orvanta-bench}
work=${2:-$(mktemp -d)}
rounds=${3:-5}
gen=${GEN_DATABASES:-$here/../../shared/tools/gen-databases}
timer=/usr/bin/time

[ -x "$bench" ] || { echo "no orvanta-bench at $bench (build it with the release preset)" >&2; exit 2; }
[ -x "$timer" ] || { echo "needs $timer (apt-get install -y time)" >&2; exit 2; }
[ -x "$gen" ] || { echo "needs gen-databases at $gen (set GEN_DATABASES)" >&2; exit 2; }

bench=$(cd "$(dirname "$bench")" && pwd)/$(basename "$bench")
mkdir -p "$work/pristine"
cd "$work"
echo "generating data in $work"
[ -f pristine/CALL3.txt ] || "$gen" call3 --lines 132000 --calls 60000 --seed 1 pristine/CALL3.txt
[ -f pristine/wsjtx.log ] || "$gen" log --lines 100000 --calls 60000 --seed 2 pristine/wsjtx.log

# run LABEL COMMAND...: one timed run; prints "LABEL wall s, cpu s, peak KB".
run() {
  label=$1
  shift
  "$timer" -o time.out -f "%e %U %S %M" "$@" >run.out 2>run.err || {
    echo "$label failed:" >&2
    cat run.err >&2
    exit 1
  }
  read -r wall user sys peak <time.out
  cpu=$(echo "$user $sys" | awk '{printf "%.3f", $1 + $2}')
  printf '%-24s wall %6.3f s   cpu %6.3f s   peak %8d KB\n' "$label" "$wall" "$cpu" "$peak"
}

round=1
while [ "$round" -le "$rounds" ]; do
  rm -f CALL3_Old.txt
  cp pristine/CALL3.txt CALL3.txt
  sync
  run "orvanta-bench takeover" "$bench" takeover "$work/CALL3.txt" "$work/pristine/wsjtx.log"
  [ "$round" -eq 1 ] && head -n 1 run.out | sed 's/^/  (/; s/$/)/'
  run "LC_ALL=C sort" env LC_ALL=C sort pristine/CALL3.txt pristine/wsjtx.log
  round=$((round + 1))
done
rm -f time.out run.out run.err
