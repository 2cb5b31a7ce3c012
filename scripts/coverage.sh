#!/usr/bin/env bash
# Line and branch coverage of the core (util/, events/, signal/, timeline/,
# parser/) by the core's own test suites, measured with gcc's --coverage and
# summarised by lcov. The HTML report lands in build-coverage/coverage/.
#
#   scripts/coverage.sh
#
# MORVANE_COVERAGE_BUILD_DIR: the build tree to use (default build-coverage).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=${MORVANE_COVERAGE_BUILD_DIR:-$root/build-coverage}
core_dirs=(util events signal timeline parser)

if ! command -v lcov >/dev/null || ! command -v genhtml >/dev/null; then
  sudo=()
  if [ "$(id -u)" -ne 0 ]; then sudo=(sudo); fi
  echo "Installing: lcov"
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends lcov >/dev/null ||
    { "${sudo[@]}" apt-get update -qq &&
      "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends lcov >/dev/null; }
fi

# The coverage preset: gcov reads only the notes of its own compiler, so the
# build is gcc's, in Debug.
cmake --preset coverage -B "$build" >/dev/null

# Only the core's suites: the batch tool's tests would count as coverage of
# code that no core test checks. A <name>_real_data entry runs <name> again.
targets=()
for dir in "${core_dirs[@]}"; do
  while read -r name; do targets+=("$name"); done < <(
    ctest --test-dir "$build/tests/$dir" -N | sed -n 's/^ *Test *#[0-9]*: *//p' | grep -v '_real_data$')
done
echo "Building ${targets[*]}"
# The second build is a no-op in a quiet tree; when a source changed during
# the first one it relinks the tests, whose counters would otherwise not match
# the recompiled objects' notes.
for pass in 1 2; do
  cmake --build "$build" --target "${targets[@]}" -j"$(nproc)" >/dev/null
done

lcov_rc=(--rc lcov_branch_coverage=1 --rc geninfo_no_exception_branch=1)
# lcov 1.16 under Debian's perl warns of redefined subroutines on every run.
quiet_perl() { "$@" 2> >(grep -v 'redefined at' >&2); }
patterns=()
for dir in "${core_dirs[@]}"; do patterns+=("$root/$dir/*"); done
out=$build/coverage
rm -rf "$out"
mkdir -p "$out"

# The zero baseline keeps a core file that no test reaches in the total.
lcov --quiet "${lcov_rc[@]}" --zerocounters --directory "$build"
quiet_perl lcov --quiet "${lcov_rc[@]}" --capture --initial --directory "$build" --output-file "$out/baseline.info"

failed=0
for dir in "${core_dirs[@]}"; do
  ctest --test-dir "$build/tests/$dir" --output-on-failure || failed=1
done

quiet_perl lcov --quiet "${lcov_rc[@]}" --capture --directory "$build" --output-file "$out/tests.info"
lcov --quiet "${lcov_rc[@]}" --add-tracefile "$out/baseline.info" --add-tracefile "$out/tests.info" \
  --output-file "$out/all.info"
lcov --quiet "${lcov_rc[@]}" --extract "$out/all.info" "${patterns[@]}" --output-file "$out/core.info"
genhtml --quiet "${lcov_rc[@]}" --demangle-cpp --prefix "$root" --title "Morvane core" \
  --output-directory "$out" "$out/core.info"

echo
echo "Coverage of the core (${core_dirs[*]}) by its own tests:"
lcov "${lcov_rc[@]}" --summary "$out/core.info" 2>&1 | grep -E '^ *(lines|functions|branches)'
echo "HTML report: $out/index.html"
if [ "$failed" -ne 0 ]; then
  echo "Some core tests failed: the figures above count only what ran." >&2
  exit 1
fi
