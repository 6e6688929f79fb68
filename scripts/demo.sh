#!/usr/bin/env bash
# Starts the simulator in demo mode and the program against it. The demo program folder is
# build/demo (portable mode: a "quendra.ini" beside a copy of the program); the menu and the
# settings you change there are kept for the next run, only the simulator's ports are renewed.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${QUENDRA_BUILD_DIR:-build}"
demo="$build/demo"
mkdir -p "$demo"

log="$demo/ovsim.log"
"$build/tools/ovsim/ovsim" --port 0 --web-port 0 --key demo --demo >"$demo/ovsim.out" 2>"$log" &
ovsim_pid=$!
trap 'kill "$ovsim_pid" 2>/dev/null || true' EXIT

ports=""
for _ in $(seq 1 100); do
    ports=$(grep -m1 '^ovsim gateway-port=' "$demo/ovsim.out" 2>/dev/null || true)
    [ -n "$ports" ] && break
    sleep 0.1
done
if [ -z "$ports" ]; then
    echo "demo: the simulator did not start; see $log" >&2
    exit 1
fi
gateway_port=$(sed -E 's/.*gateway-port=([0-9]+).*/\1/' <<<"$ports")
web_port=$(sed -E 's/.*web-port=([0-9]+).*/\1/' <<<"$ports")
echo "demo: simulator on 127.0.0.1, gateway port $gateway_port, web port $web_port (log: $log)"
echo "demo: a page for the Webchecker: host 127.0.0.1:$web_port, page /wetter.html"

cp -f "$build/src/app/quendra" "$demo/quendra"
rm -rf "$demo/help" && cp -r "$build/src/app/help" "$demo/help" 2>/dev/null || true
[ -f "$demo/quendramenu.ini" ] || cp resources/demo/quendramenu.ini "$demo/quendramenu.ini"
ini="$demo/quendra.ini"
if [ ! -f "$ini" ]; then
    printf '[Orvanel]\nIP=127.0.0.1\nPort=%s\nTCPPort=%s\nKey=demo\nPfad=%s/\nBubble=1\n' \
        "$gateway_port" "$web_port" "$(cd "$demo" && pwd)" >"$ini"
else
    sed -i -E "s/^Port=.*/Port=$gateway_port/; s/^TCPPort=.*/TCPPort=$web_port/" "$ini"
fi
chmod 600 "$ini"

cd "$demo"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    ./quendra
else
    echo "demo: no display found; running under Xvfb (invisible). Look at it with:"
    echo "      DISPLAY=:99 import -window root shot.png"
    xvfb-run -n 99 -s '-ac -screen 0 1280x1024x24' ./quendra
fi
