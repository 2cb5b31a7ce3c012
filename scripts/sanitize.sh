#!/usr/bin/env bash
# Builds everything (core, window, batch tool, tests) with AddressSanitizer and
# UndefinedBehaviorSanitizer in build-sanitize and runs every test there. Any
# finding (memory error, undefined behaviour, leak) aborts the test that met it,
# so the script fails.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=build-sanitize
cmake_args="-DMORVANE_SANITIZE=ON -DMORVANE_BUILD_TESTS=ON -DMORVANE_BUILD_BENCH=OFF -DMORVANE_BUILD_APP=ON"

# setup.sh configures only a fresh build directory; an existing one gets the
# options here again so that it cannot silently lose the sanitizers.
if [ -f "$build_dir/CMakeCache.txt" ]; then
  # shellcheck disable=SC2086
  cmake -S . -B "$build_dir" $cmake_args >/dev/null
fi
MORVANE_BUILD_DIR=$build_dir MORVANE_CMAKE_ARGS=$cmake_args scripts/setup.sh

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1
export UBSAN_OPTIONS=halt_on_error=1:abort_on_error=1:print_stacktrace=1
ctest --test-dir "$build_dir" --output-on-failure -j"$(nproc)"
