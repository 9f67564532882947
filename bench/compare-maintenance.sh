#!/bin/sh
# Times the merge and the month-end update of orvanta-bench against the same
# jobs done with standard tools, side by side in one run, and reports wall
# time, CPU time and peak memory of each.
#
#   bench/compare-maintenance.sh [ORVANTA_BENCH] [WORK_FOLDER] [ROUNDS]
#
# Merge: ten databases of 100,000 lines, one per folder, against
#   LC_ALL=C sort -u of all their lines into one file, then cp into each folder.
# Month-end: one database of 1,000,000 lines, against
#   awk -F, -v OFS=, '{$1=$1; print}' rewriting it into a new file.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
default_rounds=3
. "$here/timed.sh"
cd "$work"

echo "generating data in $work"
for i in 1 2 3 4 5 6 7 8 9 10; do
  [ -f "pristine/d$i.txt" ] || "$gen" call3 --lines 100000 --calls 300000 --seed "$i" "pristine/d$i.txt"
done
[ -f pristine/big.txt ] || "$gen" call3 --lines 1000000 --seed 42 pristine/big.txt

restore_merge() {
  rm -rf m all.txt
  for i in 1 2 3 4 5 6 7 8 9 10; do
    mkdir -p "m/d$i"
    cp "pristine/d$i.txt" "m/d$i/CALL3.txt"
  done
  sync
}

input_kb=$(cat pristine/d*.txt | wc -c | awk '{printf "%d", $1 / 1024}')
lines=$(cat pristine/d*.txt | wc -l)
echo
echo "merge: 10 databases, $lines lines, $input_kb KB in all (memory limit $((input_kb * 3)) KB)"
round=1
while [ "$round" -le "$rounds" ]; do
  restore_merge
  run "orvanta-bench merge" "$bench" merge m/d1/CALL3.txt m/d2/CALL3.txt m/d3/CALL3.txt m/d4/CALL3.txt \
    m/d5/CALL3.txt m/d6/CALL3.txt m/d7/CALL3.txt m/d8/CALL3.txt m/d9/CALL3.txt m/d10/CALL3.txt
  [ "$round" -eq 1 ] && echo "  ($(cat run.out))"
  restore_merge
  run "sort -u + cp" sh -c 'LC_ALL=C sort -u m/d*/CALL3.txt >all.txt &&
    for i in 1 2 3 4 5 6 7 8 9 10; do cp all.txt m/d$i/CALL3.txt; done'
  round=$((round + 1))
done

big_kb=$(wc -c <pristine/big.txt | awk '{printf "%d", $1 / 1024}')
echo
echo "month-end: 1 database, $(wc -l <pristine/big.txt) lines, $big_kb KB"
round=1
while [ "$round" -le "$rounds" ]; do
  cp pristine/big.txt CALL3.txt
  sync
  run "orvanta-bench monthend" "$bench" monthend CALL3.txt
  cp pristine/big.txt CALL3.txt
  sync
  run "awk rewrite" sh -c "awk -F, -v OFS=, '{\$1=\$1; print}' CALL3.txt >new.txt"
  round=$((round + 1))
done
rm -f new.txt all.txt time.out run.out run.err
