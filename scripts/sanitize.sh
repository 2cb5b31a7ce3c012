#!/usr/bin/env bash
# Builds everything (core, window, batch tool, tests) with AddressSanitizer and
# UndefinedBehaviorSanitizer (the sanitize preset, build-sanitize) and runs
# every test there. Any finding (memory error, undefined behaviour, leak)
# aborts the test that met it, so the script fails.
#
#   scripts/sanitize.sh
#
# MORVANE_WERROR=ON also makes every compiler warning an error (CI).
set -euo pipefail
cd "$(dirname "$0")/.."

MORVANE_PRESET=sanitize MORVANE_CMAKE_ARGS="-DMORVANE_WERROR=${MORVANE_WERROR:-OFF}" scripts/setup.sh
# The preset's test settings: the sanitizer options and the offscreen window.
ctest --preset sanitize -j"$(nproc)"
