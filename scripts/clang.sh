# shellcheck shell=bash
# Sourced by the scripts that build with clang (fuzzing, sanitizers): installs clang and its
# sanitizer runtime when they are missing. Exit code 2 when they cannot be installed.
need_clang() {
    local packages=(clang libclang-rt-14-dev) missing=() p
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    ((${#missing[@]})) || return 0
    local SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO="sudo"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" || exit 2
}
