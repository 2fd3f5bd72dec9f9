#!/usr/bin/env bash
# Measures opening the overview window on this machine under Wine, beside an empty
# window of the same size: making the window and its controls, the refresh of every
# probe, the fill of every page and the first paint (medians of several runs). Builds
# the benchmark first; uses a private Xvfb server and the shared prefix of build/win32.
#   scripts/bench-overview-window.sh
# VARDAK_BUILD_DIR names another Win32 build folder than build/win32.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
cd "$top"

build=${VARDAK_BUILD_DIR:-$top/build/win32}
if [ ! -f "$build/build.ninja" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" \
        -DVARDAK_LIBJPEG_DIR="$top/build/deps/libjpeg-i686" >/dev/null
fi
cmake --build "$build" -j2 --target vardak_overview_window_bench >/dev/null

# shellcheck source=scripts/xvfb.sh
. "$here/xvfb.sh"
prefix=${VARDAK_WINEPREFIX:-$top/build/win32/wineprefix}
"$here/wine-run" --prefix "$prefix" --kill-server
start_xvfb 1280x1024x24
trap stop_xvfb EXIT
timeout 1800 "$here/wine-run" --prefix "$prefix" "$build/tests/bench/vardak_overview_window_bench.exe" 2>/dev/null |
    tr -d '\r'
