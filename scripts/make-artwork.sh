#!/usr/bin/env bash
# Builds the artwork generator and redraws every compiled-in image and icon into resources/
# and icons/. Pass a file name to also write a contact sheet of all images for review.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="${MARLOWIN_BUILD_DIR:-$root/build}"

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE="${MARLOWIN_BUILD_TYPE:-RelWithDebInfo}"
fi
cmake --build "$build" --target artwork --parallel 2

sheet=()
if [ $# -gt 0 ]; then
    sheet=(--sheet "$1")
fi
QT_QPA_PLATFORM=offscreen "$build/tools/artwork/artwork" "$root" "${sheet[@]}"
