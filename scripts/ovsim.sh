# shellcheck shell=bash disable=SC2034  # sets variables for the script that sources it
# Sourced by the demo scripts: starts the Orvanel simulator on free loopback ports and writes a
# program folder's settings for it.

# start_ovsim BUILD_DIR LOG_DIR [OVSIM OPTIONS…]: sets ovsim_pid, gateway_port and web_port.
start_ovsim() {
    local build="$1" logs="$2"
    shift 2
    "$build/tools/ovsim/ovsim" --port 0 --web-port 0 --key demo "$@" >"$logs/ovsim.out" 2>"$logs/ovsim.log" &
    ovsim_pid=$!
    local ports=""
    for _ in $(seq 1 100); do
        ports=$(grep -m1 '^ovsim gateway-port=' "$logs/ovsim.out" 2>/dev/null || true)
        [ -n "$ports" ] && break
        sleep 0.1
    done
    if [ -z "$ports" ]; then
        echo "the simulator did not start; see $logs/ovsim.log" >&2
        return 1
    fi
    gateway_port=$(sed -E 's/.*gateway-port=([0-9]+).*/\1/' <<<"$ports")
    web_port=$(sed -E 's/.*web-port=([0-9]+).*/\1/' <<<"$ports")
}

# write_demo_settings FOLDER: a "quendra.ini" in FOLDER for the simulator started above, with the
# folder as configuration folder.
write_demo_settings() {
    local folder
    folder=$(cd "$1" && pwd)
    printf '[Orvanel]\nIP=127.0.0.1\nPort=%s\nTCPPort=%s\nKey=demo\nPfad=%s/\nBubble=1\n' \
        "$gateway_port" "$web_port" "$folder" >"$folder/quendra.ini"
    chmod 600 "$folder/quendra.ini"
}
