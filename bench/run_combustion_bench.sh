#!/bin/sh
# Times the batch tool's combustion of a toothed-wheel recording against the
# encoder import alone on the same generated file (bench/make_signal_files.py's
# encoder.csv: a 60-2 wheel at 3000 rpm, 100 kHz, 4000 lines a cycle), the two
# runs taking turns so that both see the same machine. Reports the medians, the
# ratio combustion / import and the peak resident memory of each
# (/usr/bin/time -v).
#
#   bench/run_combustion_bench.sh [lines] [runs]
#
# MORVANE_BENCH_BUILD_DIR: a Release build tree to use (default build-bench,
# configured and morvane-cli built here when missing).
# MORVANE_BENCH_FILE: an encoder.csv generated already (kept afterwards).
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

work=$(mktemp -d "${TMPDIR:-/tmp}/morvane-combustion-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT INT TERM
file=${MORVANE_BENCH_FILE:-$work/encoder.csv}
if [ -z "${MORVANE_BENCH_FILE:-}" ]; then
    echo "Generating a $lines-line recording in $work ..."
    PYTHONPATH="$here" $python -c "import sys, make_signal_files as m
m.write_lines(sys.argv[1], m.encoder_lines(int(sys.argv[2])), '\r\n')" "$file" "$lines"
fi

wheel="--wheel 60-2 --sample-rate 100000"
import_command="$cli signal --encoder $file $wheel"
combustion_command="$cli combustion $file $wheel --pressure-scale 1 --bore 86 --stroke 86 --rod 143 \
--compression 10 --peg point --cycles $work/cycles.csv"

run_in_turns "$work" "$runs" import combustion

echo "import:     $import_command"
echo "combustion: $combustion_command"
PYTHONPATH="$here" $python - "$work" "$runs" "$lines" <<'PY'
import os, sys
from timed_runs import measured
work, runs, lines = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])

cycles = sum(1 for _ in open(os.path.join(work, "cycles.csv"))) - 1
print(f"{lines:,} lines, {cycles} cycles; medians of {runs} runs taking turns")
imported = measured(work, "import", runs, show=True)
combusted = measured(work, "combustion", runs, show=True)
for name, (wall, cpu, peak) in (("encoder import alone", imported), ("combustion --cycles", combusted)):
    print(f"{name:21s} wall {wall:7.3f} s, CPU {cpu:7.3f} s, peak RSS {peak:6.1f} MiB")
print(f"ratio combustion / import: wall {combusted[0] / imported[0]:.3f}, CPU {combusted[1] / imported[1]:.3f}")
PY
