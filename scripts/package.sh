#!/usr/bin/env bash
# Builds the Debian package: a release build with Debian's hardening flags in build-package/
# (prefix /usr, no tests), `cpack -G DEB`, then lintian on the package. Prints the package's path;
# fails on lintian errors and shows its warnings.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --packages-only dpkg-dev file lintian

build_dir=build-package
# All of Debian's hardening, immediate binding included.
flags() { DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$1"; }
launcher=()
! command -v ccache >/dev/null || launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DQUENDRA_BUILD_TESTS=OFF -DQUENDRA_BUILD_BENCH=OFF "${launcher[@]}" \
    -DCMAKE_CXX_FLAGS="$(flags CPPFLAGS) $(flags CXXFLAGS)" -DCMAKE_EXE_LINKER_FLAGS="$(flags LDFLAGS)" \
    -DCMAKE_MODULE_LINKER_FLAGS="$(flags LDFLAGS)" >/dev/null
cmake --build "$build_dir" -j2
rm -f "$build_dir"/quendra_*.deb
(cd "$build_dir" && cpack -G DEB >/dev/null)

deb=$(realpath "$build_dir"/quendra_*.deb)
echo "package: $deb"
lintian --fail-on error "$deb"
