#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless. Exit code = the tests'.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
export QT_QPA_PLATFORM=offscreen
cd "${QUENDRA_BUILD_DIR:-build}"
ctest --output-on-failure -j2 --timeout 900
