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
