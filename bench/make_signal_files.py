#!/usr/bin/python3
"""Writes the three large signal files the import benchmark reads.

angle.csv: a header, then "trigger;value" per line. The trigger is a triangle
wave with one strict peak every PERIOD lines (about 1400 peaks per million
lines, so the bin scan runs through most of the file); the value is a
pressure-like curve with noise. time.csv: the value alone, one per line.
Both use the decimal comma; every third value is in the exponent form of the
real recording (3,423876E+0). encoder.csv: a header, then "encoder;pressure"
per line: a 60-2 toothed wheel at 3000 rpm sampled at 100 kHz (4000 lines a
cycle, every cycle alike) beside a pressure hump at 372°.
"""

import argparse
import itertools
import math
import os
import random

PERIOD = 700  # lines from one trigger peak to the next


def number(value, exponent_form):
    if exponent_form:
        mantissa, exponent = f"{value:.6E}".split("E")
        return f"{mantissa}E{int(exponent):+d}".replace(".", ",")
    return f"{value:.6f}".replace(".", ",")


def pressure(i, rng):
    phase = 2 * math.pi * (i % PERIOD) / PERIOD
    return 1.9 + 0.8 * math.sin(phase) ** 9 + rng.gauss(0, 0.01)


def trigger(i):
    # Rises for half a period to a single top value, then falls: one strict peak.
    step = i % PERIOD
    half = PERIOD // 2
    level = step if step <= half else PERIOD - step
    return 0.5 + 4.0 * level / half


def write_lines(path, lines, line_end):
    with open(path, "w", encoding="ascii", newline="") as out:
        chunk = []
        for text in lines:
            chunk.append(text)
            if len(chunk) == 65536:
                out.write(line_end.join(chunk) + line_end)
                chunk.clear()
        if chunk:
            out.write(line_end.join(chunk) + line_end)


def encoder_cycle(offsets=(0,)):
    """One cycle of encoder lines: 0.18° a sample, 4000 samples; one pressure
    column per cylinder offset, each hump at 372° of its own cycle."""
    lines = []
    for i in range(4000):
        angle = 0.18 * i
        position = angle % 360
        tooth, part = divmod(position / 6, 1)
        level = 1.0 if tooth < 58 and part < 0.5 else 0.0
        humps = [1 + 40 * math.exp(-((((angle - offset) % 720) - 372) / 15) ** 2) for offset in offsets]
        lines.append(";".join([number(level, False)] + [number(hump, i % 3 == 0) for hump in humps]))
    return lines


def encoder_lines(count, offsets=(0,)):
    cycle = encoder_cycle(offsets)
    header = ["Encoder [V]", "Cylinder pressure sensor [V]"]
    header += [f"Cylinder {k + 1} pressure [V]" for k in range(1, len(offsets))]
    yield ";".join(header)
    for i in range(count - 1):
        yield cycle[i % len(cycle)]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("folder", help="where angle.csv, time.csv and encoder.csv are written")
    parser.add_argument("--lines", type=int, default=1_000_000, help="lines per file, header included")
    args = parser.parse_args()
    os.makedirs(args.folder, exist_ok=True)

    rng = random.Random(1441)
    angle = itertools.chain(["Encoder [V];Cylinder pressure sensor [V]"],
                            (f"{number(trigger(i), i % 3 == 0)};{number(pressure(i, rng), i % 3 == 1)}"
                             for i in range(args.lines - 1)))
    write_lines(os.path.join(args.folder, "angle.csv"), angle, "\r\n")

    rng = random.Random(720)
    time = (number(pressure(i, rng), i % 3 == 0) for i in range(args.lines))
    write_lines(os.path.join(args.folder, "time.csv"), time, "\n")

    write_lines(os.path.join(args.folder, "encoder.csv"), encoder_lines(args.lines), "\r\n")


if __name__ == "__main__":
    main()
