#!/usr/bin/env bash
# Times a plain search of orvanta-bench against grep -F -i -c with the same
# text on the same files, side by side in one run, and compares the peak
# memory of the search on a small and a large file.
#
#   bench/compare-search.sh [-b path/to/orvanta-bench] [-g gen-databases] [-w workdir] [-n runs]
#
# Build orvanta-bench in a Release folder first, e.g.
#   cmake --preset release && cmake --build --preset release --target orvanta-bench
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
work="${TMPDIR:-/tmp}/orvanta-compare-search"
runs=9
big=1000000
small=10000
usage_lines='2,9p'
# shellcheck source=bench/common.sh
. "$here/common.sh"
parse_options "$@"
require_tools

make_file call3 "$big" call3-big.txt
make_file call3 "$small" call3-small.txt
make_file call3 "$big" call3-big-utf8.txt --encoding utf-8 --eol lf
make_file log "$big" wsjtx-big.log
make_file log "$small" wsjtx-small.log

# Milliseconds of wall time and the peak resident set (KiB) of one command.
measure() {
  local start end
  start=$(date +%s%N)
  /usr/bin/time -f "%M" -o "$work/rss" "$@" >"$work/out" 2>/dev/null || true  # grep -c exits 1 on no match
  end=$(date +%s%N)
  echo "$(((end - start) / 1000)) $(tail -n 1 "$work/rss")"
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# Runs grep and the search alternately; prints the medians.
compare() {  # file text
  local file=$work/$1 text=$2 g o i
  : >"$work/grep.t"
  : >"$work/orv.t"
  for ((i = 0; i < runs; i++)); do
    measure grep -F -i -c -- "$text" "$file" >>"$work/grep.t"
    grep_hits=$(cat "$work/out")
    measure "$bench" search "$file" "$text" >>"$work/orv.t"
    orv_hits=$(sed -n 's/^hits: //p' "$work/out")
  done
  g=$(cut -d' ' -f1 "$work/grep.t" | median)
  o=$(cut -d' ' -f1 "$work/orv.t" | median)
  printf '%-22s %-10s grep %8.1f ms (%s lines)  orvanta %8.1f ms (%s hits)  %s  peak RSS %s KiB\n' \
    "$1" "$text" "$(echo "$g / 1000" | bc -l)" "$grep_hits" "$(echo "$o / 1000" | bc -l)" "$orv_hits" \
    "$( ((o <= g)) && echo "ok  " || echo "SLOWER")" "$(cut -d' ' -f2 "$work/orv.t" | sort -n | tail -n 1)"
}

# A call sign from the middle of each file, and a text that is nowhere.
pick_call() { sed -n "$(($2 / 2))p" "$work/$1" | cut -d, -f"$3"; }
call3_call=$(pick_call call3-big.txt "$big" 1)
log_call=$(pick_call wsjtx-big.log "$big" 5)

echo "orvanta-bench: $bench"
echo "median of $runs runs each, grep and orvanta alternately"
compare call3-big.txt "$call3_call"
compare call3-big.txt "${call3_call,,}"
compare call3-big.txt Q0NOHIT
compare call3-big-utf8.txt "$call3_call"
compare wsjtx-big.log "$log_call"
compare wsjtx-big.log Q0NOHIT
# A text in about one line of ten: every hit is shown and answered Yes, which
# grep, counting only, does not have to do.
compare call3-big.txt EME

# Peak memory of the search, small file against large file.
peak() { /usr/bin/time -f "%M" -o "$work/rss" "$bench" search "$work/$1" Q0NOHIT >/dev/null 2>&1; tail -n 1 "$work/rss"; }
for kind in call3 wsjtx; do
  ext=txt
  [[ $kind == wsjtx ]] && ext=log
  s=$(peak "$kind-small.$ext")
  b=$(peak "$kind-big.$ext")
  printf 'peak RSS %-6s %7d lines %6d KiB  %7d lines %6d KiB  growth %5d KiB  %s\n' "$kind" "$small" "$s" "$big" \
    "$b" $((b - s)) "$( ((b - s < 16384)) && echo "ok (< 16 MiB)" || echo "TOO MUCH")"
done
