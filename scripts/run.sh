#!/usr/bin/env bash
# Installs what is missing, builds KELDRA in Release and starts the program
# quellin on the sample floor plan (or on the arguments given).
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
"$top/scripts/install-deps.sh"
build="${KELDRA_BUILD_DIR:-$top/build/release}"
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKELDRA_TESTS=OFF
cmake --build "$build" --target quellin
if [ $# -eq 0 ]; then
    set -- "$top/samples/grundriss.qld"
fi
# Without a display the window opens off screen.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
fi
exec "$build/src/app/quellin" "$@"
