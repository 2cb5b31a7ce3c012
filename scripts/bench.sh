#!/usr/bin/env bash
# Builds every benchmark in Release, runs them all and prints one short table
# of medians: the timeline redraw beside the bare moving average, a whole
# recalculation at a keystroke, the pressure plot's redraw (it needs the
# window's library), and both imports of a million lines beside the pandas
# reference (bench/run_import_bench.sh does the imports).
#
#   scripts/bench.sh
#
# MORVANE_BENCH_BUILD_DIR: the Release build tree (default build-bench).
# MORVANE_BENCH_REPETITIONS: runs per benchmark, of which the median is shown (default 9).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=${MORVANE_BENCH_BUILD_DIR:-$root/build-bench}
repetitions=${MORVANE_BENCH_REPETITIONS:-9}
python=/usr/bin/python3

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DMORVANE_BUILD_APP=ON -DMORVANE_BUILD_TESTS=OFF \
  -DMORVANE_BUILD_BENCH=ON >/dev/null
# Only the benchmarks and what they link.
targets=()
for source in "$root"/bench/*_bench.cpp; do targets+=("$(basename "$source" .cpp)"); done
if ! cmake --build "$build" --target "${targets[@]}" -j"$(nproc)" >"$build/bench-build.log" 2>&1; then
  cat "$build/bench-build.log" >&2
  echo "The benchmarks did not build: is Google Benchmark installed (libbenchmark-dev)?" >&2
  exit 1
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/morvane-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT INT TERM

# The in-memory benchmarks; the imports need their generated files and run
# below through their own script.
for name in "${targets[@]}"; do
  [ "$name" = import_bench ] && continue
  program=$build/bench/$name
  echo "Running $name ..."
  "$program" --benchmark_repetitions="$repetitions" --benchmark_report_aggregates_only=true \
    --benchmark_out="$work/$name.json" --benchmark_out_format=json >"$work/$name.log" 2>&1 ||
    { cat "$work/$name.log"; exit 1; }
done

echo "Running the imports (bench/run_import_bench.sh) ..."
MORVANE_BENCH_BUILD_DIR="$build" "$root/bench/run_import_bench.sh" 1000000 | tee "$work/imports.txt"

"$python" - "$work" <<'PY'
import glob, json, os, re, sys

work = sys.argv[1]
to_ms = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}

medians = {}
for path in glob.glob(os.path.join(work, "*_bench.json")):
    for run in json.load(open(path))["benchmarks"]:
        if run.get("aggregate_name") == "median":
            medians[run["run_name"]] = run["real_time"] * to_ms[run["time_unit"]]

# The import script's table: a header row whose titles are separated by at
# least two blanks, then one row per import with one value per title.
imports = {}
lines = open(os.path.join(work, "imports.txt")).read().splitlines()
header = next((l for l in lines if "ours ms" in l and "pandas ms" in l), None)
if header:
    titles = re.split(r"\s{2,}", header.strip())
    for line in lines:
        cells = line.split()
        if cells and cells[0] in ("angle", "time") and len(cells) == len(titles):
            row = dict(zip(titles, cells))
            imports[cells[0]] = (float(row["ours ms"]), float(row["pandas ms"]))

def text(ms):
    return "-" if ms is None else (f"{ms:.3f} ms" if ms < 10 else f"{ms:.1f} ms")

rows = []
redraw = medians.get("BM_DrawTimeline")
average = medians.get("BM_MovingAverage")
rows.append(("Timeline redraw 663x300, 108 events, F=1", redraw,
             f"{redraw / average:.2f}x the moving average" if redraw and average else ""))
rows.append(("Moving average alone, F=1", average, ""))
rows.append(("Recalculation at a keystroke, 108 events", medians.get("BM_GlobalCorrectionKeystroke"), ""))
for key, title in (("angle", "Angle import"), ("time", "Time import")):
    ours, pandas = imports.get(key, (None, None))
    rows.append((f"{title}, 1,000,000 lines", ours, f"{ours / pandas:.2f}x the pandas time" if ours and pandas else ""))
    rows.append((f"{title}, pandas reference", pandas, ""))
known = {"BM_DrawTimeline", "BM_MovingAverage", "BM_GlobalCorrectionKeystroke"}
for name in sorted(set(medians) - known):
    rows.append((name, medians[name], ""))

print()
print(f"{'benchmark':<44}{'median':>12}  ratio")
for name, ms, ratio in rows:
    print(f"{name:<44}{text(ms):>12}  {ratio}".rstrip())
if not imports:
    print("(the import rows could not be read from bench/run_import_bench.sh's table above)")
PY
