#!/usr/bin/env bash
# Checks the mail header code for memory errors on hostile headers (invalid address domains among
# them): builds the header replay with clang and AddressSanitizer plus UndefinedBehaviorSanitizer
# and runs it over the seeds in fuzz/corpus/mail_header. VMime itself is a system library the
# sanitizers cannot see into, so where valgrind is installed the same seeds also run under
# valgrind's memcheck, with the normal compiler. Exit code 1 when either finds an error.
#   scripts/sanitize.sh
set -uo pipefail
cd "$(dirname "$0")/.." || exit 2

. scripts/clang.sh
need_clang

seeds=fuzz/corpus/mail_header
target=replay_mail_header
build_dir="${QUENDRA_SANITIZE_BUILD_DIR:-build-sanitize}"
sanitizers="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
if [ ! -f "$build_dir/build.ninja" ]; then
    cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
        -DCMAKE_CXX_FLAGS="$sanitizers" -DCMAKE_EXE_LINKER_FLAGS="$sanitizers" -DQUENDRA_BUILD_TESTS=ON || exit 2
fi
cmake --build "$build_dir" -j2 --target "$target" || exit 2

found=0
echo "== AddressSanitizer and UndefinedBehaviorSanitizer: $seeds"
if ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
    QT_QPA_PLATFORM=offscreen "$build_dir/fuzz/$target" "$seeds"; then
    echo "clean"
else
    echo "FOUND ERRORS"
    found=1
fi

if command -v valgrind >/dev/null; then
    plain_dir="$build_dir-valgrind"
    if [ ! -f "$plain_dir/build.ninja" ]; then
        cmake -S . -B "$plain_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUENDRA_BUILD_TESTS=ON || exit 2
    fi
    cmake --build "$plain_dir" -j2 --target "$target" || exit 2
    echo "== valgrind memcheck (inside VMime too): $seeds"
    if QT_QPA_PLATFORM=offscreen valgrind -q --error-exitcode=1 --leak-check=no --track-origins=yes \
        "$plain_dir/fuzz/$target" "$seeds"; then
        echo "clean"
    else
        echo "FOUND ERRORS"
        found=1
    fi
else
    echo "== valgrind is not installed: VMime's own reads are not checked"
fi
exit "$found"
