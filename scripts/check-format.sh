#!/usr/bin/env bash
# Fails when any tracked C++ file differs from what clang-format 14 makes of it
# with the repository's .clang-format, and names each such file.
#
#   scripts/check-format.sh          # check
#   scripts/check-format.sh --fix    # reformat those files in place
set -euo pipefail
cd "$(dirname "$0")/.."

clang_format=${CLANG_FORMAT:-clang-format-14}
if ! command -v "$clang_format" >/dev/null; then
  echo "check-format: $clang_format is missing (Debian: apt-get install clang-format-14)" >&2
  exit 2
fi

mapfile -t files < <(git ls-files -- '*.cpp' '*.h' '*.hpp' '*.cc')
if [ "${1:-}" = --fix ]; then
  "$clang_format" -i "${files[@]}"
  exit 0
fi

bad=()
for file in "${files[@]}"; do
  if ! "$clang_format" --dry-run --Werror "$file" 2>/dev/null; then
    bad+=("$file")
  fi
done
if [ ${#bad[@]} -gt 0 ]; then
  echo "Not formatted as .clang-format says (scripts/check-format.sh --fix, or clang-format-14 -i FILE):" >&2
  printf '  %s\n' "${bad[@]}" >&2
  exit 1
fi
echo "format: ${#files[@]} files clean"
