#!/usr/bin/env bash
# Makes the screenshots in docs/screenshots/ (README, metainfo, help) from the demo: builds, starts
# the simulator with the demo data but without its changing values, so a rerun shows the same,
# prepares demo program folders in a temporary folder (build/demo stays as it is) and runs the
# screenshots tool under Xvfb. The pictures replace the old ones only when all were made.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
build="${QUENDRA_BUILD_DIR:-build}"

# In the build folder: the Webchecker's folder tree shows the folders around the program folder.
work=$(mktemp -d "$build/screenshots.XXXXXX")
. scripts/ovsim.sh
trap 'kill "${ovsim_pid:-}" 2>/dev/null || true; rm -rf "$work"' EXIT
start_ovsim "$build" "$work"

# The demo folder: settings for the simulator, the demo menu and the help beside it. The first
# start's folder has only the help.
mkdir -p "$work/demo" "$work/quendra" "$work/out"
for folder in "$work/demo" "$work/quendra"; do
    cp -r "$build/src/app/help" "$folder/help"
done
cp resources/demo/quendramenu.ini "$work/demo/"
write_demo_settings "$work/demo"

# The tool is not the program file: it is told where the program's plugins lie.
export QUENDRA_BROWSER_PLUGIN="$build/src/app/libquendra_browser.so"
export QUENDRA_MAIL_PLUGIN="$build/src/app/libquendra_mailbox.so"
export QUENDRA_CHART_PLUGIN="$build/src/app/libquendra_chart.so"
shots="$build/tools/screenshots/quendra-screenshots"
run() { xvfb-run -a -s '-ac -screen 0 1280x1024x24' "$shots" --out "$work/out" "$@"; }
run --folder "$work/demo" --server-pid "$ovsim_pid"
run --folder "$work/quendra"

pictures=("$work"/out/*.png)
optipng -quiet -o2 "${pictures[@]}"
mkdir -p docs/screenshots
cp "${pictures[@]}" docs/screenshots/
echo "screenshots: ${#pictures[@]} pictures in docs/screenshots/"
# The help in the build tree shows the pictures the help refers to; new ones need a new configure.
cmake -S . -B "$build" >/dev/null
cmake --build "$build" --target quendra_help_pictures
