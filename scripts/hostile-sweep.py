#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Hostile-input sweep of morvane-cli.

Generates hostile inputs (broken tables, set-up files, pressure cycles,
recordings, numbers out of any sense, output paths that point at inputs,
links and protected files) into a temporary folder, runs morvane-cli on each
case with a timeout and sorts the outcome:

  clear    the command failed (exit 1 or 2) with a one-line message that says
           what is wrong
  kept     it failed with one of the original error box's bare texts, which
           events and render keep unchanged ("Floating point division by zero.")
  ok       a good (or acceptable) input gave a sane result
  unclear  it failed with a message that does not say what is wrong: a bare
           arithmetic text, an empty or invisible quote, a quote over 200
           characters, several lines, none
  wrong    it succeeded on a bad input, printed a nonsense figure (nan, inf,
           an overflowed integer), changed an input, replaced a protected file
           or a link, left a file behind, or needed memory the input does not
  refused  it failed on a good input
  crash    it died of a signal or a sanitizer reported an error
  hang     it ran past the timeout

Prints a table per kind and in total, then every case that is not clear or ok,
with its command line. Exits 1 when any case is unclear, wrong, refused, a
crash or a hang. Standard library only; meant for the sanitizer build
(scripts/sanitize.sh builds build-sanitize/).
"""

import argparse
import hashlib
import math
import os
import random
import re
import shutil
import signal
import stat
import subprocess
import sys
import tempfile
import threading
import time

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DATA = os.path.join(REPO, "tests", "data", "combustion")
FIRED = os.path.join(DATA, "fired_mean.csv")
MOTORED = os.path.join(DATA, "motored_mean_deg.csv")

ENGINE = ["--bore", "86", "--stroke", "75", "--rod", "118", "--compression", "21,2"]
WHEEL = ["--wheel", "60-2", "--sample-rate", "100000"]
LONG_DIGITS = "8" * 131000  # just under the kernel's limit of one argument
LONG_TEXT = "x" * 131000
SPECIALS = ["1e300", "1e-300", "nan", "inf", "-inf", "-0", "1e15", "1e400", LONG_DIGITS, LONG_TEXT]

TABLE_HEADER = "č.;Přesazení;Zapalování;SV otvírá;SV zavírá;VV otvírá;VV zavírá"

# The original error box's bare texts: events and render keep them as they are.
BOX_TEXTS = {
    "Floating point division by zero.",
    "Invalid floating point operation.",
    "Floating point overflow.",
    "'' is not a valid floating point value.",
}
BARE_TEXTS = BOX_TEXTS | {"Soubor neobsahuje žádná data.", "Soubor neobsahuje žádná data"}
SUMMARY_PREFIXES = ("Řádky / Vrcholy:", "Cykly / Otáčky")
INVISIBLE = re.compile("[\x00-\x1f\x7f\u00ad\u200b-\u200f\u2028\u2029\u2060\ufeff\ufffd]")
QUOTE = re.compile(r"'([^']*)'|\"([^\"]*)\"")
# A figure no input justifies: nan, infinity, an integer of 13 digits or more
# (an overflowed conversion), a power of ten of 100 or more.
NONSENSE = re.compile(r"\b(nan|inf|infinity)\b|(?<![\d,.])-?\d{13,}|\d[eE]\+?\d{3}", re.I)
SANITIZER = ("AddressSanitizer", "LeakSanitizer", "UndefinedBehaviorSanitizer", "runtime error:")

CLASSES = ["clear", "kept", "ok", "unclear", "wrong", "refused", "crash", "hang"]
FAULTS = ["unclear", "wrong", "refused", "crash", "hang"]


class Case:
    """One command line over its own folder. files: name -> bytes written
    there first; expect: 'fail', 'ok' or 'any'; outputs: names the command
    may create or replace; keep: a box text is the kept behaviour; user:
    run as that uid (when root); prepare(folder): links, modes, owners;
    rss_mb: the size of a file that must be refused (or read in part) in flat
    memory; accepted: messages clear for this input though bare elsewhere."""

    def __init__(self, kind, name, args, files=None, expect="fail", outputs=(), keep=False,
                 user=None, prepare=None, rss_mb=None, accepted=(), feeds=None, check=None, in_table=False):
        self.kind, self.name, self.args = kind, name, args
        self.files = files or {}
        self.expect, self.outputs, self.keep = expect, set(outputs), keep
        self.user, self.prepare, self.rss_mb = user, prepare, rss_mb
        self.accepted = set(accepted)
        # feeds: what reaches the command through a pipe rather than a file:
        # "@STDIN@" -> bytes for its standard input, "@PIPE:x@" -> bytes behind
        # a /dev/fd/N path (as a shell's <(...) gives), "@FIFO:x@" -> bytes
        # behind a named pipe in the folder (None: a FIFO nobody ever writes).
        self.feeds = feeds or {}
        # check(result, folder): what the run printed or wrote is wrong although
        # its exit status fits (a reason), or None.
        self.check = check
        # in_table: a failure is told in the table's row of the file, not on stderr.
        self.in_table = in_table


def noise(seed, size):
    """Random bytes with a line feed now and then, so that readers see lines."""
    generator = random.Random(seed)
    return bytes(10 if generator.randrange(60) == 0 else generator.randrange(256) for _ in range(size))


def text(*lines, end="\n"):
    return "".join(line + end for line in lines).encode("utf-8")


def with_option(args, option, value):
    """The arguments with option set to value: replaced where given, else added."""
    args = list(args)
    if option in args:
        args[args.index(option) + 1] = value
    else:
        args += [option, value]
    return args


def number(value, decimal=","):
    return ("%.6f" % value).replace(".", decimal)


# ---------------------------------------------------------------- recordings

def encoder_level(angle, teeth, missing):
    pitch = 360.0 / teeth
    ramp = min(1.0, pitch / 6)
    revolution = math.floor(angle / 360) + 1
    position = angle - 360.0 * (revolution - 1)
    present = lambda tooth: tooth % teeth < teeth - missing
    clamp = lambda v: min(1.0, max(0.0, v))
    tooth = int(position / pitch)
    f = position / pitch - tooth
    if f < 0.25:
        return clamp(0.5 + f * pitch / ramp) if present(tooth) else 0.0
    if f < 0.75:
        return clamp(0.5 - (f - 0.5) * pitch / ramp) if present(tooth) else 0.0
    return clamp(0.5 + (f - 1) * pitch / ramp) if present(tooth + 1) else 0.0


def samples(teeth=60, missing=2, rpm=3000.0, rate=100000.0, revolutions=6):
    """(encoder, pressure [bar], time [s], index) of a wheel turning evenly."""
    start = -100.0
    duration = (360.0 * revolutions - 2 * start) / (6 * rpm)
    rows = []
    for i in range(int(duration * rate)):
        t = i / rate
        angle = start + 6 * rpm * t
        cycle_angle = math.fmod(angle + 1440, 720)
        pressure = 1 + 40 * math.exp(-((cycle_angle - 372) / 15) ** 2)
        position = math.fmod(angle + 720, 360)
        rows.append((encoder_level(angle, teeth, missing), pressure, t, 359.3 <= position < 359.8))
    return rows


def recording_lines(rows, sep=";", decimal=",", time_column=False, index_column=False):
    header = "encoder" + sep + "pressure" + (sep + "time" if time_column else "") + (
        sep + "index" if index_column else "")
    lines = [header]
    for encoder, pressure, t, index in rows:
        line = number(encoder, decimal) + sep + number(pressure, decimal)
        line += sep + number(t, decimal) if time_column else ""
        line += sep + ("1" if index else "0") if index_column else ""
        lines.append(line)
    return lines


def joined(lines, end="\r\n"):
    return "".join(line + end for line in lines).encode("utf-8")


# ---------------------------------------------------------------- the cases

def cylinder_table(rows=4, row=None):
    lines = [TABLE_HEADER]
    for i in range(rows):
        lines.append(row(i) if row else "%d;%d;350;0;180;540;720" % (i + 1, 180 * i))
    return text(*lines)


def table_variants():
    """(name, bytes, expect) of cylinder tables for events, render and valves."""
    good = cylinder_table()
    bad_cell = lambda cell, value: cylinder_table(row=lambda i: ";".join(
        (value if c == cell and i == 1 else v) for c, v in enumerate(
            ("%d;%d;350;0;180;540;720" % (i + 1, 180 * i)).split(";"))))
    variants = [
        ("good", good, "ok"),
        ("byte-order mark", b"\xef\xbb\xbf" + good, "ok"),
        ("CR LF", good.replace(b"\n", b"\r\n"), "ok"),
        ("header only", text(TABLE_HEADER), "any"),
        ("empty file", b"", "any"),
        ("blank cell", bad_cell(2, ""), "fail"),
        ("short row", text(TABLE_HEADER, "1;0;350", "2;180;350;0;180;540;720"), "fail"),
        ("blank row", text(TABLE_HEADER, "1;0;350;0;180;540;720", "", "3;0;350;0;180;540;720"), "any"),
        ("thirteen rows", cylinder_table(13), "fail"),
        ("offset abc", bad_cell(1, "abc"), "fail"),
        ("offset nan", bad_cell(1, "nan"), "fail"),
        ("offset inf", bad_cell(1, "inf"), "fail"),
        ("offset 1e300", bad_cell(1, "1e300"), "fail"),
        ("offset 1e-300", bad_cell(1, "1e-300"), "any"),
        ("offset -0", bad_cell(1, "-0"), "ok"),
        ("valve angle 1e15", bad_cell(3, "1e15"), "fail"),
        ("valve angle 1441", bad_cell(4, "1441"), "fail"),
        ("valve angle -721", bad_cell(3, "-721"), "fail"),
        ("ignition nan", bad_cell(2, "nan"), "fail"),
        ("decimal point", bad_cell(1, "180.5"), "fail"),
        ("131 000-character cell", bad_cell(1, LONG_DIGITS), "fail"),
        ("131 000-character text", bad_cell(5, LONG_TEXT), "fail"),
        ("NUL in a cell", bad_cell(1, "18\x000"), "fail"),
        ("UTF-16", good.decode("utf-8").encode("utf-16"), "fail"),
        ("random bytes", noise(1, 4096), "fail"),
        ("10 MB line", text(TABLE_HEADER, "1;" + "0" * (10 << 20) + "1;350;0;180;540;720"), "fail"),
    ]
    return variants


SETUP_HEAD = ["Morvane nastavení 1", "[Hlavní parametry]", "Počet válců [1]=2", "Otáčky motoru [RPM]=2500",
              "[Časová osa]", "Globální korekce [°]=-10", "[Válce]", "1=0;350;0;180;540;720",
              "2=360;350;0;180;540;720"]


def setup_variants():
    """(name, bytes, expect) of set-up files."""
    with_line = lambda *extra: text(*(SETUP_HEAD + list(extra)))
    replaced = lambda old, new: text(*[new if line == old else line for line in SETUP_HEAD])
    return [
        ("good", text(*SETUP_HEAD), "ok"),
        ("byte-order mark", b"\xef\xbb\xbf" + text(*SETUP_HEAD), "ok"),
        ("later version", replaced("Morvane nastavení 1", "Morvane nastavení 2"), "ok"),
        ("unknown section", with_line("[Budoucí]", "klíč=hodnota"), "ok"),
        ("line without =", with_line("[Rozvod]", "jen text"), "fail"),
        ("bad escape", with_line("[Rozvod]", "Pořadí zapalování=1\\q2"), "fail"),
        ("cylinder count abc", replaced("Počet válců [1]=2", "Počet válců [1]=abc"), "fail"),
        ("cylinder count 13", replaced("Počet válců [1]=2", "Počet válců [1]=13"), "fail"),
        ("speed nan", replaced("Otáčky motoru [RPM]=2500", "Otáčky motoru [RPM]=nan"), "fail"),
        ("global 1e400", replaced("Globální korekce [°]=-10", "Globální korekce [°]=1e400"), "fail"),
        ("crank angle 721", with_line("[Časová osa]", "Úhel kliky [°]=721"), "fail"),
        ("cylinder row of 3 cells", replaced("2=360;350;0;180;540;720", "2=360;350;0"), "fail"),
        ("cylinder row 1e15", replaced("2=360;350;0;180;540;720", "2=360;350;1e15;180;540;720"), "fail"),
        ("value outside a section", text("Morvane nastavení 1", "Počet válců [1]=2"), "fail"),
        ("no version line", text(*SETUP_HEAD[1:]), "fail"),
        ("intake duration abc", with_line("[Rozvod]", "Sání [°]=abc"), "any"),
        ("intake duration nan", with_line("[Rozvod]", "Sání [°]=nan"), "any"),
        ("exhaust centreline 1e300", with_line("[Rozvod]", "Osa výfuku [°]=1e300"), "any"),
        ("firing order 131 000 characters",
         with_line("[Rozvod]", "Pořadí zapalování=" + "1-2-" * 32750), "any"),
        ("70 000-byte line", with_line("[Rozvod]", "Sání [°]=" + "1" * 70000), "fail"),
        ("100 001 lines", text(*(SETUP_HEAD + ["[Korekce]"] + ["Píst 1 - HU=0"] * 100001)), "fail"),
        ("NUL byte", with_line("[Rozvod]", "Sání\x00=1"), "any"),
        ("UTF-16", text(*SETUP_HEAD).decode("utf-8").encode("utf-16"), "fail"),
        ("random bytes after the version line",
         text(SETUP_HEAD[0]) + noise(2, 2048), "fail"),
    ]


def output_cases(kind, command, out_option, inputs, ext=".png"):
    """Output paths that point at inputs, links, protected files and
    nonsense. command: the argument list without the output option; inputs:
    name -> bytes, the first one's name is the command's input."""
    first = next(iter(inputs))
    cases = []
    n = lambda stem: stem + ext

    def add(name, out, expect, outputs=(), prepare=None, user=None, files=None):
        cases.append(Case(kind, name, command + [out_option, out], files or dict(inputs), expect, outputs,
                          prepare=prepare, user=user))

    add("output is the input", first, "fail")
    add("output is the input as ./name", "./" + first, "fail")
    add("output is the input by its full path", "@DIR@/" + first, "fail")
    add("output is a link to the input", n("link"), "fail",
        prepare=lambda d: os.symlink(first, os.path.join(d, n("link"))))
    add("output is a hard link of the input", n("hard"), "fail",
        prepare=lambda d: os.link(os.path.join(d, first), os.path.join(d, n("hard"))))
    add("output is a link to a link to the input", n("link2"), "fail",
        prepare=lambda d: (os.symlink(first, os.path.join(d, n("link1"))),
                           os.symlink(n("link1"), os.path.join(d, n("link2")))))
    add("output through a dangling link", n("dangling"), "ok", outputs=(n("target"),),
        prepare=lambda d: os.symlink(n("target"), os.path.join(d, n("dangling"))))
    add("output replaces a writable file", n("old"), "ok", outputs=(n("old"),),
        files=dict(inputs, **{n("old"): b"old"}))
    add("output is a folder", "folder", "fail", prepare=lambda d: os.mkdir(os.path.join(d, "folder")))
    add("output in a missing folder", n("missing/out"), "fail")
    add("output path empty", "", "fail")
    add("output path of 131 000 characters", "p" * 131000, "fail")
    add("output name of 300 characters", n("n" * 300), "fail")
    if os.geteuid() == 0:
        # Root may write any file: the protections are those of an ordinary user.
        def read_only(d):
            os.chmod(d, 0o777)
            os.chown(os.path.join(d, n("ro")), 65534, 65534)
            os.chmod(os.path.join(d, n("ro")), 0o444)
            os.chmod(os.path.join(d, first), 0o644)

        def others(d):
            os.chmod(d, 0o777)
            for name in os.listdir(d):
                os.chmod(os.path.join(d, name), 0o644)

        def read_only_folder(d):
            os.makedirs(os.path.join(d, "ro"))
            os.chmod(os.path.join(d, "ro"), 0o555)

        add("output is a read-only file", n("ro"), "fail", prepare=read_only, user=65534,
            files=dict(inputs, **{n("ro"): b"keep"}))
        add("output is another user's file", n("theirs"), "fail", prepare=others, user=65534,
            files=dict(inputs, **{n("theirs"): b"keep"}))
        add("output in a read-only folder", n("ro/out"), "fail", prepare=read_only_folder, user=65534)
    else:
        add("output is a read-only file", n("ro"), "fail",
            prepare=lambda d: os.chmod(os.path.join(d, n("ro")), 0o444),
            files=dict(inputs, **{n("ro"): b"keep"}))
    return cases


def valves_cases():
    cases = []
    for name, content, expect in table_variants():
        cases.append(Case("valves", "table: " + name, ["valves", "t.csv"], {"t.csv": content}, expect))
        if expect != "ok":
            cases.append(Case("valves", "table with diagram: " + name,
                              ["valves", "t.csv", "--diagram", "d.png"], {"t.csv": content},
                              "fail" if expect == "fail" else "any", outputs=("d.png",)))
    good = {"t.csv": cylinder_table()}
    for value, expect in [("1", "ok"), ("4", "ok"), ("5", "fail"), ("0", "fail"), ("13", "fail"),
                          ("-1", "fail"), ("abc", "fail"), ("1e300", "fail"), ("", "fail"), ("1,5", "fail")]:
        cases.append(Case("valves", "--cylinder " + value, ["valves", "t.csv", "--diagram", "d.png",
                                                           "--cylinder", value], good, expect,
                          outputs=("d.png",)))
    for value, expect in [("0", "any"), ("13", "fail"), ("-1", "fail"), ("abc", "fail"), ("nan", "fail"),
                          ("1e300", "fail"), ("", "fail"), ("2", "ok")]:
        cases.append(Case("valves", "--cylinders " + value, ["valves", "t.csv", "--cylinders", value], good,
                          expect))
    for order, intervals, expect in [
            ("1-3-4-2", None, "ok"), ("1-1-4-2", None, "fail"), ("1-3-4", None, "fail"), ("", None, "fail"),
            ("1--2", None, "fail"), ("0-1-2-3", None, "fail"), ("nan", None, "fail"),
            ("1-2-" * 32750, None, "fail"), ("1-3-4-2", "180,180,180,180", "ok"),
            ("1-3-4-2", "100,100,100,100", "fail"), ("1-3-4-2", "nan,180,180,180", "fail"),
            ("1-3-4-2", "1e300,180,180,180", "fail"), ("1-3-4-2", "-0,240,240,240", "any"),
            ("1-3-4-2", "180;180;180", "fail"), ("1-3-4-2", LONG_DIGITS, "fail")]:
        args = ["valves", "t.csv", "--firing-order", order]
        args += ["--intervals", intervals] if intervals is not None else []
        label = "--firing-order " + order[:20] + (" --intervals " + intervals[:20] if intervals else "")
        cases.append(Case("valves", label, args, good, expect))
    for name, content, expect in setup_variants():
        if name in ("speed nan", "global 1e400"):
            expect = "any"  # fields of the events, which valves does not read
        cases.append(Case("valves", "set-up: " + name, ["valves", "s.morvane"], {"s.morvane": content},
                          expect))
    for size, expect in [("0x10", "fail"), ("10001x10", "fail"), ("10x", "fail"), ("1x1", "ok"),
                         ("-5x5", "fail"), ("1e3x1e3", "fail")]:
        cases.append(Case("valves", "--size " + size, ["valves", "t.csv", "--diagram", "d.png", "--size",
                                                       size], good, expect, outputs=("d.png",)))
    cases += output_cases("valves", ["valves", "t.csv"], "--diagram", good)
    return cases


def pressure_variants():
    """(name, bytes, expect) of pressure cycles."""
    with open(FIRED, "rb") as f:
        fired = f.read()
    values = fired.decode().split()
    line = lambda vals: text(*vals)
    replaced = lambda at, value: line(values[:at] + [value] + values[at + 1:])
    angle_table = ["Úhel;Tlak"] + ["%s;%s" % (number(i * 0.5).rstrip("0").rstrip(","), v)
                                   for i, v in enumerate(values)]
    angle_text = lambda lines: text(*lines)
    return [
        ("1441 values", fired, "ok"),
        ("byte-order mark", b"\xef\xbb\xbf" + fired, "ok"),
        ("CR LF", fired.replace(b"\n", b"\r\n"), "ok"),
        ("angle table", angle_text(angle_table), "ok"),
        ("angle table with byte-order mark", b"\xef\xbb\xbf" + angle_text(angle_table), "ok"),
        ("1440 values", line(values[:-1]), "fail"),
        ("1442 values", line(values + ["1"]), "fail"),
        ("one value", line(values[:1]), "fail"),
        ("empty file", b"", "fail"),
        ("blank line inside", line(values[:700] + [""] + values[700:]), "fail"),
        ("nan inside", replaced(700, "nan"), "fail"),
        ("inf inside", replaced(700, "inf"), "fail"),
        ("1e300 inside", replaced(700, "1e300"), "fail"),
        ("1e400 inside", replaced(700, "1e400"), "fail"),
        ("-0 inside", replaced(0, "-0"), "ok"),
        ("decimal point", replaced(700, "5.5"), "fail"),
        ("text inside", replaced(700, "abc"), "fail"),
        ("all 1e-300", line(["1e-300"] * 1441), "fail"),
        ("all zero", line(["0"] * 1441), "fail"),
        ("flat 5 bar", line(["5"] * 1441), "any"),
        ("negative pressures", line(["-" + v if not v.startswith("-") else v[1:] for v in values]), "fail"),
        ("131 000-character value", replaced(5, LONG_DIGITS), "fail"),
        ("10 MB line", replaced(5, "1" * (10 << 20)), "fail"),
        ("UTF-16", fired.decode().encode("utf-16"), "fail"),
        ("random bytes", noise(3, 8192), "fail"),
        ("NUL inside", replaced(5, "1\x002"), "fail"),
        ("angle table missing an angle", angle_text(angle_table[:300] + angle_table[301:]), "fail"),
        ("angle table with angles of 1e15", angle_text(angle_table[:1] + [
            "1e15;" + v for v in values]), "fail"),
        ("angle table backwards", angle_text(angle_table[:1] + angle_table[:0:-1]), "fail"),
        ("angle table with a text line", angle_text(angle_table[:500] + ["x;y"] + angle_table[500:]), "fail"),
        ("angle table with one column", angle_text([angle_table[0]] + [v for v in values]), "any"),
    ]


def combustion_cases(shared):
    cases = []
    for name, content, expect in pressure_variants():
        cases.append(Case("combustion", "cycle: " + name, ["combustion", "p.csv"] + ENGINE,
                          {"p.csv": content}, expect))
    big = os.path.join(shared, "big-cycle.csv")
    cases.append(Case("combustion", "cycle: %d MB of values" % round(os.path.getsize(big) / 2 ** 20),
                      ["combustion", big] + ENGINE, {}, "fail", rss_mb=os.path.getsize(big) / 2 ** 20))
    fired = {"p.csv": open(FIRED, "rb").read()}
    for option, values in [
            ("--bore", ["0", "-86", "1e-160", "1e300", "86.5"]),
            ("--stroke", ["0", "-75", "1e-300"]),
            ("--rod", ["37,5", "0", "1e300"]),
            ("--compression", ["1", "0,5", "0"]),
            ("--gamma", ["1", "0", "-1,35", "1e300"]),
            ("--window", ["460,340", "0,720", "-1e15;1e15", "nan,1", "340", "340,340", ""]),
            ("--tdc-shift", ["720", "-720", "1e-300"]),
            ("--peg-pressure", ["-1", "0", "1e300"]),
            ("--peg-exponent", ["0", "-1", "1e300"])]:
        for value in values:
            peg = ["--peg", "point"] if option == "--peg-pressure" else (
                ["--peg", "polytropic"] if option == "--peg-exponent" else [])
            good = (option, value) in {("--window", "0,720"), ("--tdc-shift", "1e-300")}
            args = with_option(["combustion", "p.csv"] + ENGINE, option, value)
            cases.append(Case("combustion", "%s %s" % (option, value[:30]), args + peg, fired,
                              "any" if good else "fail"))
    for peg, peg_range, expect in [("point", "175,185", "ok"), ("point", "185,175", "fail"),
                                   ("point", "-10,10", "fail"), ("point", "700,800", "fail"),
                                   ("polytropic", "245,295", "ok"), ("polytropic", "250,250", "fail"),
                                   ("polytropic", "nan,295", "fail"), ("point", LONG_DIGITS, "fail"),
                                   ("linear", "175,185", "fail")]:
        cases.append(Case("combustion", "--peg %s --peg-range %s" % (peg, peg_range[:20]),
                          ["combustion", "p.csv"] + ENGINE + ["--peg", peg, "--peg-range", peg_range], fired,
                          expect))
    rec = os.path.join(shared, "rec.csv")
    base = ["combustion", rec] + ENGINE + WHEEL
    cases.append(Case("combustion", "recording", base + ["--pressure-scale", "1"], {}, "ok"))
    cases.append(Case("combustion", "recording without --pressure-scale", base, {}, "fail"))
    # The batch tool's own numbers take a decimal point too.
    for value in ["0", "-1", "1e300", "1e-300", "nan", "inf", "1e10", "", "1.5"]:
        cases.append(Case("combustion", "--pressure-scale " + value, base + ["--pressure-scale", value], {},
                          "any" if value == "1.5" else "fail"))
    scaled = base + ["--pressure-scale", "1"]
    for option, value, expect in [
            ("--knock-band", "0,0", "fail"), ("--knock-band", "4000,60000", "fail"),
            ("--knock-band", "20000,4000", "fail"), ("--knock-band", "nan,20000", "fail"),
            ("--knock-band", "-1,20000", "fail"), ("--knock-band", "1e300,1e301", "fail"),
            ("--knock-window", "420,360", "fail"), ("--knock-window", "-1e15;1e15", "fail"),
            ("--knock-window", "360,360", "any"), ("--knock-window", "0,720", "ok"),
            ("--knock-threshold", "-1", "fail"), ("--knock-threshold", "nan", "fail"),
            ("--knock-threshold", "1e7", "fail"), ("--knock-threshold", "0", "ok"),
            ("--sample-rate", "1e300", "fail"), ("--sample-rate", "10", "fail"),
            ("--sample-rate", "1e-300", "fail"), ("--wheel", "60-60", "fail"), ("--wheel", "36-1", "fail"),
            ("--tdc-shift", "1e15", "fail"), ("--tdc-shift", "nan", "fail")]:
        cases.append(Case("combustion", "recording %s %s" % (option, value), with_option(scaled, option, value),
                          {}, expect))
    cycles = scaled + ["--cycles"]
    cases.append(Case("combustion", "--cycles of a recording", cycles + ["c.csv"], {}, "ok",
                      outputs=("c.csv",)))
    cases.append(Case("combustion", "--cycles is the recording", cycles + [rec], {}, "fail"))
    cases.append(Case("combustion", "--cycles of a cycle file", ["combustion", "p.csv"] + ENGINE +
                      ["--cycles", "c.csv"], fired, "any", outputs=("c.csv",)))
    # --cycles needs a recording: the recording in the case's folder is its input.
    recording = {"r.csv": open(rec, "rb").read()}
    cases += output_cases("combustion", ["combustion", "r.csv"] + ENGINE + WHEEL + ["--pressure-scale", "1"],
                          "--cycles", recording, ".csv")
    return cases


def tdc_cases(shared):
    cases = []
    for name, content, expect in pressure_variants():
        if name in ("1441 values", "flat 5 bar"):
            expect = "any"  # a fired cycle or a flat one proposes a shift or refuses
        cases.append(Case("tdc", "cycle: " + name, ["tdc", "p.csv"], {"p.csv": content}, expect))
    motored = {"m.csv": open(MOTORED, "rb").read()}
    for value, expect in [("0,8", "ok"), ("91", "fail"), ("-91", "fail"), ("nan", "fail"), ("-0", "ok"),
                          ("1e300", "fail"), ("1e-300", "ok"), ("", "fail"), ("0.8", "any"),
                          (LONG_DIGITS, "fail")]:
        cases.append(Case("tdc", "--loss-angle " + value[:20], ["tdc", "m.csv", "--loss-angle", value], motored,
                          expect))
    rec = os.path.join(shared, "rec.csv")
    for option, value, expect in [("--pressure-scale", "1", "ok"), ("--pressure-scale", "0", "fail"),
                                  ("--pressure-scale", "nan", "fail"), ("--sample-rate", "1e300", "fail"),
                                  ("--wheel", "100000-1", "fail")]:
        args = with_option(["tdc", rec] + WHEEL + ["--pressure-scale", "1"], option, value)
        cases.append(Case("tdc", "recording %s %s" % (option, value), args, {}, expect))
    big = os.path.join(shared, "big-cycle.csv")
    cases.append(Case("tdc", "cycle: %d MB of values" % round(os.path.getsize(big) / 2 ** 20), ["tdc", big], {}, "fail",
                      rss_mb=os.path.getsize(big) / 2 ** 20))
    return cases


def signal_cases(shared, rows, timed):
    cases = []
    lines = recording_lines(rows)
    good = joined(lines)
    base = ["signal", "--encoder", "r.csv"] + WHEEL

    def add(name, content, expect, args=None, accepted=()):
        cases.append(Case("signal", name, args or base, {"r.csv": content}, expect, accepted=accepted))

    add("recording", good, "ok")
    add("byte-order mark", b"\xef\xbb\xbf" + good, "ok")
    add("LF line ends", joined(lines, "\n"), "ok")
    add("CR line ends", joined(lines, "\r"), "any")
    add("tabs", joined([line.replace(";", "\t") for line in lines]), "ok")
    add("header repeated inside", joined(lines[:6000] + [lines[0]] + lines[6000:]), "ok")
    add("text line inside", joined(lines[:6000] + ["x;y"] + lines[6000:]), "fail")
    every_second = [lines[0]]
    for line in lines[1:]:
        every_second += [line, "x;y"]
    add("every second line x;y", joined(every_second), "fail")
    add("blank line inside", joined(lines[:6000] + [""] + lines[6000:]), "any")
    add("UTF-16", good.decode().encode("utf-16"), "fail")
    add("UTF-16 without mark", good.decode().encode("utf-16-le"), "fail")
    add("random bytes", noise(4, 200000), "fail")
    add("one column", joined([line.split(";")[0].replace(",", ".") for line in lines]), "fail")
    add("one column with decimal commas", joined([line.split(";")[0] for line in lines]), "any")
    no_data = ["Soubor neobsahuje žádná data."]
    add("empty file", b"", "fail", accepted=no_data)
    add("header only", joined(lines[:1]), "fail", accepted=no_data)
    add("ten samples", joined(lines[:11]), "fail")
    add("10 MB line inside", joined(lines[:6000] + ["1;" + "2" * (10 << 20)] + lines[6000:]), "fail")
    add("10 MB header", joined(["h" * (10 << 20)] + lines[1:]), "any")
    add("NUL inside", joined(lines[:6000] + ["1;\x002"] + lines[6000:]), "fail")
    whole = recording_lines([(round(e), round(p), t, i) for e, p, t, i in rows[:3000]])[1:]
    add("whole numbers first, decimals later", joined([lines[0]] + [w.replace(",000000", "")
                                                                     for w in whole] + lines[3001:]), "ok")
    add("decimal points first, commas later", joined(
        recording_lines(rows[:3000], decimal=".") + lines[3001:]), "fail")
    add("decimal point recording", joined(recording_lines(rows, sep=";", decimal=".")), "ok")
    add("comma-separated with points", joined(recording_lines(rows, sep=",", decimal=".")), "ok")
    add("space-separated", joined(recording_lines(rows, sep=" ")), "ok")
    add("flat encoder", joined([lines[0]] + ["0;" + line.split(";")[1] for line in lines[1:]]), "fail")
    noisy = random.Random(5)
    add("noise for an encoder", joined([lines[0]] + ["%s;1" % number(noisy.random()) for _ in lines[1:]]),
        "fail")
    add("1e300 values", joined([lines[0]] + [line.split(";")[0] + ";1e300" for line in lines[1:]]), "any")
    add("nan value inside", joined(lines[:6000] + ["1;nan"] + lines[6000:]), "fail")
    add("inf encoder inside", joined(lines[:6000] + ["inf;1"] + lines[6000:]), "fail")

    for value, expect in [("1e300", "fail"), ("1e-300", "fail"), ("10", "fail"), ("1", "fail"), ("0", "fail"),
                          ("-1", "fail"), ("nan", "fail"), ("inf", "fail"), ("1e15", "fail"), ("", "fail"),
                          ("abc", "fail"), ("1e5", "any"), ("100000,5", "ok"), ("1000", "any"),
                          (LONG_DIGITS, "fail")]:
        add("--sample-rate " + value[:20], good, expect,
            ["signal", "--encoder", "r.csv", "--wheel", "60-2", "--sample-rate", value])
    for wheel, expect in [("60-60", "fail"), ("100000-1", "fail"), ("0-0", "fail"), ("1-0", "fail"),
                          ("2-1", "fail"), ("60-", "fail"), ("-2", "fail"), ("60_2", "fail"), ("abc", "fail"),
                          ("36-1", "fail"), ("360-0", "fail"), ("60-2-1", "fail"), ("60--2", "fail"),
                          (LONG_DIGITS, "fail"), ("60-2", "ok")]:
        add("--wheel " + wheel[:20], good, expect,
            ["signal", "--encoder", "r.csv", "--wheel", wheel, "--sample-rate", "100000"])
    for option, value, expect in [
            ("--encoder-column", "0", "fail"), ("--encoder-column", "99", "fail"),
            ("--encoder-column", "nosuch", "fail"), ("--encoder-column", "", "fail"),
            ("--encoder-column", "encoder", "ok"), ("--encoder-column", "pressure", "fail"),
            ("--encoder-column", "-1", "fail"), ("--encoder-column", LONG_TEXT, "fail"),
            ("--value-column", "1", "any"), ("--value-column", "3", "fail"), ("--value-column", "nosuch", "fail"),
            ("--index-column", "2", "any"), ("--index-column", "9", "fail"),
            ("--reference-angle", "360", "fail"), ("--reference-angle", "-1", "fail"),
            ("--reference-angle", "nan", "fail"), ("--reference-angle", "1e300", "fail"),
            ("--reference-angle", "-0", "ok"), ("--reference-angle", "359,999", "ok"),
            ("--phase", "0", "fail"), ("--phase", "3", "fail"), ("--phase", "2", "ok"), ("--phase", "x", "fail")]:
        add("%s %s" % (option, value[:20]), good, expect, base + [option, value])

    time_lines = recording_lines(timed, time_column=True)
    time_args = ["signal", "--encoder", "r.csv", "--wheel", "60-2", "--time-column", "3"]
    add("time column", joined(time_lines), "ok", time_args)

    def with_times(change):
        out = [time_lines[0]]
        for i, line in enumerate(time_lines[1:]):
            cells = line.split(";")
            cells[2] = change(i, float(cells[2].replace(",", ".")), cells[2])
            out.append(";".join(cells))
        return joined(out)

    half = len(timed) // 2
    add("time jumps 1000 s", with_times(lambda i, t, s: number(t + 1000 if i >= half else t)), "fail", time_args)
    add("time goes backwards", with_times(lambda i, t, s: number(t - 0.05 if i >= half else t)), "fail",
        time_args)
    add("time stands still", with_times(lambda i, t, s: "0"), "fail", time_args)
    add("time scaled by 1e-300", with_times(lambda i, t, s: "%.6e" % (t * 1e-300)), "fail", time_args)
    add("time scaled by 1e300", with_times(lambda i, t, s: "%.6e" % (t * 1e300)), "fail", time_args)
    add("time nan inside", with_times(lambda i, t, s: "nan" if i == half else s), "fail", time_args)
    add("time text inside", with_times(lambda i, t, s: "čas" if i == half else s), "fail", time_args)
    add("time 1e15 s", with_times(lambda i, t, s: number(t + 1e15)), "fail", time_args)
    add("time column and sample rate", joined(time_lines), "any", time_args + ["--sample-rate", "100000"])
    index_lines = recording_lines(samples(teeth=360, missing=0, revolutions=4), index_column=True)
    add("360-0 wheel with index", joined(index_lines), "ok",
        ["signal", "--encoder", "r.csv", "--wheel", "360-0", "--sample-rate", "100000", "--index-column", "3"])
    return cases


# Angles the events take as the window always did: folded into the cycle.
EVENTS_FOLD = {"offset 1e300", "offset inf", "offset nan", "ignition nan", "valve angle 1e15", "valve angle 1441",
               "valve angle -721", "cylinder row 1e15"}


def events_cases(shared):
    cases = []
    for kind in ("events", "render"):
        out = ["--output", "p.png"] if kind == "render" else []
        outputs = ("p.png",)
        for name, content, expect in table_variants():
            if name in EVENTS_FOLD:
                expect = "any"  # the events fold any angle the float parse reads
            cases.append(Case(kind, "table: " + name, [kind, "t.csv"] + out, {"t.csv": content}, expect,
                              outputs, keep=True))
        for name, content, expect in setup_variants():
            if name in EVENTS_FOLD:
                expect = "any"
            cases.append(Case(kind, "set-up: " + name, [kind, "s.morvane"] + out, {"s.morvane": content},
                              expect, outputs, keep=True))
        for name, content, expect in [("one per line", text("10", "-20"), "ok"),
                                      ("byte-order mark", b"\xef\xbb\xbf" + text("10"), "ok"),
                                      ("nan", text("nan"), "fail"), ("1e400", text("1e400"), "fail"),
                                      ("131 000 characters", text(LONG_DIGITS), "fail"),
                                      ("random bytes", noise(6, 4096), "fail"),
                                      ("UTF-16", text("10").decode().encode("utf-16"), "fail")]:
            cases.append(Case(kind, "corrections: " + name, [kind, "--corrections", "c.txt"] + out,
                              {"c.txt": content}, expect, outputs, keep=True))
    big = os.path.join(shared, "big-table.csv")
    for kind in ("events", "render"):
        cases.append(Case(kind, "table: %d MB of lines" % round(os.path.getsize(big) / 2 ** 20),
                          [kind, big] + (["--output", "p.png"] if kind == "render" else []), {}, "fail",
                          keep=True, rss_mb=os.path.getsize(big) / 2 ** 20))
    cases.append(Case("events", "corrections: %d MB of lines" % round(os.path.getsize(big) / 2 ** 20),
                      ["events", "--corrections", os.path.join(shared, "big-cycle.csv")], {}, "any",
                      rss_mb=os.path.getsize(big) / 2 ** 20))
    big_setup = os.path.join(shared, "big.morvane")
    cases.append(Case("events", "set-up: %d MB" % round(os.path.getsize(big_setup) / 2 ** 20), ["events", big_setup], {},
                      "fail", rss_mb=os.path.getsize(big_setup) / 2 ** 20))
    table = {"t.csv": cylinder_table()}
    cases += output_cases("render", ["render", "t.csv"], "--output", table)
    angle = {"a.csv": text("trigger;value", "1;1", "0;2", "1;3", "0;4", "1;5")}
    cases.append(Case("render", "angle signal", ["render", "--angle", "a.csv", "--output", "p.png"], angle,
                      "ok", ("p.png",)))
    cases.append(Case("render", "output is the angle signal", ["render", "--angle", "a.csv", "--output",
                                                               "a.csv"], angle, "fail"))
    cases.append(Case("render", "output is a link to the time signal",
                      ["render", "--time", "tm.csv", "--output", "l.png"], {"tm.csv": text("0", "2", "4")}, "fail",
                      prepare=lambda d: os.symlink("tm.csv", os.path.join(d, "l.png"))))
    cases.append(Case("render", "output is the corrections file",
                      ["render", "--corrections", "c.txt", "--output", "c.txt"], {"c.txt": text("10")}, "fail"))
    cases.append(Case("render", "output is the set-up file", ["render", "s.morvane", "--output", "s.morvane"],
                      {"s.morvane": text(*SETUP_HEAD)}, "fail"))
    cases.append(Case("render", "output is the encoder recording",
                      ["render", "--encoder", "r.csv", "--wheel", "60-2", "--sample-rate", "100000", "--output",
                       "r.csv"], {"r.csv": open(os.path.join(shared, "rec.csv"), "rb").read()}, "fail"))
    return cases


def number_cases():
    """Every numeric field of the commands against the same hostile numbers."""
    fields = [
        ("events --rpm", lambda v: ["events", "--rpm", v], {"1e300": "any", "1e-300": "any", "-0": "fail",
                                                             "1e15": "any"}, True),
        # A global correction that does not read counts as 0, as the window always did.
        ("events --global", lambda v: ["events", "--global", v], {"1e-300": "ok", "-0": "ok", "nan": "any",
                                                                   "inf": "any", "-inf": "any", "1e300": "any",
                                                                   "1e15": "any", LONG_TEXT: "any",
                                                                   LONG_DIGITS: "any"}, True),
        ("events --cylinders", lambda v: ["events", "--cylinders", v], {"-0": "any"}, True),
        ("valves --cylinders", lambda v: ["valves", "--cylinders", v], {}, False),
        ("render --cursor", lambda v: ["render", "--cursor", v, "--output", "p.png"], {"-0": "any"}, False),
        ("signal --reference-angle", lambda v: ["signal", "--encoder", "@SHARED@/rec.csv", "--wheel", "60-2",
                                                "--sample-rate", "100000", "--reference-angle", v],
         {"1e-300": "ok", "-0": "ok"}, False),
        ("combustion --bore", lambda v: ["combustion", FIRED] + ENGINE[2:] + ["--bore", v], {}, False),
        ("combustion --compression", lambda v: ["combustion", FIRED] + ENGINE[:6] + ["--compression", v], {},
         False),
        ("combustion --gamma", lambda v: ["combustion", FIRED] + ENGINE + ["--gamma", v], {}, False),
        ("combustion --tdc-shift", lambda v: ["combustion", FIRED] + ENGINE + ["--tdc-shift", v],
         {"1e-300": "ok", "-0": "ok"}, False),
        ("combustion --peg-pressure", lambda v: ["combustion", FIRED] + ENGINE + ["--peg", "point",
                                                                                 "--peg-pressure", v], {}, False),
        ("tdc --loss-angle", lambda v: ["tdc", MOTORED, "--loss-angle", v], {"1e-300": "ok", "-0": "ok"}, False),
    ]
    cases = []
    for label, make, expects, keep in fields:
        for value in SPECIALS:
            shown = value if len(value) < 20 else "%d characters" % len(value)
            cases.append(Case("numbers", "%s %s" % (label, shown), make(value), {}, expects.get(value, "fail"),
                              outputs=("p.png",), keep=keep))
    return cases


# ---------------------------------------------------------------- pipes, NUL bytes, set-ups as typed, tables

def same_as(args, files, outputs=()):
    """A check: the run printed, and wrote, what the same command prints for
    the same input given as plain files (a pipe read twice prints less)."""
    def check(result, folder):
        reference = folder + "-reference"
        os.makedirs(reference)
        for name, content in files.items():
            with open(os.path.join(reference, name), "wb") as f:
                f.write(content)
        done = subprocess.run([result["cli"]] + args, cwd=reference, capture_output=True,
                              stdin=subprocess.DEVNULL, timeout=120)
        if done.returncode != result.get("code"):
            return "wrong", "exit %s through a pipe, %d from a file" % (result.get("code"), done.returncode)
        if done.stdout != result["stdout"]:
            return "wrong", "prints %d bytes through a pipe, %d from a file" % (len(result["stdout"]),
                                                                              len(done.stdout))
        for name in outputs:
            paths = os.path.join(folder, name), os.path.join(reference, name)
            contents = [open(path, "rb").read() if os.path.exists(path) else None for path in paths]
            if contents[0] != contents[1]:
                return "wrong", name + " differs from the one drawn from a file"
        return None
    return check


def mentions(*words, absent=()):
    """A check: the message names what is wrong (each word) and none of the absent ones."""
    def check(result, folder):
        message = result["stderr"].decode("utf-8", "replace")
        missing = [w for w in words if w not in message]
        wrong = [w for w in absent if w in message]
        if missing or wrong:
            return "unclear", "message without %s" % ", ".join(missing) if missing else (
                "message with %s" % ", ".join(wrong))
        return None
    return check


def table_cells_line_up(result, folder):
    """A check: every row of a semicolon table has the header's cells (quoted as
    CSV quotes), or two: a file and its error."""
    import csv
    import io
    rows = list(csv.reader(io.StringIO(result["stdout"].decode("utf-8", "replace")), delimiter=";"))
    if not rows:
        return "wrong", "no table"
    bad = [i + 1 for i, row in enumerate(rows) if len(row) not in (len(rows[0]), 2)]
    return ("wrong", "rows %s do not have the header's %d cells" % (bad[:5], len(rows[0]))) if bad else None


def writes(*names):
    def check(result, folder):
        missing = [name for name in names if not os.path.isfile(os.path.join(folder, name))]
        return ("wrong", "did not write " + ", ".join(missing)) if missing else None
    return check


def pipe_cases(shared):
    """Every input kind through standard input, a shell's <(...) and a FIFO
    must give what it gives as a file."""
    rec = open(os.path.join(shared, "rec.csv"), "rb").read()
    inputs = [
        ("events: table", ["events", "IN"], cylinder_table(), ()),
        ("events: set-up", ["events", "IN"], text(*SETUP_HEAD), ()),
        ("events: corrections", ["events", "--corrections", "IN"], text("10", "-20"), ()),
        ("render: table", ["render", "IN", "--output", "p.png"], cylinder_table(), ("p.png",)),
        ("render: set-up", ["render", "IN", "--output", "p.png"], text(*SETUP_HEAD), ("p.png",)),
        ("valves: table", ["valves", "IN"], cylinder_table(), ()),
        ("combustion: cycle", ["combustion", "IN"] + ENGINE, open(FIRED, "rb").read(), ()),
        ("tdc: cycle", ["tdc", "IN"], open(MOTORED, "rb").read(), ()),
        ("signal: recording", ["signal", "--encoder", "IN"] + WHEEL, rec, ()),
        ("combustion: recording", ["combustion", "IN"] + ENGINE + WHEEL + ["--pressure-scale", "1"], rec, ()),
    ]
    cases = []
    for name, args, content, outputs in inputs:
        reference = [a.replace("IN", "in.file") for a in args]
        for how, key in (("standard input", "@STDIN@"), ("<(...)", "@PIPE:in@"), ("FIFO", "@FIFO:in.fifo@")):
            piped = [("/dev/stdin" if key == "@STDIN@" else key) if a == "IN" else a for a in args]
            cases.append(Case("pipes", "%s through %s" % (name, how), piped, {}, "ok", outputs,
                              feeds={key: content}, check=same_as(reference, {"in.file": content}, outputs)))
    return cases


def nul_cases(shared):
    """A NUL byte must not end an input silently."""
    nul = "\x00"
    setup = SETUP_HEAD[:6] + [nul] + SETUP_HEAD[6:]
    table = text(TABLE_HEADER, "1;0;350;0;180;540;720", "2;180;350;0;180;540;720" + nul,
                 "3;360;350;0;180;540;720", "4;540;350;0;180;540;720")
    lines = recording_lines(samples())
    recording = joined(lines[:4000] + [nul + nul] + lines[4000:])
    values = open(FIRED, "rb").read().decode().split()
    cases = [
        Case("nul", "set-up: NUL line before [Válce]", ["events", "s.morvane"], {"s.morvane": text(*setup)}),
        Case("nul", "table: NUL after row 2", ["events", "t.csv"], {"t.csv": table}),
        Case("nul", "valves: NUL after row 2", ["valves", "t.csv"], {"t.csv": table}),
        Case("nul", "corrections: NUL line", ["events", "--corrections", "c.txt"], {"c.txt": text("10", nul, "-20")}),
        Case("nul", "recording: NUL line", ["signal", "--encoder", "r.csv"] + WHEEL, {"r.csv": recording}),
        Case("nul", "combustion of a recording: NUL line", ["combustion", "r.csv"] + ENGINE + WHEEL +
             ["--pressure-scale", "1"], {"r.csv": recording}),
        Case("nul", "cycle: NUL line", ["combustion", "p.csv"] + ENGINE,
             {"p.csv": text(*(values[:700] + [nul] + values[700:]))}),
        # The angle and time imports end their text at a NUL, as the window's imports always did.
        Case("nul", "angle signal: NUL line", ["render", "--angle", "a.csv", "--output", "p.png"],
             {"a.csv": text("trigger;value", "1;1", "0;2", nul, "1;3", "0;4")}, "any", outputs=("p.png",)),
        Case("nul", "time signal: NUL line", ["render", "--time", "t.csv", "--output", "p.png"],
             {"t.csv": text("0", "2", nul, "4", "6")}, "any", outputs=("p.png",)),
    ]
    return cases


def typed_setup_cases():
    """Set-ups as people edit them by hand and as other editors save them."""
    body = "\n".join(SETUP_HEAD) + "\n"
    with_line = lambda after, *extra: text(*[x for line in SETUP_HEAD for x in
                                             ([line] + list(extra) if line == after else [line])])
    replaced = lambda old, new: text(*[new if line == old else line for line in SETUP_HEAD])
    many_keys = lambda end: text(*(SETUP_HEAD + ["[Budoucí]"] + ["k%05d=%s" % (i, "x" * 201) for i in range(50000)]),
                                 end=end)
    signal_setup = lambda path: with_line("2=360;350;0;180;540;720", "[Import signálu]", "Druh=úhel",
                                          "Soubor=" + path)
    cases = [
        Case("setups", "Windows-1250 body", ["events", "s.morvane"], {"s.morvane": body.encode("cp1250")}),
        Case("setups", "UTF-16 without a mark", ["events", "s.morvane"], {"s.morvane": body.encode("utf-16-le")}),
        Case("setups", "UTF-32", ["events", "s.morvane"], {"s.morvane": body.encode("utf-32")},
             check=mentions("UTF-32")),
        Case("setups", "cylinder row of seven cells", ["events", "s.morvane"],
             {"s.morvane": replaced("2=360;350;0;180;540;720", "2=2;360;350;0;180;540;720")}),
        Case("setups", "a key twice in [Hlavní parametry]", ["events", "s.morvane"],
             {"s.morvane": with_line("Otáčky motoru [RPM]=2500", "Otáčky motoru [RPM]=3000")}),
        Case("setups", "a key twice in [Časová osa]", ["events", "s.morvane"],
             {"s.morvane": with_line("Globální korekce [°]=-10", "Globální korekce [°]=5")}),
        Case("setups", "an event twice in [Korekce]", ["events", "s.morvane"],
             {"s.morvane": with_line("2=360;350;0;180;540;720", "[Korekce]", "Píst 1 - HU=1", "Píst 1 - HU=2")},
             "ok"),
        Case("setups", "unknown version line", ["events", "s.morvane"],
             {"s.morvane": replaced(SETUP_HEAD[0], "Morvane nastavení x")}, check=mentions(absent=("Tabulka",))),
        Case("setups", "a cell error names its line", ["events", "s.morvane"],
             {"s.morvane": replaced("2=360;350;0;180;540;720", "2=360;350;x;180;540;720")},
             check=mentions('klíč "2"')),
        # 10 MiB lies between the two: LF stays under it, CR LF goes over.
        Case("setups", "CR LF over 10 MB", ["events", "s.morvane"], {"s.morvane": many_keys("\r\n")}),
        Case("setups", "LF under 10 MB", ["events", "s.morvane"], {"s.morvane": many_keys("\n")}, "ok"),
        Case("setups", "render draws the set-up's cursor", ["render", "s.morvane", "--output", "p.png"],
             {"s.morvane": with_line("Globální korekce [°]=-10", "Úhel kliky [°]=100")}, "ok", ("p.png",),
             check=same_as(["render", "s.morvane", "--output", "p.png", "--cursor", "100"],
                           {"s.morvane": with_line("Globální korekce [°]=-10")}, ("p.png",))),
        Case("setups", "render: the set-up's signal is missing", ["render", "s.morvane", "--output", "p.png"],
             {"s.morvane": signal_setup("chybí.csv")}, outputs=("p.png",)),
        Case("setups", "render: the set-up's signal is a FIFO", ["render", "s.morvane", "--output", "p.png"],
             {"s.morvane": signal_setup("a.fifo")}, outputs=("p.png",), feeds={"@FIFO:a.fifo@": None}),
        Case("setups", "a file name with a line break", ["events", "a\nb.morvane"],
             {"a\nb.morvane": replaced("2=360;350;0;180;540;720", "2=360;350;x;180;540;720")}),
        Case("setups", "a file name with an escape sequence", ["combustion", "\x1b[2Jp.csv"] + ENGINE,
             {"\x1b[2Jp.csv": text("1", "2")}),
    ]
    return cases


def table_cases():
    """Tables whose cells hold the table's own separator or line breaks."""
    fired = open(FIRED, "rb").read()
    cases = []
    for name in ("a;b.csv", "a\nb.csv", 'a"b.csv'):
        cases.append(Case("tables", "combustion of %r and another" % name, ["combustion", name, "c.csv"] + ENGINE,
                          {name: fired, "c.csv": fired}, "ok", check=table_cells_line_up))
    cases.append(Case("tables", "an error with ; in a row", ["combustion", "bad.csv", "c.csv"] + ENGINE,
                      {"bad.csv": text("x;y"), "c.csv": fired}, "fail", check=table_cells_line_up, in_table=True))
    recording = ["combustion", "@SHARED@/rec.csv"] + ENGINE + WHEEL + ["--pressure-scale", "1"]
    for table in ("whole", "rows"):
        cases.append(Case("tables", "--cycles with --table " + table,
                          recording + ["--table", table, "--cycles", "c.csv"], {}, "ok", ("c.csv",),
                          check=writes("c.csv")))
    long_name = "n" * 246 + ".png"
    cases.append(Case("tables", "output name of 250 characters", ["render", "--output", long_name], {}, "ok",
                      (long_name,), check=writes(long_name)))
    return cases


