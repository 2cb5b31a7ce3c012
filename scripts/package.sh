#!/usr/bin/env bash
# Builds the Debian package (cpack -G DEB) and checks it: lintian finds no
# error and no warning in it, the desktop entry and the AppStream metainfo it
# carries pass their validators, it unpacks into an empty directory tree with
# both programs, the entry, the icon and the metainfo, its changelog names its
# version, and the batch tool runs from there.
#
#   scripts/package.sh [build-dir]    # default build-release (the release preset)
#
# A missing build-release tree is configured with the release preset; any
# other tree is used as it is configured (CI packs its dev tree).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-release}

for tool in cpack dpkg-deb dpkg-shlibdeps appstreamcli desktop-file-validate lintian; do
  if ! command -v "$tool" >/dev/null; then
    echo "package: $tool is missing (scripts/setup.sh installs dpkg-dev, appstream, desktop-file-utils, lintian)" >&2
    exit 2
  fi
done

if [ "$build" = build-release ]; then
  cmake --preset release >/dev/null
elif [ ! -f "$build/CMakeCache.txt" ]; then
  echo "package: $build is not a configured build tree" >&2
  exit 2
fi
targets=(morvane-cli)
if grep -q '^MORVANE_BUILD_APP:BOOL=ON' "$build/CMakeCache.txt"; then
  targets+=(Morvane)
else
  echo "package: $build is configured without the window (MORVANE_BUILD_APP=OFF)" >&2
  exit 2
fi
cmake --build "$build" --target "${targets[@]}" -j"$(nproc)"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
deb=$build/morvane_${version}_$(dpkg --print-architecture).deb
rm -f "$deb"
(cd "$build" && cpack -G DEB >cpack.log 2>&1) || { cat "$build/cpack.log" >&2; exit 1; }
if [ ! -f "$deb" ]; then
  echo "package: cpack did not write $deb" >&2
  exit 1
fi

# Informational tags are not counted: they are hints, not faults.
lintian --fail-on error,warning "$deb" >&2 || { echo "package: lintian finds fault with $deb" >&2; exit 1; }

tree=$(mktemp -d "${TMPDIR:-/tmp}/morvane-package.XXXXXX")
trap 'rm -rf "$tree"' EXIT INT TERM
dpkg-deb -x "$deb" "$tree"

failed=0
for file in usr/bin/Morvane usr/bin/morvane-cli usr/share/applications/morvane.desktop \
  usr/share/icons/hicolor/scalable/apps/morvane.svg usr/share/metainfo/org.morvane.Morvane.metainfo.xml \
  usr/share/doc/morvane/copyright usr/share/doc/morvane/changelog.gz; do
  if [ ! -f "$tree/$file" ]; then
    echo "package: $file is missing from $deb" >&2
    failed=1
  fi
done
[ "$failed" -eq 0 ] || exit 1

desktop-file-validate "$tree/usr/share/applications/morvane.desktop"
appstreamcli validate --no-net --no-color "$tree/usr/share/metainfo/org.morvane.Morvane.metainfo.xml" >/dev/null ||
  { appstreamcli validate --no-net --no-color "$tree/usr/share/metainfo/org.morvane.Morvane.metainfo.xml" >&2; exit 1; }

# A new version needs its entry in packaging/changelog.
logged=$(gzip -dc "$tree/usr/share/doc/morvane/changelog.gz" | sed -n '1s/^morvane (\([^)]*\)).*/\1/p')
if [ "$logged" != "$version" ]; then
  echo "package: packaging/changelog's latest entry is '$logged', the package is $version" >&2
  exit 1
fi

answer=$("$tree/usr/bin/morvane-cli" --version)
if [ "$answer" != "morvane-cli $version" ]; then
  echo "package: the unpacked morvane-cli --version gave '$answer'" >&2
  exit 1
fi
depends=$(dpkg-deb -f "$deb" Depends)
if [ -z "$depends" ]; then
  echo "package: $deb declares no dependencies" >&2
  exit 1
fi
echo "package: $(realpath "$deb") ($(du -k "$deb" | cut -f1) kB), depends on: $depends"
