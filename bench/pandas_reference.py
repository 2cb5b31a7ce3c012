#!/usr/bin/python3
"""The two signal imports done with pandas and numpy, timed like import_bench.

Reads the files with read_csv(sep=';', decimal=','), bins the angle file at the
strict peaks of its trigger column (vectorised), resamples the time file onto
1441 points, normalises both, and prints the median time of several runs per
file as JSON, with the summary each import would show.
"""

import argparse
import json
import statistics
import time

import numpy as np
import pandas as pd

POINTS = 1441
MAX_BINS = POINTS - 1


def import_angle(path):
    pairs = pd.read_csv(path, sep=";", decimal=",", header=None, skiprows=1, names=["a", "b"],
                        dtype=np.float64, engine="c", skip_blank_lines=False)
    # Row 0 is the header, which counts as the pair (0, 0).
    a = np.concatenate(([0.0], pairs["a"].to_numpy()))
    b = np.concatenate(([0.0], pairs["b"].to_numpy()))
    count = len(a)
    signal = np.zeros(POINTS)
    peaks = np.empty(0, dtype=np.int64)
    if count > 2:
        middle = a[1:-1]
        peaks = (np.flatnonzero((a[:-2] < middle) & (middle > a[2:])) + 1)[:MAX_BINS]
    if len(peaks):
        starts = np.concatenate(([1], peaks[:-1] + 1))
        bins = np.add.reduceat(b[:peaks[-1] + 1], starts)
        signal[:len(bins)] = bins
    largest = np.abs(signal).max()
    summary = f"Řádky / Vrcholy: {count} / {len(peaks)}"
    if largest == 0:
        raise FloatingPointError("Invalid floating point operation")
    return signal / largest, summary


def import_time(path):
    values = pd.read_csv(path, sep=";", decimal=",", header=None, names=["v"], dtype=np.float64,
                         engine="c", skip_blank_lines=False)["v"].to_numpy()
    count = len(values)
    positions = np.arange(POINTS) * (count - 1) / (POINTS - 1)
    signal = np.interp(positions, np.arange(count), values)
    signal[-1] = values[-1]
    largest = np.abs(signal).max()
    summary = f"Řádky / Vrcholy: {count} / 1440"
    if largest == 0:
        raise FloatingPointError("Invalid floating point operation")
    return signal / largest, summary


def read_encoder(path):
    """Only reads the encoder file: the least a pandas encoder import would cost."""
    columns = pd.read_csv(path, sep=";", decimal=",", header=None, skiprows=1, names=["e", "p"],
                          dtype=np.float64, engine="c")
    return columns, f"{len(columns) + 1} lines"


def median_time(job, path, runs):
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        _, summary = job(path)
        times.append(time.perf_counter() - start)
    return statistics.median(times), summary


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--angle", help="angle-sampled file")
    parser.add_argument("--time", help="time-sampled file")
    parser.add_argument("--encoder", help="encoder file (read only)")
    parser.add_argument("--runs", type=int, default=7)
    args = parser.parse_args()
    result = {"pandas": pd.__version__, "numpy": np.__version__}
    if args.angle:
        seconds, summary = median_time(import_angle, args.angle, args.runs)
        result["angle"] = {"median_ms": seconds * 1000, "summary": summary}
    if args.time:
        seconds, summary = median_time(import_time, args.time, args.runs)
        result["time"] = {"median_ms": seconds * 1000, "summary": summary}
    if args.encoder:
        seconds, summary = median_time(read_encoder, args.encoder, args.runs)
        result["encoder"] = {"median_ms": seconds * 1000, "summary": summary}
    print(json.dumps(result, ensure_ascii=False))


if __name__ == "__main__":
    main()
