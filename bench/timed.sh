# Shared by the maintenance and take-over comparisons (POSIX sh); sourced,
# not run. Takes `here` and the positional arguments
# [ORVANTA_BENCH] [WORK_FOLDER] [ROUNDS] with `default_rounds`, checks the
# tools, and leaves `bench`, `work`, `rounds`, `gen` and `timer` set.

bench=${1:-$here/../build/release/bench/orvanta-bench}
work=${2:-$(mktemp -d)}
rounds=${3:-$default_rounds}
gen=${GEN_DATABASES:-$here/../../shared/tools/gen-databases}
timer=/usr/bin/time

[ -x "$bench" ] || { echo "no orvanta-bench at $bench (build it with the release preset)" >&2; exit 2; }
[ -x "$timer" ] || { echo "needs $timer (apt-get install -y time)" >&2; exit 2; }
[ -x "$gen" ] || { echo "needs gen-databases at $gen (set GEN_DATABASES)" >&2; exit 2; }
bench=$(cd "$(dirname "$bench")" && pwd)/$(basename "$bench")
mkdir -p "$work/pristine"

# run LABEL COMMAND...: one timed run in the current folder; prints
# "LABEL wall s, cpu s, peak KB" (milliseconds shown).
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
