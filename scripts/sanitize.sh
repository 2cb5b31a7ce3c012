#!/usr/bin/env bash
# Builds everything (core, window, batch tool, tests) with AddressSanitizer and
# UndefinedBehaviorSanitizer (the sanitize preset, build-sanitize) and runs
# every test there. Any finding (memory error, undefined behaviour, leak)
# aborts the test that met it, so the script fails.
#
#   scripts/sanitize.sh
#
# MORVANE_WERROR=ON also makes every compiler warning an error (CI).
# MORVANE_SANITIZE_WINDOW=OFF leaves out the window and its tests (CI: the
# window's tests run in the plain build, and its Qt code takes a third of this
# build's time); the core and the batch tool are always checked.
# The preset keeps line tables only (-g1): enough for the findings' stack
# traces, and quicker to build.
set -euo pipefail
cd "$(dirname "$0")/.."

MORVANE_PRESET=sanitize MORVANE_CMAKE_ARGS="-DMORVANE_WERROR=${MORVANE_WERROR:-OFF} -DMORVANE_BUILD_APP=${MORVANE_SANITIZE_WINDOW:-ON}" scripts/setup.sh
# The preset's test settings: the sanitizer options and the offscreen window.
ctest --preset sanitize -j"$(nproc)"
