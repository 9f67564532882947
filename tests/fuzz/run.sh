#!/usr/bin/env bash
# Builds the record fuzzer with clang and runs it for a bounded time.
#   tests/fuzz/run.sh BUILD_DIR SECONDS
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${1:-$root/build/fuzz}
seconds=${2:-60}

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DORVANTA_FUZZ=ON -DORVANTA_BUILD_GUI=OFF -DORVANTA_BUILD_BENCH=OFF
cmake --build "$build" --target records_fuzz
# A fresh working corpus each run; the committed seeds stay untouched.
rm -rf "$build/corpus"
mkdir -p "$build/corpus"
"$build/tests/fuzz/records_fuzz" -max_total_time="$seconds" -max_len=65536 -print_final_stats=1 \
  "$build/corpus" "$root/tests/fuzz/corpus"