def trust_cases(shared):
    """Options a method does not use, values no sensor gives, pegging that cannot be trusted."""
    fired = {"p.csv": open(FIRED, "rb").read()}
    motored = {"m.csv": open(MOTORED, "rb").read()}
    cycle = ["combustion", "p.csv"] + ENGINE
    recording = ["combustion", "@SHARED@/rec.csv"] + ENGINE + WHEEL + ["--pressure-scale", "1"]
    values = open(FIRED, "rb").read().decode().split()
    cases = [
        Case("trust", "--peg-pressure without --peg", cycle + ["--peg-pressure", "5"], fired),
        Case("trust", "--peg none --peg-range", cycle + ["--peg", "none", "--peg-range", "700,800"], fired),
        Case("trust", "--peg point --peg-exponent", cycle + ["--peg", "point", "--peg-exponent", "-3"], fired),
        Case("trust", "tdc --peg none --peg-pressure", ["tdc", "m.csv", "--peg", "none", "--peg-pressure", "-1"],
             motored),
        Case("trust", "--pressure-scale 1e9", with_option(recording, "--pressure-scale", "1e9"), {}),
        Case("trust", "--knock-band 1e-300,20000", recording + ["--knock-band", "1e-300,20000"], {}),
        Case("trust", "--peg polytropic --peg-range 179,181", cycle + ["--peg", "polytropic", "--peg-range",
                                                                      "179,181"], fired),
        Case("trust", "--peg-exponent 1e-300", cycle + ["--peg", "polytropic", "--peg-exponent", "1e-300"], fired,
             check=mentions("exponent")),
        Case("trust", "--tdc-shift nan", cycle + ["--tdc-shift", "nan"], fired, check=mentions("--tdc-shift")),
        Case("trust", "1e400 in a recording names its line", ["signal", "--encoder", "r.csv"] + WHEEL,
             {"r.csv": joined(recording_lines(samples())[:5000] + ["1;1e400"])}, check=mentions("5001")),
    ]
    for value in ("1e6", "1e10", "1e15", "1e20"):
        cases.append(Case("trust", "one point of %s bar" % value, cycle,
                          {"p.csv": text(*(values[:700] + [value] + values[701:]))}))
    slow = recording_lines(samples(rate=20000.0), time_column=True)
    cases.append(Case("trust", "a 20 kHz recording timed by a column", ["combustion", "r.csv"] + ENGINE +
                      ["--wheel", "60-2", "--time-column", "3", "--pressure-scale", "1"], {"r.csv": joined(slow)},
                      "ok"))
    stalled = ["combustion", "@FIFO:stall.csv@", "p.csv", "-j", "2", "--timeout", "2"] + ENGINE
    cases.append(Case("trust", "a FIFO that never delivers, first of two with -j 2", stalled, fired,
                      feeds={"@FIFO:stall.csv@": None}, in_table=True,
                      check=lambda result, folder: None if b"p.csv" in result["stdout"] else (
                          "wrong", "no row for the file that was read")))
    return cases


