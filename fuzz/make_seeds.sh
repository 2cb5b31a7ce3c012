#!/usr/bin/env bash
# Writes synthetic measurement files as fuzz seeds into OUTDIR/<target>/: a
# crank-angle file (toothed-wheel trigger with noisy flat tops and one double
# tooth per revolution, cylinder pressure in the exponent form with the decimal
# comma, CR LF line ends), a time file of pressures (LF), their heads for the
# line splitter, single values for the number parser, and a fired pressure
# cycle in both cycle-file forms. The shapes are made
# up here, so the seeds carry no recorded data; the same call always writes the
# same bytes.
#
#   fuzz/make_seeds.sh OUTDIR
set -euo pipefail
if [ $# -ne 1 ]; then
  echo "usage: fuzz/make_seeds.sh OUTDIR" >&2
  exit 2
fi
out=$1
mkdir -p "$out/import_fuzz" "$out/textlines_fuzz" "$out/numtext_fuzz" "$out/combustion_fuzz"

# columns: angle file row (trigger;pressure), time file row (pressure).
awk -v samples=700 -v angle="$out/import_fuzz/synthetic-angle" -v time="$out/import_fuzz/synthetic-time" '
  # "3,423876E+0": six decimals, comma, the exponent without leading zeros.
  function number(x,    text, at, mantissa, exponent) {
    text = sprintf("%.6E", x)
    at = index(text, "E")
    mantissa = substr(text, 1, at - 1)
    exponent = substr(text, at + 1) + 0
    sub(/\./, ",", mantissa)
    return mantissa "E" (exponent < 0 ? "-" : "+") (exponent < 0 ? -exponent : exponent)
  }
  # A fixed linear congruential sequence in -0.5 .. 0.5: the same noise on every run.
  function noise() {
    state = (state * 1103515245 + 12345) % 2147483648
    return state / 2147483648 - 0.5
  }
  BEGIN {
    state = 20261207
    pi = atan2(0, -1)
    teeth = 30          # per revolution, one of them doubled
    per_tooth = 10      # samples
    revolution = teeth * per_tooth
    printf "Snímač otáček [V];Tlak ve válci [V]\r\n" > angle
    for (i = 0; i < samples; ++i) {
      phase = i % per_tooth
      tooth = int((i % revolution) / per_tooth)
      high = phase < per_tooth / 2 || (tooth == 0 && phase >= per_tooth / 2 + 2)
      trigger = (high ? 3.4 : 0.2) + 0.15 * noise()
      # One compression peak per two revolutions over a slow baseline.
      cycle = (i % (2 * revolution)) / (2 * revolution)
      pressure = 1.9 + 2.5 * exp(-((cycle - 0.5) * 9) ^ 2) + 0.02 * noise()
      if (i % 97 == 0) pressure = -pressure / 3
      printf "%s;%s\r\n", number(trigger), number(pressure) > angle
      if (i < 500) printf "%s\n", number(pressure) > time
    }
  }'

head -c 2000 "$out/import_fuzz/synthetic-angle" >"$out/textlines_fuzz/synthetic-angle-head"
head -c 1000 "$out/import_fuzz/synthetic-time" >"$out/textlines_fuzz/synthetic-time-head"
sed -n '2{s/;.*//;s/\r//;p;q}' "$out/import_fuzz/synthetic-angle" | tr -d '\n' >"$out/numtext_fuzz/synthetic-positive"
grep -m1 '^-' "$out/import_fuzz/synthetic-time" | tr -d '\n' >"$out/numtext_fuzz/synthetic-negative"

# A fired cycle on the 1441 half-degree points: compression and expansion of a
# made-up polytrope with a burn peak after the firing top dead centre.
awk -v plain="$out/combustion_fuzz/synthetic-cycle" -v angles="$out/combustion_fuzz/synthetic-cycle-angles" '
  BEGIN {
    pi = atan2(0, -1)
    printf "Úhel [°];Tlak [bar]\r\n" > angles
    for (k = 0; k <= 1440; ++k) {
      angle = k / 2
      volume = 1 + 10 * (1 - cos((angle - 360) * pi / 180)) / 2
      pressure = 1 + 60 / volume ^ 1.3 + 40 * exp(-((angle - 372) / 12) ^ 2)
      text = sprintf("%.6f", pressure)
      sub(/\./, ",", text)
      printf "%s\n", text > plain
      printf "%s;%s\r\n", (angle == int(angle) ? angle : int(angle) ",5"), text > angles
    }
  }'
