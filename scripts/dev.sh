#!/usr/bin/env bash
# Developer entry point for a Debian machine.
#   scripts/dev.sh run    install what is missing, build, open the window on a fresh copy of the examples
#   scripts/dev.sh test   install what is missing, build, run every test (also under ASan+UBSan) and the fuzzer
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=$(nproc 2>/dev/null || echo 2)

packages_run=(cmake ninja-build g++ qt6-base-dev qt6-translations-l10n fonts-dejavu-core)
packages_test=("${packages_run[@]}" libgtest-dev clang libclang-rt-14-dev clang-format-14 clang-tidy-14
  xvfb openbox xdotool x11-utils desktop-file-utils appstream dpkg-dev file libxml2-utils shared-mime-info
  man-db groff-base)

install_missing() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "== Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
}

build() {  # build PRESET
  (cd "$root" && cmake --preset "$1" && cmake --build --preset "$1" -j "$jobs")
}

check_tidy() {  # check_tidy BUILD_DIR: the checks of .clang-tidy over src, tests and bench
  # Every source file the build compiles (the fuzz targets belong to the fuzz
  # build); the findings stay in the log, and any finding fails.
  local files log status=0
  mapfile -t files < <(cd "$root" && git ls-files 'src/*.cpp' 'tests/*.cpp' 'bench/*.cpp' |
    grep -F -f <(sed -n 's/.*"file": "\(.*\)".*/\1/p' "$1/compile_commands.json" | sed "s|^$root/||"))
  log=$(mktemp)
  (cd "$root" && printf '%s\n' "${files[@]}" |
    xargs -P "$jobs" -n 4 clang-tidy-14 -p "$1" --quiet --extra-arg=-Wno-unknown-warning-option >"$log" 2>&1) ||
    status=$?
  grep -E '(warning|error): .*\[[a-z]' "$log" | sort -u || true
  echo "clang-tidy: $(grep -cE '(warning|error): .*\[[a-z]' "$log" || true) findings in ${#files[@]} files"
  rm -f "$log"
  return "$status"
}

check_format() {
  local files
  mapfile -t files < <(cd "$root" && git ls-files '*.cpp' '*.h')
  (cd "$root" && clang-format-14 --dry-run --Werror "${files[@]}")
}

passed=0
failed=0
run_tests() {  # run_tests PRESET: the test preset of that name
  local log
  log=$(mktemp)
  local status=0
  (cd "$root" && ctest --preset "$1" -j "$jobs") 2>&1 | tee "$log" || status=$?
  local total bad
  total=$(sed -n 's/.*tests failed out of \([0-9]*\).*/\1/p' "$log" | tail -1)
  bad=$(sed -n 's/.*, \([0-9]*\) tests failed out of.*/\1/p' "$log" | tail -1)
  rm -f "$log"
  passed=$((passed + ${total:-0} - ${bad:-0}))
  failed=$((failed + ${bad:-0}))
  return "$status"
}

case "${1:-}" in
  run)
    install_missing "${packages_run[@]}"
    build release
    work=$(mktemp -d "${TMPDIR:-/tmp}/orvanta-examples-XXXXXX")
    cp "$root"/examples/* "$work"/
    echo "== Starting Orvanta in $work"
    cd "$work"
    exec "$root/build/release/src/main/orvanta"
    ;;
  test)
    install_missing "${packages_test[@]}"
    echo "== Formatting"
    check_format
    echo "== Build and test"
    build dev
    run_tests dev
    echo "== Static checks (clang-tidy)"
    check_tidy "$root/build/dev"
    echo "== Build and test under AddressSanitizer and UndefinedBehaviorSanitizer"
    build asan
    run_tests asan
    echo "== Searches, take-overs and the call index that read on threads, under ThreadSanitizer"
    build tsan
    run_tests tsan
    echo "== Fuzz the record reader for a minute"
    "$root/tests/fuzz/run.sh" 60
    echo "== Desktop entry, AppStream metadata and the Debian package"
    "$root/scripts/package-check.sh"
    echo "== Summary (both builds)"
    echo "$passed passed, $failed failed"
    ;;
  *)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
