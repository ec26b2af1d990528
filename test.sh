#!/usr/bin/env bash
# Installs what is missing, builds and runs every test through CTest.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/deps.sh
kestrim_install_missing
kestrim_build

export QT_QPA_PLATFORM=offscreen
export QTWEBENGINE_DISABLE_SANDBOX=1
ctest --test-dir build --output-on-failure --parallel "$(nproc 2>/dev/null || echo 2)"
