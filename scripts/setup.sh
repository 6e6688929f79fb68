#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need (only the missing ones;
# a machine that has them all runs no apt at all), then configures and builds into build/.
# `setup.sh [target…]` builds only the given CMake targets and what they need (run.sh: the program
# and the simulator); without targets it builds everything, the tests included.
# `setup.sh --packages-only [more packages…]` installs those and the given ones, and stops there.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqt6svg6 qt6-qpa-plugins
    libgl1-mesa-dev libxkbcommon-dev
    qt6-translations-l10n dbus-daemon
    libcanberra-dev sound-theme-freedesktop
    qt6-webengine-dev libqt6webenginecore6-bin
    xvfb xauth optipng
    libvmime-dev dovecot-pop3d openssl
    libqt6sql6-sqlite libsqlite3-dev qt6-charts-dev
    desktop-file-utils appstream
)
packages_only=false
targets=()
if [ "${1:-}" = --packages-only ]; then
    packages_only=true
    shift
    packages+=("$@")
else
    targets=("$@")
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
if ((${#missing[@]})); then
    echo "setup: installing ${missing[*]}"
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO="sudo"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
! $packages_only || exit 0

build_dir="${QUENDRA_BUILD_DIR:-build}"
if [ ! -f "$build_dir/build.ninja" ]; then
    cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build_dir" -j2 ${targets[@]+--target "${targets[@]}"}
