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
default_rounds=5
. "$here/timed.sh"
cd "$work"
echo "generating data in $work"
[ -f pristine/CALL3.txt ] || "$gen" call3 --lines 132000 --calls 60000 --seed 1 pristine/CALL3.txt
[ -f pristine/wsjtx.log ] || "$gen" log --lines 100000 --calls 60000 --seed 2 pristine/wsjtx.log

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
