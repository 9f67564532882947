#!/usr/bin/env bash
# Builds the record, ADIF and WSJT-X message fuzzers with clang (preset "fuzz") and runs each for a bounded time.
#   tests/fuzz/run.sh SECONDS
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
seconds=${1:-60}
build=$root/build/fuzz

cd "$root"
cmake --preset fuzz
cmake --build --preset fuzz
# A fresh working corpus each run; the committed seeds stay untouched.
rm -rf "$build/corpus" "$build/corpus-adif" "$build/corpus-protocol"
mkdir -p "$build/corpus" "$build/corpus-adif" "$build/corpus-protocol"
"$build/tests/fuzz/records_fuzz" -max_total_time="$seconds" -max_len=65536 -print_final_stats=1 \
  "$build/corpus" "$root/tests/fuzz/corpus"
"$build/tests/fuzz/adif_fuzz" -max_total_time="$seconds" -max_len=65536 -print_final_stats=1 \
  "$build/corpus-adif" "$root/tests/fuzz/corpus-adif"
"$build/tests/fuzz/protocol_fuzz" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
  "$build/corpus-protocol" "$root/tests/fuzz/corpus-protocol"
