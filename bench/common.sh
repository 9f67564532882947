# Shared by the comparison scripts; sourced, not run. Each script sets `here`,
# its defaults (`work`, `runs`) and `usage_lines` ("2,9p": its usage comment)
# before it calls these.

bench=${bench:-$here/../build/release/bench/orvanta-bench}
gen=${GEN_DATABASES:-$here/../../shared/tools/gen-databases}

# parse_options "$@": -b orvanta-bench, -g gen-databases, -w work folder, -n runs.
parse_options() {
  local opt OPTIND=1
  while getopts "b:g:w:n:" opt; do
    case $opt in
      b) bench=$OPTARG ;;
      g) gen=$OPTARG ;;
      w) work=$OPTARG ;;
      n) runs=$OPTARG ;;
      *) sed -n "$usage_lines" "$0"; exit 2 ;;
    esac
  done
}

require_tools() {
  [[ -x $bench ]] || { echo "orvanta-bench not found at $bench (build it with the release preset)" >&2; exit 2; }
  [[ -x $gen ]] || { echo "gen-databases not found at $gen (set GEN_DATABASES or use -g)" >&2; exit 2; }
  [[ -x /usr/bin/time ]] || { echo "/usr/bin/time is missing (apt-get install time)" >&2; exit 2; }
  mkdir -p "$work"
}

make_file() {  # kind lines name [options...]
  local kind=$1 lines=$2 name=$3
  shift 3
  [[ -s $work/$name ]] || "$gen" "$kind" --lines "$lines" "$@" "$work/$name" >/dev/null
}

# The files the follow benchmarks list: a 1,000,000-line database and a
# 100,000-contact ADIF log sharing their calls.
make_follow_files() {
  make_file call3 1000000 CALL3.txt --calls 300000 --seed 1
  make_file adif 100000 wsjtx_log.adi --calls 300000 --seed 2
}

# start_follower OUT ERR ARGS...: runs orvanta-bench follow ARGS in the
# background with its output in the work folder, waits for its first line
# and sets `follower` (its process) and `port` (where it listens).
start_follower() {
  local out=$work/$1 err=$work/$2
  shift 2
  rm -f "$out" "$err"
  "$bench" follow "$@" >"$out" 2>"$err" &
  follower=$!
  until [[ -s $out ]]; do
    kill -0 "$follower" 2>/dev/null || { cat "$err" >&2; exit 1; }
    sleep 0.1
  done
  port=$(head -n 1 "$out" | cut -f 3)
}