# ---------------------------------------------------------------- running

def snapshot(paths):
    """What the command must leave as it was: type, mode, owner, link target, content."""
    state = {}
    for path in paths:
        try:
            info = os.lstat(path)
        except FileNotFoundError:
            continue
        entry = (stat.S_IFMT(info.st_mode), stat.S_IMODE(info.st_mode), info.st_uid)
        if stat.S_ISLNK(info.st_mode):
            entry += (os.readlink(path),)
        elif stat.S_ISREG(info.st_mode):
            digest = hashlib.sha1()
            with open(path, "rb") as f:
                for block in iter(lambda: f.read(1 << 20), b""):
                    digest.update(block)
            entry += (digest.hexdigest(),)
        state[path] = entry
    return state


def tree(folder):
    found = []
    for root, dirs, files in os.walk(folder):
        found += [os.path.join(root, name) for name in dirs + files]
    return set(found)


def message_problem(err, keep, accepted=()):
    """None for a clear message, 'kept' for a kept box text, else what is wrong with it."""
    try:
        decoded = err.decode("utf-8")
    except UnicodeDecodeError:
        return "not UTF-8"
    lines = [line for line in decoded.splitlines()
             if line and not line.startswith(("usage:", " ")) and not line.startswith(SUMMARY_PREFIXES)]
    if not lines:
        return "no message"
    if len(lines) > 1:
        return "%d lines of message" % len(lines)
    message = lines[0]
    if message.startswith("morvane-cli: "):
        message = message[len("morvane-cli: "):]
    if message.strip() in accepted:
        return None
    if message.strip() in BARE_TEXTS or message.strip().rstrip(".") in {t.rstrip(".") for t in BARE_TEXTS}:
        return "kept" if keep and message.strip() in BOX_TEXTS else "bare text"
    if INVISIBLE.search(message):
        return "invisible character"
    for match in QUOTE.finditer(message):
        quoted = match.group(1) if match.group(1) is not None else match.group(2)
        if quoted == "" and (match.group(2) is not None or match.start() == 0):
            return "empty quote"
        if len(quoted) > 201:
            return "quote of %d characters" % len(quoted)
    if len(message) > 600:
        return "message of %d characters" % len(message)
    return None


