#!/usr/bin/env bash
# The checks of .clang-tidy (the house naming rule, bugprone-*, performance-*,
# the length of a function) over every C++ source of a configured build tree
# and the project headers they include. Prints each finding once and fails
# when there is any.
#
#   scripts/check-tidy.sh [build-dir [folder ...]]
#
# build-dir defaults to build (the dev preset); the folders (default: every
# source folder, tests included) narrow the sources checked, as CI does to keep
# its time: the tests' sources are the slowest to check and ship nothing.
#
# The build tree needs compile_commands.json (every preset writes one) and, for
# the window's tests, its generated moc files: the script configures a missing
# tree with the dev preset and builds only the code generators.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=${1:-build}
shift $(( $# > 0 ? 1 : 0 ))
folders=("$@")
if [ ${#folders[@]} -eq 0 ]; then
  folders=(util events signal timeline parser app cli tests bench fuzz)
fi
pattern=$(IFS='|'; echo "${folders[*]}")

clang_tidy=${CLANG_TIDY:-clang-tidy-14}
if ! command -v "$clang_tidy" >/dev/null; then
  echo "check-tidy: $clang_tidy is missing (Debian: apt-get install clang-tidy-14)" >&2
  exit 2
fi
if [ ! -f "$build/compile_commands.json" ]; then
  cmake -S "$root" -B "$build" -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
fi
# Only the moc and uic steps: the sources that include a .moc file need it.
mapfile -t generators < <(cmake --build "$build" --target help | sed -n 's/^\.\.\. \(.*_autogen\)$/\1/p')
if [ ${#generators[@]} -gt 0 ]; then
  cmake --build "$build" --target "${generators[@]}" >/dev/null
fi

# The project's own translation units, not the generated ones in the build tree.
mapfile -t sources < <(sed -n 's/^ *"file": "\(.*\)",\{0,1\}$/\1/p' "$build/compile_commands.json" |
  grep -E "^$root/($pattern)/" | sort -u)
if [ ${#sources[@]} -eq 0 ]; then
  echo "check-tidy: no project sources in $build/compile_commands.json" >&2
  exit 2
fi

out=$(mktemp "${TMPDIR:-/tmp}/morvane-tidy.XXXXXX")
trap 'rm -f "$out"' EXIT INT TERM
printf '%s\n' "${sources[@]}" |
  xargs -P "$(nproc)" -n 4 "$clang_tidy" -p "$build" --quiet 2>/dev/null >"$out" || true

# A header included by several sources is reported once per source.
findings=$(grep -E 'warning: .*\[[a-z0-9.-]+(,[a-z0-9.-]+)*\]$' "$out" | sed "s|^$root/||" | sort -u || true)
errors=$(grep -E ': error: ' "$out" | sort -u || true)
if [ -n "$errors" ]; then
  echo "$errors" >&2
  echo "check-tidy: clang-tidy could not read every source" >&2
fi
if [ -n "$findings" ]; then
  echo "$findings"
  echo "tidy: $(echo "$findings" | wc -l) findings of the checks in .clang-tidy" >&2
  exit 1
fi
if [ -n "$errors" ]; then
  exit 2
fi
echo "tidy: ${#sources[@]} sources pass every check in .clang-tidy"
