#!/usr/bin/env bash
# Installs what is missing, builds KELDRA in Release and starts it on a sample drawing.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
"$top/scripts/install-deps.sh"
build="${KELDRA_BUILD_DIR:-$top/build/release}"
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKELDRA_TESTS=OFF
cmake --build "$build" --target quellin
QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}" exec "$build/src/app/quellin" "$@"
