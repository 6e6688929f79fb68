#!/usr/bin/env bash
# Installs what is missing, builds, starts the Orvanel simulator with the demo data on loopback
# and starts Quendra with a demo program folder that points at it.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
exec scripts/demo.sh "$@"
