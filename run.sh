#!/usr/bin/env bash
# Installs what is missing, builds what the demo runs (the program with its help, and the
# simulator; ./test.sh builds everything), starts the Orvanel simulator with the demo data on
# loopback and starts Quendra with a demo program folder that points at it.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh quendra ovsim
exec scripts/demo.sh "$@"
