#!/usr/bin/env bash
# Installs what is missing, builds and starts Morvane.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
program=${MORVANE_BUILD_DIR:-build}/app/Morvane
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting Morvane on a virtual X screen (xvfb-run)."
  exec xvfb-run -a -s '-screen 0 1280x800x24' "$program" "$@"
fi
exec "$program" "$@"
