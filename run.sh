#!/usr/bin/env bash
# Installs what is missing, builds and starts Kestrim.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/deps.sh
kestrim_install_missing
kestrim_build

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting Kestrim under a virtual display (Xvfb :99)."
  Xvfb :99 -screen 0 1280x900x24 >/dev/null 2>&1 &
  xvfb_pid=$!
  trap 'kill $xvfb_pid 2>/dev/null || true' EXIT
  export DISPLAY=:99
  sleep 1
fi
[ "$(id -u)" -eq 0 ] && export QTWEBENGINE_DISABLE_SANDBOX=1
./build/bin/kestrim "$@"
