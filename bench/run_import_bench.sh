#!/bin/sh
# Times the three signal importers on generated files against pandas (the
# angle and time imports done with numpy; for the encoder file only its
# read_csv, less than any pandas import of it would cost), against a reference
# that only reads the file and parses its numbers, and against the floor: `wc -l`
# of the file and a plain read() of it. Reports each in MB/s (10^6 bytes) and
# the peak memory of each import beside the file size.
#
#   bench/run_import_bench.sh [lines] [runs] [kinds]
#
# kinds: any of "angle time encoder" (default all three), e.g. "encoder" to
# time the encoder import alone on a large file.
# MORVANE_BENCH_BUILD_DIR: a Release build tree to use (default build-bench,
# configured and built here when import_bench is missing).
# MORVANE_BENCH_BEFORE_DIR: a build tree of an earlier version (its
# bench/import_bench); its imports take turns with ours and get a column.
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
before=${MORVANE_BENCH_BEFORE_DIR:+$MORVANE_BENCH_BEFORE_DIR/bench/import_bench}
if [ -n "$before" ] && [ ! -x "$before" ]; then
    echo "no $before" >&2
    exit 2
fi
# One benchmark of one import_bench in its own process: bench_one binary name variant run
bench_one() {
    MORVANE_ANGLE_FILE="$work/angle.csv" MORVANE_TIME_FILE="$work/time.csv" MORVANE_ENCODER_FILE="$work/encoder.csv" \
        "$1" --benchmark_filter="^BM_$3\$" --benchmark_repetitions=1 \
        --benchmark_out="$results/$2.$4.json" --benchmark_out_format=json \
        >"$results/$2.log" 2>&1 || { cat "$results/$2.log"; exit 1; }
}
# `wc -l` timed from Python, as pandas is: the median of the runs, in ms.
time_wc() {
    $python -c 'import statistics, subprocess, sys, time
times = []
for _ in range(int(sys.argv[2])):
    start = time.perf_counter()
    subprocess.run(["wc", "-l", sys.argv[1]], check=True, stdout=subprocess.DEVNULL)
    times.append(time.perf_counter() - start)
print(statistics.median(times) * 1000)' "$1" "$2"
}

pandas_files=""
for key in $kinds; do
    kind=$(echo "$key" | sed 's/^./\U&/')
    for run in $(seq "$runs"); do
        for variant in Import ReadAndParse Read; do
            bench_one "$build/bench/import_bench" "$kind$variant" "$kind$variant" "$run"
        done
        if [ -n "$before" ]; then
            bench_one "$before" "${kind}Before" "${kind}Import" "$run"
        fi
    done
    time_wc "$work/$key.csv" "$runs" >"$results/$key.wc"
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
    if not runs:
        return None, None
    middle = dict(runs[0])
    for key in ("real_time", "cpu_time"):
        middle[key] = statistics.median(b[key] for b in runs)
    return middle, max(b["import_peak_MiB"] for b in runs)

def rate(megabytes, ms):
    return f"{megabytes / ms * 1000:.0f}"

print(f"pandas {pandas['pandas']}, numpy {pandas['numpy']}; {lines:,} lines; medians of the runs; ms, and MB/s")
before_ran = any(median(f"{k.capitalize()}Before")[0] for k in kinds)
header = (f"{'import':<8}{'file MB':>8}{'wc -l':>7}{'read()':>8}{'read+parse':>11}"
          f"{'ours ms':>9}{'ours MB/s':>10}{'ratio':>7}{'pandas ms':>10}{'MB/s':>6}{'speed-up':>9}"
          f"{'peak MiB':>9}{'cpu ratio':>10}")
if before_ran:
    header += f"{'before ms':>10}{'now/before':>11}{'cpu':>7}"
print(header)
for kind, key in ((k.capitalize(), k) for k in kinds):
    ours, peak = median(f"{kind}Import")
    reference, _ = median(f"{kind}ReadAndParse")
    floor, _ = median(f"{kind}Read")
    wc = float(open(os.path.join(work, f"{key}.wc")).read())
    slow = pandas[key]["median_ms"]
    megabytes = ours["file_MiB"] * 1024 * 1024 / 1e6
    if key != "encoder" and ours["label"] != pandas[key]["summary"]:
        print(f"  summaries differ: ours '{ours['label']}', pandas '{pandas[key]['summary']}'")
    row = (f"{key:<8}{megabytes:>8.1f}{wc:>7.1f}{floor['real_time']:>8.1f}{reference['real_time']:>11.1f}"
           f"{ours['real_time']:>9.1f}{rate(megabytes, ours['real_time']):>10}"
           f"{ours['real_time'] / reference['real_time']:>6.2f}x{slow:>10.1f}{rate(megabytes, slow):>6}"
           f"{slow / ours['real_time']:>8.2f}x{peak:>9.1f}{ours['cpu_time'] / reference['cpu_time']:>9.2f}x")
    earlier, _ = median(f"{kind}Before")
    if earlier:
        row += (f"{earlier['real_time']:>10.1f}{ours['real_time'] / earlier['real_time']:>10.2f}x"
                f"{ours['cpu_time'] / earlier['cpu_time']:>6.2f}x")
    print(row)
    print(f"{'':<8}{'MB/s':>8}{rate(megabytes, wc):>7}{rate(megabytes, floor['real_time']):>8}"
          f"{rate(megabytes, reference['real_time']):>11}")
print("wc -l: the file's lines counted by wc -l, process start included; read(): the file read in 1 MiB blocks")
print("read+parse: reads the file and parses its numbers, nothing else; pandas for encoder: read_csv only")
print("ratio: ours against read+parse; cpu ratio: the same in CPU time, steadier on a shared machine")
print("peak: growth of the process's peak resident memory above what it held before the first import")
if before_ran:
    print("before: the imports of MORVANE_BENCH_BEFORE_DIR's build, run in the same turns as ours; now/before in")
    print("wall and in CPU time")
PY
