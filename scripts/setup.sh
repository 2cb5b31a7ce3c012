#!/usr/bin/env bash
# Installs the Debian packages Morvane needs (only those missing), then
# configures and builds. run.sh and test.sh both start here.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  build-essential cmake pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev libgl-dev qt6-qpa-plugins
  # the window icon is an SVG; Qt's own dialogs and buttons speak Czech
  libqt6svg6 qt6-translations-l10n
  # the analysis plots; pdftotext reads the report back in the tests
  libqcustomplot-dev poppler-utils
  # the number parse of the recordings and signal files
  libfast-float-dev
  fontconfig fonts-dejavu-core fonts-wine zlib1g-dev
  # MATLAB recordings; the compressed blocks of MDF recordings inflated whole
  libmatio-dev libdeflate-dev
  xvfb xauth
  # the second compiler, libFuzzer and symbolized sanitizer reports (scripts/sanitize.sh, scripts/fuzz.sh)
  clang-14 libclang-rt-14-dev llvm-14
  # the format and tidy checks (scripts/check-format.sh, scripts/check-tidy.sh)
  clang-format-14 clang-tidy-14
  # the Debian package and its checks (scripts/package.sh)
  dpkg-dev appstream desktop-file-utils lintian
  # the batch tool's recipe across hosts, run locally by the tests
  parallel
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  sudo=()
  if [ "$(id -u)" -ne 0 ]; then sudo=(sudo); fi
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# A preset (CMakePresets.json) sets its options on every call, so that a tree
# cannot silently lose them; MORVANE_CMAKE_ARGS adds to them, MORVANE_TARGETS
# builds only the targets named (default: all).
if [ -n "${MORVANE_PRESET:-}" ]; then
  # shellcheck disable=SC2086
  cmake --preset "$MORVANE_PRESET" ${MORVANE_CMAKE_ARGS:-} >/dev/null
  # shellcheck disable=SC2086 # the target names are words
  cmake --build --preset "$MORVANE_PRESET" -j"$(nproc)" ${MORVANE_TARGETS:+--target $MORVANE_TARGETS}
  exit 0
fi

build_dir=${MORVANE_BUILD_DIR:-build}
# Every warning is an error here, as in the dev preset, so a new one cannot
# slip in; MORVANE_WERROR=OFF for a compiler that warns where ours do not.
werror=${MORVANE_WERROR:-ON}
if [ ! -f "$build_dir/CMakeCache.txt" ] || ! grep -qx "MORVANE_WERROR:BOOL=$werror" "$build_dir/CMakeCache.txt"; then
  # The same settings as the dev preset.
  # shellcheck disable=SC2086
  cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_EXPORT_COMPILE_COMMANDS=ON \
    -DMORVANE_WERROR="$werror" ${MORVANE_CMAKE_ARGS:-}
fi
cmake --build "$build_dir" -j"$(nproc)"
