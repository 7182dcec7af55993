#!/usr/bin/env bash
# Installs what is missing, builds KELDRA with its tests and runs them all with CTest.
# KELDRA_SANITIZE=1 builds and tests with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
"$top/scripts/install-deps.sh"
jobs="$(nproc)"
if [ "${KELDRA_SANITIZE:-0}" = 1 ]; then
    build="${KELDRA_BUILD_DIR:-$top/build/asan}"
    # -O1 with line tables only: the sanitizers find the same faults, reports
    # still name functions and lines, and the build takes half as long as -O2 -g.
    cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELDRA_SANITIZE=ON \
        -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g1"
    # strndup is left to the system: libxkbcommon-x11 (the X11 keyboard setup of Qt's
    # xcb platform) reads a short buffer through it, which ASan would report as ours.
    export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1:intercept_strndup=0"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
    export LSAN_OPTIONS="suppressions=$top/scripts/lsan.supp"
else
    build="${KELDRA_BUILD_DIR:-$top/build/debug}"
    cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKELDRA_BENCH=ON
fi
cmake --build "$build" -j "$jobs"
export QT_QPA_PLATFORM=offscreen
cd "$build"
# Tests that need a real X server run under Xvfb.
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -j "$jobs" --timeout 300
