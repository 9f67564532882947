#!/usr/bin/env bash
# Times orvanta-bench on ADIF logs against grep, side by side in one run:
#  - "search FILE.adi TEXT" against grep -F -i -c TEXT over the same file;
#  - "worked CALL FILE.adi wsjtx.log" against grep -F -i -c CALL over both
#    files (the count may take twice as long, it reads every record);
# and compares the peak memory of the search on a small and a large ADIF file.
#
#   bench/compare-adif.sh [-b path/to/orvanta-bench] [-g gen-databases] [-w workdir] [-n runs]
#
# Build orvanta-bench in a Release folder first, e.g.
#   cmake --preset release && cmake --build --preset release --target orvanta-bench
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
work="${TMPDIR:-/tmp}/orvanta-compare-adif"
runs=5
big=1000000
small=10000
usage_lines='2,12p'
# shellcheck source=bench/common.sh
. "$here/common.sh"
parse_options "$@"
require_tools

make_file adif "$big" big.adi
make_file adif "$small" small.adi
make_file log "$big" wsjtx-big.log --fields 17

# Milliseconds of wall time, user+system CPU milliseconds and the peak
# resident set (KiB) of one command.
measure() {
  local start end
  start=$(date +%s%N)
  /usr/bin/time -f "%U %S %M" -o "$work/rss" "$@" >"$work/out" 2>/dev/null || true  # grep -c exits 1 on no match
  end=$(date +%s%N)
  read -r u s m < <(tail -n 1 "$work/rss")
  echo "$(((end - start) / 1000)) $(echo "($u + $s) * 1000000 / 1" | bc) $m"
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# Runs grep and orvanta alternately; prints the medians of wall and CPU time.
compare() {  # label factor "grep command" "orvanta command"
  local label=$1 factor=$2 gcmd=$3 ocmd=$4 i
  : >"$work/grep.t"
  : >"$work/orv.t"
  for ((i = 0; i < runs; i++)); do
    # shellcheck disable=SC2086
    measure $gcmd >>"$work/grep.t"
    # shellcheck disable=SC2086
    measure $ocmd >>"$work/orv.t"
  done
  local gw gc ow oc
  gw=$(cut -d' ' -f1 "$work/grep.t" | median)
  gc=$(cut -d' ' -f2 "$work/grep.t" | median)
  ow=$(cut -d' ' -f1 "$work/orv.t" | median)
  oc=$(cut -d' ' -f2 "$work/orv.t" | median)
  printf '%-34s grep %8.1f ms (cpu %8.1f)  orvanta %8.1f ms (cpu %8.1f)  limit x%s  %s  peak RSS %s KiB\n' \
    "$label" "$(echo "$gw / 1000" | bc -l)" "$(echo "$gc / 1000" | bc -l)" "$(echo "$ow / 1000" | bc -l)" \
    "$(echo "$oc / 1000" | bc -l)" "$factor" "$( ((ow <= gw * factor)) && echo "ok  " || echo "SLOWER")" \
    "$(cut -d' ' -f3 "$work/orv.t" | sort -n | tail -n 1)"
}

# A call sign from the middle of the ADIF file, and one that is nowhere.
call=$(sed -n "$((big / 2 + 6))p" "$work/big.adi" | sed -n 's/^<call:[0-9]*>\([^ ]*\) .*/\1/p')

echo "orvanta-bench: $bench"
echo "median of $runs runs each, grep and orvanta alternately; call $call"
compare "search big.adi $call" 1 "grep -F -i -c -- $call $work/big.adi" "$bench search $work/big.adi $call"
compare "search big.adi Q0NOHIT" 1 "grep -F -i -c -- Q0NOHIT $work/big.adi" "$bench search $work/big.adi Q0NOHIT"
compare "worked $call big.adi+log" 2 "grep -F -i -c -- $call $work/big.adi $work/wsjtx-big.log" \
  "$bench worked $call $work/big.adi $work/wsjtx-big.log"
compare "worked --base $call big.adi+log" 2 "grep -F -i -c -- $call $work/big.adi $work/wsjtx-big.log" \
  "$bench worked --base $call $work/big.adi $work/wsjtx-big.log"

peak() { /usr/bin/time -f "%M" -o "$work/rss" "$bench" search "$work/$1" Q0NOHIT >/dev/null 2>&1; tail -n 1 "$work/rss"; }
s=$(peak small.adi)
b=$(peak big.adi)
printf 'peak RSS adif %7d contacts %6d KiB  %7d contacts %6d KiB  growth %5d KiB  %s\n' "$small" "$s" "$big" "$b" \
  $((b - s)) "$( ((b - s < 16384)) && echo "ok (< 16 MiB)" || echo "TOO MUCH")"
