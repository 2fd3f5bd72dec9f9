#!/usr/bin/env bash
# Measures one start of Vardak.exe under Wine: the time from process creation to the
# window being shown with its list filled, the program's working set once the window
# is up, the list's rebuild after a click on Detaljer (down, then up) and its copy to
# the clipboard as a document (WM_COPY, once and once more over the first). Builds
# the programs first; uses a private Xvfb server and the shared prefix of build/win32.
#   scripts/bench-startup.sh [PROGRAM.exe]      (default Vardak.exe)
# VARDAK_BUILD_DIR names another Win32 build folder than build/win32.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
cd "$top"
program=${1:-Vardak.exe}

build=${VARDAK_BUILD_DIR:-$top/build/win32}
if [ ! -f "$build/build.ninja" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" \
        -DVARDAK_LIBJPEG_DIR="$top/build/deps/libjpeg-i686" >/dev/null
fi
cmake --build "$build" -j2 --target VardakDriver >/dev/null
out=$build/test-artifacts/bench
mkdir -p "$out"
rm -f "$out/bench.txt"

# shellcheck source=scripts/xvfb.sh
. "$here/xvfb.sh"
prefix=${VARDAK_WINEPREFIX:-$top/build/win32/wineprefix}
"$here/wine-run" --prefix "$prefix" --kill-server
start_xvfb 1280x1024x24
trap stop_xvfb EXIT
export VARDAK_E2E_PROGRAMS=$build/app
export VARDAK_E2E_ARTIFACTS=$out
windows_path() { echo "Z:${1//\//\\}"; }
timeout 1800 "$here/wine-run" --prefix "$prefix" \
    "$build/tests/e2e/VardakDriver.exe" --bench "$program" >/dev/null 2>&1 || true

if [ ! -f "$out/bench.txt" ]; then
    echo "no measurement: the window of $program did not appear" >&2
    exit 1
fi
ms=$(sed -n 's/^start-to-window-ms=//p' "$out/bench.txt" | tr -d '\r')
ws=$(sed -n 's/^working-set-kb=//p' "$out/bench.txt" | tr -d '\r')
peak=$(sed -n 's/^peak-working-set-kb=//p' "$out/bench.txt" | tr -d '\r')
echo "$program under Wine: window shown $ms ms after process start; working set $ws KB (peak $peak KB)"
with=$(sed -n 's/^rebuild-with-details-ms=//p' "$out/bench.txt" | tr -d '\r')
without=$(sed -n 's/^rebuild-without-details-ms=//p' "$out/bench.txt" | tr -d '\r')
if [ -n "$with" ]; then
    echo "list rebuilt after a toggle click: $with ms with the details, $without ms without"
fi
copy=$(sed -n 's/^copy-ms=//p' "$out/bench.txt" | tr -d '\r')
again=$(sed -n 's/^copy-again-ms=//p' "$out/bench.txt" | tr -d '\r')
if [ -n "$copy" ]; then
    echo "list copied as a document: $copy ms, again over the first $again ms"
fi
