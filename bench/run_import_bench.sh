#!/bin/sh
# Times the three signal importers on generated files against two references:
# pandas (the angle and time imports done with numpy; for the encoder file only
# its read_csv, less than any pandas import of it would cost) and a reference
# that only reads the file and parses its numbers. Reports the peak memory of
# each import beside the file size.
#
#   bench/run_import_bench.sh [lines] [runs] [kinds]
#
# kinds: any of "angle time encoder" (default all three), e.g. "encoder" to
# time the encoder import alone on a large file.
# MORVANE_BENCH_BUILD_DIR: a Release build tree to use (default build-bench,
# configured and built here when import_bench is missing).
# MORVANE_BENCH_FILES: a folder holding the generated files already (kept
# afterwards); without it they are generated into a temporary folder.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
lines=${1:-1000000}
runs=${2:-7}
kinds=${3:-angle time encoder}
build=${MORVANE_BENCH_BUILD_DIR:-$root/build-bench}
python=/usr/bin/python3

if [ ! -x "$build/bench/import_bench" ]; then
    launcher=""
    command -v ccache >/dev/null && launcher=-DCMAKE_CXX_COMPILER_LAUNCHER=ccache
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DMORVANE_BUILD_APP=OFF -DMORVANE_BUILD_TESTS=OFF \
        $launcher >/dev/null
    cmake --build "$build" --target import_bench -j2 >/dev/null
fi

if ! $python -c 'import pandas, numpy' 2>/dev/null; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get install -y python3-pandas python3-numpy >/dev/null ||
        { $sudo apt-get update >/dev/null && $sudo apt-get install -y python3-pandas python3-numpy >/dev/null; }
fi

results=$(mktemp -d "${TMPDIR:-/tmp}/morvane-import-bench.XXXXXX")
trap 'rm -rf "$results"' EXIT INT TERM
work=${MORVANE_BENCH_FILES:-$results}
if [ -z "${MORVANE_BENCH_FILES:-}" ]; then
    echo "Generating $lines-line files in $work ..."
    if [ "$kinds" = encoder ]; then
        PYTHONPATH="$here" $python -c "import sys, make_signal_files as m
m.write_lines(sys.argv[1], m.encoder_lines(int(sys.argv[2])), '\r\n')" "$work/encoder.csv" "$lines"
    else
        $python "$here/make_signal_files.py" "$work" --lines "$lines"
    fi
fi

# One process per import, so that its peak resident memory is its own; the
# import and its reference take turns, so a machine that slows down or speeds
# up during the runs weighs on both alike.
pandas_files=""
for key in $kinds; do
    kind=$(echo "$key" | sed 's/^./\U&/')
    for run in $(seq "$runs"); do
        for variant in Import ReadAndParse; do
            MORVANE_ANGLE_FILE="$work/angle.csv" MORVANE_TIME_FILE="$work/time.csv" MORVANE_ENCODER_FILE="$work/encoder.csv" \
                "$build/bench/import_bench" --benchmark_filter="^BM_${kind}${variant}\$" --benchmark_repetitions=1 \
                --benchmark_out="$results/$kind$variant.$run.json" --benchmark_out_format=json \
                >"$results/$kind$variant.log" 2>&1 || { cat "$results/$kind$variant.log"; exit 1; }
        done
    done
    pandas_files="$pandas_files --$key $work/$key.csv"
done
# shellcheck disable=SC2086
$python "$here/pandas_reference.py" $pandas_files --runs $runs >"$results/pandas.json"

$python - "$results" "$lines" $kinds <<'PY'
import glob, json, os, statistics, sys
work, lines, kinds = sys.argv[1], int(sys.argv[2]), sys.argv[3:]
pandas = json.load(open(os.path.join(work, "pandas.json")))

def median(name):
    runs = [json.load(open(path))["benchmarks"][0] for path in glob.glob(os.path.join(work, f"{name}.*.json"))]
    middle = dict(runs[0])
    for key in ("real_time", "cpu_time"):
        middle[key] = statistics.median(b[key] for b in runs)
    return middle, max(b["import_peak_MiB"] for b in runs)

print(f"pandas {pandas['pandas']}, numpy {pandas['numpy']}; {lines:,} lines; medians of the runs")
print(f"{'import':<8}{'file MiB':>9}{'ours ms':>10}{'read+parse ms':>14}{'ratio':>7}{'pandas ms':>11}"
      f"{'speed-up':>9}{'import peak MiB':>16}{'cpu ratio':>10}")
for kind, key in ((k.capitalize(), k) for k in kinds):
    ours, peak = median(f"{kind}Import")
    reference, _ = median(f"{kind}ReadAndParse")
    slow = pandas[key]["median_ms"]
    if key != "encoder" and ours["label"] != pandas[key]["summary"]:
        print(f"  summaries differ: ours '{ours['label']}', pandas '{pandas[key]['summary']}'")
    print(f"{key:<8}{ours['file_MiB']:>9.1f}{ours['real_time']:>10.1f}{reference['real_time']:>14.1f}"
          f"{ours['real_time'] / reference['real_time']:>6.2f}x{slow:>11.1f}{slow / ours['real_time']:>8.2f}x{peak:>16.1f}"
          f"{ours['cpu_time'] / reference['cpu_time']:>9.2f}x")
print("read+parse: reads the file and parses its numbers, nothing else; pandas for encoder: read_csv only")
print("cpu ratio: ours against read+parse in CPU time, steadier than wall time on a shared machine")
print("import peak: growth of the process's peak resident memory above what it held before the first import")
PY
