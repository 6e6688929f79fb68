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

# print_webchecker_steps FOLDER: the Webchecker's whole flow on the simulator's weather page, step by
# step, with the simulator's web port and the files the program writes into its folder FOLDER.
print_webchecker_steps() {
    local folder host="127.0.0.1:$web_port"
    folder=$(cd "$1" && pwd)
    cat <<STEPS
demo: the Webchecker on the simulator's weather page http://$host/wetter.html:
  1. Menu bar "Webchecker", tab "Daten": press "Neu".
  2. "Bezeichnung:" Wetter, "IP/Host-Adresse:" $host (taken apart into 127.0.0.1 and "Port:" $web_port),
     "Pfad/Webseite:" /wetter.html.
  3. "Website laden": the tab "Browser - Wetter" shows the page.
  4. "Analyse starten": the list shows the page's values, the status "Fertig!".
  5. Tick "21,5 °C": on the tab "Neu" choose "Typ:" EIS5_16BIT, type "Bez.:" Temperatur, press
     "Erstellen", then "OK".
  6. "Speichern" on "Daten": the project is $folder/Wetter-127.0.0.1_$web_port-qnd.ovw
  7. Choose it under "Gespeicherte Projekte" and press "Export": "Fertig!", and the import file is
     $folder/Wetter-qnd.htip
  8. Tab "Webabfragen prüfen": choose Wetter-qnd.htip in the program folder, press "prüfen": the row
     "Temperatur" shows "21,5 " (the five characters the server finds there), the status
     "Fertig! 2 Suchtexte, davon 0 nicht gefunden (FEHLER)."
STEPS
}
trap 'kill "${ovsim_pid:-}" 2>/dev/null || true' EXIT
start_ovsim "$build" "$demo" --demo
log="$demo/ovsim.log"
echo "demo: simulator on 127.0.0.1, gateway port $gateway_port, web port $web_port (log: $log)"
print_webchecker_steps "$demo"

cp -f "$build/src/app/quendra" "$build/src/app"/libquendra_{browser,mailbox,chart}.so "$demo/"
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
