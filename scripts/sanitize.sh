#!/usr/bin/env bash
# Builds everything (core, window, batch tool, tests) with clang-14,
# AddressSanitizer and UndefinedBehaviorSanitizer (the sanitize preset,
# build-sanitize) and runs every test there: the second compiler beside the
# plain build's gcc, so code only one of them accepts, or only one of them
# warns about, does not pass. Any finding (memory error, undefined behaviour,
# leak) aborts the test that met it, so the script fails.
#
#   scripts/sanitize.sh
#
# MORVANE_WERROR=ON also makes every compiler warning an error (CI).
# MORVANE_SANITIZE_WINDOW=OFF leaves out the window and its tests (its Qt code
# is about a third of this build's time); the core and the batch tool are
# always checked. CI checks the window too.
# The preset keeps line tables only (-g1): enough for the findings' stack
# traces, and quicker to build.
set -euo pipefail
cd "$(dirname "$0")/.."

MORVANE_PRESET=sanitize MORVANE_CMAKE_ARGS="-DMORVANE_WERROR=${MORVANE_WERROR:-OFF} -DMORVANE_BUILD_APP=${MORVANE_SANITIZE_WINDOW:-ON}" scripts/setup.sh
# The preset's test settings: the sanitizer options and the offscreen window.
ctest --preset sanitize -j"$(nproc)"
