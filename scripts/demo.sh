#!/usr/bin/env bash
# Starts the simulator in demo mode and the program against it. The demo program folder is
# build/demo (portable mode: a "quendra.ini" beside a copy of the program); the menu and the
# settings you change there are kept for the next run, only the simulator's ports are renewed.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${QUENDRA_BUILD_DIR:-build}"
demo="$build/demo"
mkdir -p "$demo"

. scripts/ovsim.sh
trap 'kill "${ovsim_pid:-}" 2>/dev/null || true' EXIT
start_ovsim "$build" "$demo" --demo
log="$demo/ovsim.log"
echo "demo: simulator on 127.0.0.1, gateway port $gateway_port, web port $web_port (log: $log)"
echo "demo: a page for the Webchecker: host 127.0.0.1:$web_port, page /wetter.html"

cp -f "$build/src/app/quendra" "$build/src/app/libquendra_browser.so" "$demo/"
rm -rf "$demo/help" && cp -r "$build/src/app/help" "$demo/help" 2>/dev/null || true
[ -f "$demo/quendramenu.ini" ] || cp resources/demo/quendramenu.ini "$demo/quendramenu.ini"
ini="$demo/quendra.ini"
if [ ! -f "$ini" ]; then
    write_demo_settings "$demo"
else
    sed -i -E "s/^Port=.*/Port=$gateway_port/; s/^TCPPort=.*/TCPPort=$web_port/" "$ini"
    chmod 600 "$ini"
fi

cd "$demo"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    ./quendra
else
    echo "demo: no display found; running under Xvfb (invisible). Look at it with:"
    echo "      DISPLAY=:99 import -window root shot.png"
    xvfb-run -n 99 -s '-ac -screen 0 1280x1024x24' ./quendra
fi
