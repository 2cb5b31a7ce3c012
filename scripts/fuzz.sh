#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (the fuzz preset, build-fuzz) and
# runs each one for the given number of seconds (default 30), starting from the
# seeds in fuzz/corpus/<target>/ and the synthetic ones fuzz/make_seeds.sh
# writes into build-fuzz/seeds/<target>/.
#
#   scripts/fuzz.sh [seconds] [target ...]
#
# New inputs go to build-fuzz/corpus/<target>/, crashing inputs to
# build-fuzz/findings/<target>/ and the full output to build-fuzz/logs/: nothing
# is written into the source tree. Exits non-zero when any target crashed.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

seconds=${1:-30}
if ! [[ $seconds =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: scripts/fuzz.sh [seconds] [target ...]" >&2
  exit 2
fi
shift $(( $# > 0 ? 1 : 0 ))
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(numtext_fuzz numparse_diff_fuzz textlines_fuzz import_fuzz events_fuzz valves_fuzz combustion_fuzz setup_fuzz mdf4_fuzz)
fi

build_dir=build-fuzz
# The fuzz preset: clang-14 (libFuzzer comes with it) and the sanitizers;
# only the targets to run are built.
MORVANE_PRESET=fuzz MORVANE_TARGETS="${targets[*]}" scripts/setup.sh
# Synthetic measurement files join the committed seeds; they are written into
# the build tree, never into the source tree.
generated=$build_dir/seeds
rm -rf "$generated"
fuzz/make_seeds.sh "$generated"

symbolizer=/usr/lib/llvm-14/bin/llvm-symbolizer
if [ -x "$symbolizer" ]; then
  export ASAN_SYMBOLIZER_PATH=$symbolizer
fi
# No detect_stack_use_after_return here: it slows the number parses fivefold,
# and scripts/sanitize.sh already runs every test with it.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=halt_on_error=1:abort_on_error=1:print_stacktrace=1

failed=()
for target in "${targets[@]}"; do
  binary=$build_dir/fuzz/$target
  seeds=fuzz/corpus/$target
  if [ ! -x "$binary" ] || [ ! -d "$seeds" ]; then
    echo "unknown fuzz target: $target" >&2
    exit 2
  fi
  corpus=$build_dir/corpus/$target
  findings=$build_dir/findings/$target
  log=$build_dir/logs/$target.log
  mkdir -p "$corpus" "$findings" "$(dirname "$log")"

  echo "== $target: ${seconds} s"
  # The first folder receives the new inputs; the seed folders are only read.
  status=0
  extra=()
  if [ -d "$generated/$target" ]; then extra=("$generated/$target"); fi
  "$binary" "$corpus" "$seeds" "${extra[@]}" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$findings/" -print_final_stats=1 >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  echo "   ${runs:-?} runs, ${speed:-?} per second, corpus $(find "$corpus" -type f | wc -l) inputs"
  if [ "$status" -ne 0 ]; then
    failed+=("$target")
    echo "   CRASH (exit $status); the input is in $root/$findings/, the output in $root/$log:" >&2
    grep -E 'ERROR|runtime error|Broken property|SUMMARY|Test unit written' "$log" | head -20 >&2 || true
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing found crashes in: ${failed[*]}" >&2
  exit 1
fi
echo "no crashes"
