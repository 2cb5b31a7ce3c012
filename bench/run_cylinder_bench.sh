#!/bin/sh
# Times the batch tool's combustion of a four-cylinder recording read with all
# four pressure columns against the same file read with its first column
# alone (bench/make_signal_files.py's encoder lines with four pressure
# columns at the offsets of the firing order 1-3-4-2: a 60-2 wheel at
# 3000 rpm, 100 kHz, 4000 lines a cycle), the two runs taking turns so that
# both see the same machine. Reports the medians, the ratio four / one and the
# peak resident memory of each (/usr/bin/time -v).
#
#   bench/run_cylinder_bench.sh [lines] [runs]
#
# MORVANE_BENCH_BUILD_DIR: a Release build tree to use (default build-bench,
# configured and morvane-cli built here when missing).
# MORVANE_BENCH_FILE: a four-column recording generated already (kept afterwards).
set -eu

here=$(cd "$(dirname "$0")" && pwd)
. "$here/timed_runs.sh"
root=$(dirname "$here")
lines=${1:-10000000}
runs=${2:-5}
build=${MORVANE_BENCH_BUILD_DIR:-$root/build-bench}
python=/usr/bin/python3
cli="$build/cli/morvane-cli"

if [ ! -x "$cli" ]; then
    launcher=""
    command -v ccache >/dev/null && launcher=-DCMAKE_CXX_COMPILER_LAUNCHER=ccache
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DMORVANE_BUILD_APP=OFF -DMORVANE_BUILD_TESTS=OFF \
        $launcher >/dev/null
    cmake --build "$build" --target morvane-cli -j2 >/dev/null
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/morvane-cylinder-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT INT TERM
file=${MORVANE_BENCH_FILE:-$work/cylinders.csv}
if [ -z "${MORVANE_BENCH_FILE:-}" ]; then
    echo "Generating a $lines-line four-cylinder recording in $work ..."
    PYTHONPATH="$here" $python -c "import sys, make_signal_files as m
m.write_lines(sys.argv[1], m.encoder_lines(int(sys.argv[2]), (0, 540, 180, 360)), '\r\n')" "$file" "$lines"
fi

engine="--wheel 60-2 --sample-rate 100000 --pressure-scale 1 --bore 86 --stroke 86 --rod 143 --compression 10 \
--peg point"
one_command="$cli combustion $file $engine --value-column 2 --cycles $work/one.csv"
four_command="$cli combustion $file $engine --pressure-columns 2,3,4,5 --firing-order 1-3-4-2 \
--cycles $work/four.csv"

run_in_turns "$work" "$runs" one four

echo "one:  $one_command"
echo "four: $four_command"
cat "$work/four.out"
PYTHONPATH="$here" $python - "$work" "$runs" "$lines" <<'PY'
import os, sys
from timed_runs import measured
work, runs, lines = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])

cycles = sum(1 for _ in open(os.path.join(work, "one.csv"))) - 1
print(f"{lines:,} lines, {cycles} cycles of cylinder 1; medians of {runs} runs taking turns")
one = measured(work, "one", runs, show=True)
four = measured(work, "four", runs, show=True)
for name, (wall, cpu, peak) in (("one pressure column", one), ("four pressure columns", four)):
    print(f"{name:21s} wall {wall:7.3f} s, CPU {cpu:7.3f} s, peak RSS {peak:6.1f} MiB")
print(f"ratio four / one: wall {four[0] / one[0]:.3f}, CPU {four[1] / one[1]:.3f}")
PY
