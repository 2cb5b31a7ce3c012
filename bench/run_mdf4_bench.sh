#!/bin/sh
# Times the batch tool's combustion of one recording stored three ways: as
# text with a time column, as MDF 4 in one DT block and as MDF 4 split into
# DZ blocks (bench/mdf4_files.cpp writes all three from make_signal_files.py's
# encoder.csv: a 60-2 wheel at 3000 rpm, 100 kHz). The runs take turns so that
# all see the same machine; reports the medians and the peak resident memory
# of each (/usr/bin/time -v). Then reads hostile MDF 4 files made from the
# plain one and reports each message, its time and memory.
#
#   bench/run_mdf4_bench.sh [samples] [runs]
#
# MORVANE_BENCH_BUILD_DIR: a Release build tree to use (default build-bench,
# configured and built here when morvane-cli or mdf4_files is missing).
set -eu

here=$(cd "$(dirname "$0")" && pwd)
. "$here/timed_runs.sh"
root=$(dirname "$here")
samples=${1:-10000000}
runs=${2:-3}
build=${MORVANE_BENCH_BUILD_DIR:-$root/build-bench}
python=/usr/bin/python3
cli="$build/cli/morvane-cli"
files="$build/bench/mdf4_files"

if [ ! -x "$cli" ] || [ ! -x "$files" ]; then
    launcher=""
    command -v ccache >/dev/null && launcher=-DCMAKE_CXX_COMPILER_LAUNCHER=ccache
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DMORVANE_BUILD_APP=OFF -DMORVANE_BUILD_TESTS=OFF \
        -DMORVANE_BUILD_BENCH=ON $launcher >/dev/null
    cmake --build "$build" --target morvane-cli mdf4_files -j2 >/dev/null
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/morvane-mdf4-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT INT TERM
echo "Generating $samples samples in $work ..."
PYTHONPATH="$here" $python -c "import sys, make_signal_files as m
m.write_lines(sys.argv[1], m.encoder_lines(int(sys.argv[2]) + 1), '\r\n')" "$work/encoder.csv" "$samples"
"$files" "$work/encoder.csv" "$work/recording.csv" "$work/plain.mf4" "$work/deflate.mf4" >/dev/null
rm "$work/encoder.csv"

figures="--wheel 60-2 --pressure-scale 1 --bore 86 --stroke 86 --rod 143 --compression 10 --peg point"
text_command="$cli combustion $work/recording.csv --time-column 3 $figures"
plain_command="$cli combustion $work/plain.mf4 --encoder-column Encoder --value-column Pressure $figures"
deflate_command="$cli combustion $work/deflate.mf4 --encoder-column Encoder --value-column Pressure $figures"

run_in_turns "$work" "$runs" text plain deflate
cmp -s "$work/text.out" "$work/plain.out" && cmp -s "$work/text.out" "$work/deflate.out" &&
    echo "The three print the same figures." || echo "THE FIGURES DIFFER"
ls -l "$work/recording.csv" "$work/plain.mf4" "$work/deflate.mf4" | awk '{print $5, $NF}'

# Hostile files: the plain file spoilt at one place each.
$python - "$work" <<'PY'
import struct, sys
work = sys.argv[1]
data = bytearray(open(f"{work}/plain.mf4", "rb").read())
u64 = lambda at: struct.unpack_from("<Q", data, at)[0]
dg = u64(64 + 24)
cg, dt = u64(dg + 24 + 8), u64(dg + 24 + 16)
spoils = {
    "outside": (dg + 24 + 8, 1 << 40),       # the DG's link to its CG beyond the file
    "circle": (cg + 24, cg),                  # the CG chain back to itself
    "length": (dt + 8, 1 << 50),              # the DT longer than the file
    "billion": (cg + 24 + 48 + 8, 10**9),     # 10^9 records stated
}
for name, (at, value) in spoils.items():
    spoilt = bytearray(data)
    struct.pack_into("<Q", spoilt, at, value)
    open(f"{work}/hostile-{name}.mf4", "wb").write(spoilt)
PY
# A DZ block that inflates past its stated size: its first block's length halved.
$python - "$work" <<'PY'
import struct, sys
work = sys.argv[1]
data = bytearray(open(f"{work}/deflate.mf4", "rb").read())
u64 = lambda at: struct.unpack_from("<Q", data, at)[0]
dg = u64(64 + 24)
dl = u64(dg + 24 + 16)
dz = u64(dl + 24 + 8)
struct.pack_into("<Q", data, dz + 24 + 8, u64(dz + 24 + 8) // 2)
open(f"{work}/hostile-inflate.mf4", "wb").write(data)
PY
for name in outside circle length billion inflate; do
    /usr/bin/time -f "%e s, %M KiB" $cli combustion "$work/hostile-$name.mf4" --encoder-column Encoder \
        --value-column Pressure $figures >/dev/null 2>"$work/hostile.err" || true
    echo "hostile $name: $(tr '\n' ' ' <"$work/hostile.err")"
done

PYTHONPATH="$here" $python - "$work" "$runs" "$samples" <<'PY'
import sys
from timed_runs import measured
work, runs, samples = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])

print(f"{samples:,} samples; medians of {runs} runs taking turns")
print(f"{'combustion of':<16}{'wall [s]':>10}{'CPU [s]':>10}{'peak [MiB]':>12}")
for kind in ("text", "plain", "deflate"):
    wall, cpu, peak = measured(work, kind, runs)
    print(f"{kind:<16}{wall:>10.2f}{cpu:>10.2f}{peak:>12.1f}")
PY
