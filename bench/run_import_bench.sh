#!/bin/sh
# Times the two signal importers against the pandas reference on generated
# files of a million lines, and reports the peak memory of each import beside
# the file size.
#
#   bench/run_import_bench.sh [lines]
#
# MORVANE_BENCH_BUILD_DIR: a Release build tree to use (default build-bench,
# configured and built here when import_bench is missing).
set -eu

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
lines=${1:-1000000}
runs=7
build=${MORVANE_BENCH_BUILD_DIR:-$root/build-bench}
python=/usr/bin/python3

if [ ! -x "$build/bench/import_bench" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DMORVANE_BUILD_APP=OFF -DMORVANE_BUILD_TESTS=OFF >/dev/null
    cmake --build "$build" --target import_bench -j2 >/dev/null
fi

if ! $python -c 'import pandas, numpy' 2>/dev/null; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get install -y python3-pandas python3-numpy >/dev/null ||
        { $sudo apt-get update >/dev/null && $sudo apt-get install -y python3-pandas python3-numpy >/dev/null; }
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/morvane-import-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT INT TERM
echo "Generating $lines-line files in $work ..."
$python "$here/make_signal_files.py" "$work" --lines "$lines"

# One process per import, so that its peak resident memory is its own.
for kind in Angle Time; do
    MORVANE_ANGLE_FILE="$work/angle.csv" MORVANE_TIME_FILE="$work/time.csv" \
        "$build/bench/import_bench" --benchmark_filter="^BM_${kind}Import\$" \
        --benchmark_repetitions=$runs --benchmark_out="$work/$kind.json" --benchmark_out_format=json >"$work/$kind.log" 2>&1 ||
        { cat "$work/$kind.log"; exit 1; }
done
$python "$here/pandas_reference.py" --angle "$work/angle.csv" --time "$work/time.csv" --runs $runs >"$work/pandas.json"

$python - "$work" <<'PY'
import json, os, sys
work = sys.argv[1]
pandas = json.load(open(os.path.join(work, "pandas.json")))
print(f"pandas {pandas['pandas']}, numpy {pandas['numpy']}; medians of the runs")
print(f"{'import':<7}{'file MiB':>10}{'ours ms':>10}{'pandas ms':>11}{'speed-up':>10}"
      f"{'process peak MiB':>18}{'/file':>7}{'import peak MiB':>17}{'/file':>7}")
for kind, key in (("Angle", "angle"), ("Time", "time")):
    runs = json.load(open(os.path.join(work, f"{kind}.json")))["benchmarks"]
    median = next(b for b in runs if b.get("aggregate_name") == "median")
    ours = median["real_time"]  # milliseconds
    file_mib = median["file_MiB"]
    peak = max(b["peak_rss_MiB"] for b in runs)
    own = max(b["import_peak_MiB"] for b in runs)
    reference = pandas[key]["median_ms"]
    if median["label"] != pandas[key]["summary"]:
        print(f"  summaries differ: ours '{median['label']}', pandas '{pandas[key]['summary']}'")
    print(f"{key:<7}{file_mib:>10.1f}{ours:>10.1f}{reference:>11.1f}{reference / ours:>9.2f}x"
          f"{peak:>18.1f}{peak / file_mib:>6.2f}x{own:>17.1f}{own / file_mib:>6.2f}x")
print("process peak: ru_maxrss of the benchmark process; import peak: its growth above the memory")
print("held before the first import")
PY
