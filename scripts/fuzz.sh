#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer and runs each for the given seconds (default
# 30), starting from a copy of its seed corpus. Prints executions and findings per target; crash
# inputs stay in the target's work folder. Exit code 1 when any target found something.
#   scripts/fuzz.sh [seconds] [target...]
set -uo pipefail
cd "$(dirname "$0")/.." || exit 2
seconds="${1:-30}"
shift || true

. scripts/clang.sh
need_clang

build_dir="${QUENDRA_FUZZ_BUILD_DIR:-build-fuzz}"
if [ ! -f "$build_dir/build.ninja" ]; then
    cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
        -DQUENDRA_BUILD_FUZZ=ON -DQUENDRA_BUILD_TESTS=OFF || exit 2
fi

targets=("$@")
if ((${#targets[@]} == 0)); then
    for corpus in fuzz/corpus/*/; do
        targets+=("$(basename "$corpus")")
    done
fi
cmake --build "$build_dir" -j2 --target "${targets[@]/#/fuzz_}" || exit 2

work="$(mktemp -d "${TMPDIR:-/tmp}/quendra-fuzz.XXXXXX")"
found=0
fuzz_tmp="${TMPDIR:-/tmp}"
[ -d /dev/shm ] && [ -w /dev/shm ] && fuzz_tmp=/dev/shm
printf '%-16s %14s  %s\n' target executions findings
for t in "${targets[@]}"; do
    mkdir -p "$work/$t/corpus" "$work/$t/artifacts"
    cp fuzz/corpus/"$t"/* "$work/$t/corpus/"
    # The longest input defaults to the longest seed (at least 4 KiB), so the line splitter's
    # 64 KiB seeds let it reach the line cap.
    # The file targets save twice per input; a memory file system keeps that fast.
    TMPDIR="$fuzz_tmp" "$build_dir/fuzz/fuzz_$t" "$work/$t/corpus" -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$work/$t/artifacts/" >"$work/$t/log" 2>&1
    runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/$t/log" | tail -1)"
    findings="$(find "$work/$t/artifacts" -type f | wc -l)"
    if ((findings > 0)); then
        found=1
        detail="$(find "$work/$t/artifacts" -type f | head -3 | tr '\n' ' ')"
    else
        detail=""
    fi
    printf '%-16s %14s  %s %s\n' "$t" "${runs:-?}" "$findings" "$detail"
done
echo "logs and findings: $work"
exit "$found"
