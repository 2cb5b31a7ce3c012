"""The runs that bench/timed_runs.sh made, read back from /usr/bin/time -v."""

import os
import re
import statistics


def measured(work, kind, runs, show=False):
    """Median wall clock and CPU time (user + system) in seconds, and the largest
    peak resident memory in MiB, of KIND's runs; on a shared machine the CPU
    time is the steadier of the two. show: print every run's times too."""
    walls, cpus, peaks = [], [], []
    for run in range(1, runs + 1):
        text = open(os.path.join(work, f"{kind}.{run}.time")).read()
        field = lambda name: re.search(re.escape(name) + r": (.*)", text).group(1)
        clock = [float(part) for part in field("Elapsed (wall clock) time (h:mm:ss or m:ss)").split(":")]
        walls.append(sum(part * 60**i for i, part in enumerate(reversed(clock))))
        cpus.append(float(field("User time (seconds)")) + float(field("System time (seconds)")))
        peaks.append(int(field("Maximum resident set size (kbytes)")) / 1024)
    if show:
        print(f"{kind} runs, wall [s]: " + " ".join(f"{s:.2f}" for s in walls) +
              "; CPU [s]: " + " ".join(f"{s:.2f}" for s in cpus))
    return statistics.median(walls), statistics.median(cpus), max(peaks)
