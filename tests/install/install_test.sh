#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR with prefix /usr and checks the result as the desktop
# and a user would see it: the desktop entry and the AppStream data validate cleanly, the installed
# program names a help file inside the DESTDIR, starts from there and ends by itself on SIGTERM, and
# the web checker's browser plugin lies where the program looks for it.
# Usage: install_test.sh <build folder>
set -euo pipefail
build=$(realpath "$1")
work=$(mktemp -d)
pid=""
bus_pid=""
cleanup() {
    [ -z "$pid" ] || kill -KILL "$pid" 2>/dev/null || true
    [ -z "$bus_pid" ] || kill "$bus_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
# Polls a condition (a shell command) every 0.1 s for at most the given seconds.
wait_for() {
    local seconds=$1
    shift
    for ((i = 0; i < seconds * 10; i++)); do
        if "$@"; then return 0; fi
        sleep 0.1
    done
    return 1
}

root="$work/root"
DESTDIR="$root" cmake --install "$build" --prefix /usr >"$work/install.log" || {
    cat "$work/install.log"
    fail "cmake --install"
}
for f in usr/bin/quendra usr/bin/ovsim usr/share/quendra/help/quendra.html usr/share/metainfo/de.quendra.Quendra.metainfo.xml \
    usr/share/icons/hicolor/scalable/apps/de.quendra.Quendra.svg usr/share/icons/hicolor/256x256/apps/de.quendra.Quendra.png \
    usr/share/doc/quendra/copyright usr/share/doc/quendra/changelog.gz usr/share/man/man1/quendra.1.gz \
    usr/share/man/man1/ovsim.1.gz usr/lib/quendra/plugins/libquendra_browser.so \
    usr/lib/quendra/plugins/libquendra_mailbox.so usr/lib/quendra/plugins/libquendra_chart.so; do
    [ -f "$root/$f" ] || fail "not installed: /$f"
done

# The program that starts at login links no browser engine; the checker's browser plugin brings it,
# and everything it needs is there.
! ldd "$root/usr/bin/quendra" | grep -q WebEngine || fail "the installed program links Qt WebEngine"
plugin_libraries=$(ldd "$root/usr/lib/quendra/plugins/libquendra_browser.so")
grep -q WebEngineWidgets <<<"$plugin_libraries" || fail "the browser plugin does not hold the browser engine"
! grep -q 'not found' <<<"$plugin_libraries" || fail "the browser plugin lacks libraries: $plugin_libraries"

# Nor does it link what only the mail poll, the history's chart or a sound needs: their plugins
# (and libcanberra, opened at the first sound) bring them when first used.
program_libraries=$(ldd "$root/usr/bin/quendra")
for library in libvmime libgnutls libQt6Charts libQt6OpenGL libcanberra; do
    ! grep -q "$library" <<<"$program_libraries" || fail "the installed program links $library"
done
for plugin in mailbox:libvmime chart:libQt6Charts; do
    libraries=$(ldd "$root/usr/lib/quendra/plugins/libquendra_${plugin%%:*}.so")
    grep -q "${plugin#*:}" <<<"$libraries" || fail "the ${plugin%%:*} plugin does not hold ${plugin#*:}"
    ! grep -q 'not found' <<<"$libraries" || fail "the ${plugin%%:*} plugin lacks libraries: $libraries"
done

# The help's pictures come along with it.
help_folder="$root/usr/share/quendra/help"
for picture in $(grep -oP 'src="\Kbilder/[^"]+' "$help_folder/quendra.html" | sort -u); do
    [ -f "$help_folder/$picture" ] || fail "the installed help lacks its picture $picture"
done

# The validators print hints freely; errors and warnings are what the desktop would act on.
desktop="$root/usr/share/applications/de.quendra.Quendra.desktop"
report=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $report"
[ -z "$report" ] || echo "$report"
! grep -qE 'error:|warning:' <<<"$report" || fail "desktop-file-validate: $report"
report=$(appstreamcli validate --no-net "$root/usr/share/metainfo/de.quendra.Quendra.metainfo.xml" 2>&1) ||
    fail "appstreamcli validate: $report"
! grep -qE '^[EW]:' <<<"$report" || fail "appstreamcli validate: $report"

program="$root/usr/bin/quendra"
# The newest release entries name the version the program reports.
version=$("$program" --version | head -n1)
version=${version#Quendra }
release=$(grep -m1 -oP '<release version="\K[^"]+' "$root/usr/share/metainfo/de.quendra.Quendra.metainfo.xml")
[ "$release" = "$version" ] || fail "newest metainfo release $release, program $version"
changelog=$(gzip -dc "$root/usr/share/doc/quendra/changelog.gz" | head -n1)
[[ "$changelog" == "quendra ($version) "* ]] || fail "newest changelog entry: $changelog, program $version"
# One licence everywhere: the program, the package's copyright file and the AppStream data.
"$program" --version | grep -q 'GPLv3+' || fail "--version names no licence"
grep -qx 'License: GPL-3+' "$root/usr/share/doc/quendra/copyright" || fail "copyright file names no GPL-3+"
grep -q '<project_license>GPL-3.0-or-later</project_license>' "$root/usr/share/metainfo/de.quendra.Quendra.metainfo.xml" ||
    fail "metainfo names another licence"
help=$("$program" --help | tail -n 1)
help=${help#Hilfe: }
[[ "$help" == "$root/"* && -f "$help" ]] || fail "--help names no help file in the DESTDIR: $help"

# Its first start as a user with autostart ticked: the autostart entry is written once the program
# reads its settings, after its signal handlers are in place.
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" QT_QPA_PLATFORM=offscreen
mkdir -p "$XDG_CONFIG_HOME/quendra"
# A session bus of its own: on the desktop's, a Quendra running there would take this start's place.
bus=$(dbus-daemon --session --fork --print-address=1 --print-pid=1) || fail "dbus-daemon did not start"
bus_pid=$(sed -n 2p <<<"$bus")
DBUS_SESSION_BUS_ADDRESS=$(sed -n 1p <<<"$bus")
export DBUS_SESSION_BUS_ADDRESS
printf '[Orvanel]\r\nAuto=1\r\n' >"$XDG_CONFIG_HOME/quendra/quendra.ini"
"$program" >"$work/program.log" 2>&1 &
pid=$!
autostart="$XDG_CONFIG_HOME/autostart/quendra.desktop"
wait_for 60 test -f "$autostart" || {
    cat "$work/program.log"
    fail "the installed program did not come up"
}
# Installed, the autostart entry starts the program as the menu entry does.
grep -qx 'Exec=quendra' "$autostart" || fail "autostart entry: $(cat "$autostart")"

kill -TERM "$pid"
ended() { ! kill -0 "$pid" 2>/dev/null; } # bash reaps its child and keeps the exit code for wait
wait_for 20 ended || fail "the program did not end within 20 s of SIGTERM"
code=0
wait "$pid" || code=$?
pid=""
[ "$code" -eq 0 ] || {
    cat "$work/program.log"
    fail "the program ended with code $code on SIGTERM"
}
echo "installed program validated, started and ended cleanly"