def high_water_kb(pid, last):
    """VmHWM of a running process, or last when it has none (ended, or not yet started)."""
    try:
        with open("/proc/%d/status" % pid) as f:
            for line in f:
                if line.startswith("VmHWM:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return last


class Feeds:
    """The pipes of one case: its standard input, pipes behind /dev/fd paths
    and FIFOs, each written by a thread of its own while the command runs, so
    that a command that reads a pipe twice, or not to its end, is seen."""

    def __init__(self, feeds, folder):
        self.content, self.mapped, self.pass_fds = {}, {}, []
        self.writers, self.threads, self.done = [], [], threading.Event()
        for key, content in feeds.items():
            if key == "@STDIN@":
                self.content[key] = content
            elif key.startswith("@PIPE:"):
                read_end, write_end = os.pipe()
                self.pass_fds.append(read_end)
                self.mapped[key] = "/dev/fd/%d" % read_end
                self.writers.append((self.write_all, write_end, content))
            elif key.startswith("@FIFO:"):
                name = key[len("@FIFO:"):-1]
                os.mkfifo(os.path.join(folder, name))
                self.mapped[key] = name
                if content is not None:
                    self.writers.append((self.feed_fifo, os.path.join(folder, name), content))

    def paths(self, arg):
        for key, path in self.mapped.items():
            arg = arg.replace(key, path)
        return arg

    def stdin(self):
        return subprocess.PIPE if "@STDIN@" in self.content else subprocess.DEVNULL

    def start(self, process):
        for read_end in self.pass_fds:
            os.close(read_end)  # the child holds its own copy
        writers = list(self.writers)
        if "@STDIN@" in self.content:
            writers.append((self.write_file, process.stdin, self.content["@STDIN@"]))
        for write, target, content in writers:
            thread = threading.Thread(target=write, args=(target, content), daemon=True)
            thread.start()
            self.threads.append(thread)

    def stop(self):
        self.done.set()
        for thread in self.threads:
            thread.join(5)

    @staticmethod
    def write_all(fd, content):
        try:
            view = memoryview(content)
            while view:
                view = view[os.write(fd, view[:1 << 16]):]
        except OSError:
            pass  # the command closed its end
        finally:
            os.close(fd)

    @staticmethod
    def write_file(file, content):
        try:
            file.write(content)
            file.close()
        except OSError:
            pass  # the command closed its end

    def feed_fifo(self, path, content):
        while not self.done.is_set():
            try:
                fd = os.open(path, os.O_WRONLY | os.O_NONBLOCK)
            except OSError:
                time.sleep(0.005)  # nobody reads it yet
                continue
            os.set_blocking(fd, True)
            self.write_all(fd, content)
            return


def run_case(case, cli, root, shared, timeout, number):
    folder = os.path.join(root, "case%04d" % number)
    os.makedirs(folder)
    for name, content in case.files.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(content)
    if case.prepare:
        case.prepare(folder)
    feeds = Feeds(case.feeds, folder)
    args = [feeds.paths(a.replace("@DIR@", folder).replace("@SHARED@", shared)) for a in case.args]
    watched = set(tree(folder)) | {a for a in args if a.startswith(shared + os.sep) or a.startswith(DATA)}
    outputs = {os.path.join(folder, name) for name in case.outputs}
    before = snapshot(watched - outputs)
    out_path, err_path = os.path.join(root, "out%04d" % number), os.path.join(root, "err%04d" % number)
    env = dict(os.environ, ASAN_OPTIONS="detect_leaks=1:abort_on_error=1",
               UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1", LC_ALL="C.UTF-8")

    def child():
        os.setsid()
        if case.user is not None and os.geteuid() == 0:
            os.setgroups([])
            os.setgid(case.user)
            os.setuid(case.user)

    with open(out_path, "wb") as out, open(err_path, "wb") as err:
        started = time.monotonic()
        process = subprocess.Popen([cli] + args, cwd=folder, stdout=out, stderr=err, stdin=feeds.stdin(),
                                   env=env, preexec_fn=child, pass_fds=feeds.pass_fds)
        feeds.start(process)
        status, hung, peak_kb = None, False, 0
        while status is None:
            # The child's own high-water mark: wait4's ru_maxrss would also count
            # this script's memory, which the child had before its exec.
            peak_kb = high_water_kb(process.pid, peak_kb)
            pid, code, _ = os.wait4(process.pid, os.WNOHANG)
            if pid:
                status = code
            elif time.monotonic() - started > timeout:
                os.killpg(process.pid, signal.SIGKILL)
                hung = True
                _, status, _ = os.wait4(process.pid, 0)
            else:
                time.sleep(0.005)
        process.returncode = 0  # reaped here, not by Popen
        feeds.stop()
    with open(out_path, "rb") as f:
        stdout = f.read()
    with open(err_path, "rb") as f:
        stderr = f.read()
    result = {"case": case, "cli": cli, "args": args, "stdout": stdout, "stderr": stderr, "seconds": time.monotonic() - started,
              "rss_mb": peak_kb / 1024}

    def verdict(kind, why):
        result.update(cls=kind, why=why)
        if kind in ("ok", "clear", "kept") and case.check:
            found = case.check(result, folder)
            if found:
                result.update(cls=found[0], why=found[1])
        return result

    if hung:
        return verdict("hang", "still running after %g s" % timeout)
    if os.WIFSIGNALED(status) or any(s.encode() in stderr for s in SANITIZER):
        reason = "signal %d" % os.WTERMSIG(status) if os.WIFSIGNALED(status) else "sanitizer report"
        return verdict("crash", reason)
    code = os.WEXITSTATUS(status)
    result["code"] = code

    after = snapshot(watched - outputs)
    changed = sorted(os.path.relpath(p, folder) for p in before if after.get(p) != before[p])
    if changed:
        return verdict("wrong", "changed an input or protected file: " + ", ".join(changed))
    left = sorted(os.path.relpath(p, folder) for p in tree(folder) - watched - outputs)
    if left:
        return verdict("wrong", "left behind: " + ", ".join(left)[:200])
    # A reader that stops once the file is known too long stays near its start-up
    # memory (under 40 MB with the sanitizers) at any size.
    if case.rss_mb is not None and result["rss_mb"] > 48 + case.rss_mb / 4:
        return verdict("wrong", "peak memory %.0f MB for a file of %.0f MB" % (result["rss_mb"], case.rss_mb))
    if code == 0:
        if case.expect == "fail":
            return verdict("wrong", "exit 0 on a bad input")
        nonsense = NONSENSE.search((stdout + stderr).decode("utf-8", "replace"))
        if nonsense:
            return verdict("kept" if case.keep else "wrong", "printed %r" % nonsense.group(0))
        for name in case.outputs:
            path = os.path.join(folder, name)
            if name.endswith(".png") and os.path.exists(path) and open(path, "rb").read(8) != b"\x89PNG\r\n\x1a\n":
                return verdict("wrong", name + " is not a PNG")
        if {"target.png", "target.csv"} & case.outputs and not any(
                os.path.isfile(os.path.join(folder, name)) for name in ("target.png", "target.csv")):
            return verdict("wrong", "the dangling link's target was not written")
        return verdict("ok", "")
    if code not in (1, 2):
        return verdict("unclear", "exit status %d" % code)
    problem = None if case.in_table else message_problem(stderr, case.keep, case.accepted)
    if case.expect == "ok":
        return verdict("refused", problem or "failed on a good input")
    if problem == "kept":
        return verdict("kept", "")
    if problem:
        return verdict("unclear", problem)
    return verdict("clear", "")


def make_shared(shared, big_mb):
    with open(os.path.join(shared, "rec.csv"), "wb") as f:
        f.write(joined(recording_lines(samples())))
    line = b"1,085511\n"
    for name, head in (("big-cycle.csv", b""), ("big-table.csv", text(TABLE_HEADER)),
                       ("big.morvane", text("Morvane nastavení 1", "[Korekce]"))):
        body = ("Píst 1 - HU=0\n".encode() if name.endswith("morvane") else
                (b"1;0;350;0;180;540;720\n" if "table" in name else line))
        with open(os.path.join(shared, name), "wb") as f:
            f.write(head)
            block = body * ((1 << 20) // len(body))
            for _ in range(big_mb):
                f.write(block)


def shown(args, limit=160):
    words = []
    for word in args:
        if len(word) > 40:
            word = word[:12] + "…(%d characters)" % len(word)
        words.append(word if word and re.fullmatch(r"[\w./,:@=+-]+", word) else "'" + word + "'")
    line = " ".join(words)
    return line if len(line) <= limit else line[:limit] + "…"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("cli", nargs="?", default=os.path.join(REPO, "build-sanitize", "cli", "morvane-cli"),
                        help="the morvane-cli to sweep (default: build-sanitize/cli/morvane-cli)")
    parser.add_argument("--timeout", type=float, default=60, help="seconds per case (default 60)")
    parser.add_argument("--big-mb", type=int, default=64, help="size of the too-long files (default 64)")
    parser.add_argument("--kind", action="append", help="only these kinds (repeatable)")
    parser.add_argument("--keep", action="store_true", help="keep the temporary folder")
    parser.add_argument("--verbose", action="store_true", help="also print every case's verdict as it runs")
    options = parser.parse_args()
    cli = os.path.abspath(options.cli)
    if not os.access(cli, os.X_OK):
        sys.exit("hostile-sweep: %s is not an executable morvane-cli" % cli)

    root = tempfile.mkdtemp(prefix="morvane-sweep-")
    os.chmod(root, 0o755)  # cases run as another user read their own folder
    try:
        shared = os.path.join(root, "shared")
        os.makedirs(shared)
        make_shared(shared, options.big_mb)
        os.chmod(shared, 0o755)
        rows = samples()
        cases = (valves_cases() + combustion_cases(shared) + tdc_cases(shared) + signal_cases(shared, rows, rows)
                 + events_cases(shared) + number_cases() + pipe_cases(shared) + nul_cases(shared)
                 + typed_setup_cases() + table_cases() + trust_cases(shared))
        if options.kind:
            cases = [case for case in cases if case.kind in options.kind]
        results = []
        for number, case in enumerate(cases):
            result = run_case(case, cli, root, shared, options.timeout, number)
            results.append(result)
            if options.verbose:
                print("%-7s %-10s %5.0f MB %5.1f s  %s %s" % (result["cls"], case.kind, result["rss_mb"],
                                                             result["seconds"], case.name[:60], result["why"]),
                      flush=True)
    finally:
        if options.keep:
            print("cases kept in", root)
        else:
            shutil.rmtree(root, ignore_errors=True)

    kinds = []
    for result in results:
        if result["case"].kind not in kinds:
            kinds.append(result["case"].kind)
    print("%-11s %6s" % ("kind", "tried") + "".join("%8s" % c for c in CLASSES))
    for kind in kinds + ["total"]:
        chosen = [r for r in results if kind in ("total", r["case"].kind)]
        print("%-11s %6d" % (kind, len(chosen)) + "".join(
            "%8d" % sum(r["cls"] == c for r in chosen) for c in CLASSES))
    kept = [r for r in results if r["cls"] == "kept"]
    if kept:
        print("\nKept as the window always did (not counted as faults):")
    for r in kept:
        print("- %s: %s %s" % (r["case"].kind, r["case"].name[:70], r["why"]))
    faults = [r for r in results if r["cls"] in FAULTS]
    if faults:
        print("\nCases that are neither clear nor ok:")
    for r in faults:
        err = r["stderr"].decode("utf-8", "replace").strip().splitlines()
        print("- [%s] %s: %s — %s" % (r["cls"], r["case"].kind, r["case"].name[:70], r["why"]))
        print("    morvane-cli " + shown(r["args"]))
        if err:
            last = [line for line in err if not line.startswith(("usage:", " "))][-1:] or err[:1]
            line = last[0] if len(last[0]) <= 240 else last[0][:240] + "…(%d characters)" % len(last[0])
            print("    exit %s: %s" % (r.get("code", "-"), line))
        elif r["stdout"]:
            print("    exit %s, stdout: %s" % (r.get("code", "-"), r["stdout"].decode("utf-8", "replace")
                                             .splitlines()[0][:200]))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
