#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time
# over a scratch copy of its seed corpus. Usage: scripts/fuzz.sh [SECONDS]
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-30}"
"$top/scripts/install-deps.sh"
build="${KELDRA_BUILD_DIR:-$top/build/fuzz}"
CC=clang-14 CXX=clang++-14 cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g1" \
    -DKELDRA_FUZZ=ON -DKELDRA_TESTS=OFF
cmake --build "$build" --target fuzz_all -j "$(nproc)"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export LSAN_OPTIONS="suppressions=$top/scripts/lsan.supp"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
status=0
for seeds in "$top"/fuzz/corpus/*/; do
    name="$(basename "$seeds")"
    scratch="$(mktemp -d)"
    artifacts="$build/fuzz-artifacts/$name"
    mkdir -p "$artifacts"
    echo "== fuzz_$name for ${seconds}s"
    if ! "$build/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$artifacts/" -print_final_stats=1 "$scratch" "$seeds"; then
        echo "fuzz_$name found a failure; the input is in $artifacts"
        for crash in "$artifacts"/*; do [ -f "$crash" ] && od -A x -t x1z "$crash" | head -40; done
        status=1
    fi
    rm -rf "$scratch"
done
exit $status
