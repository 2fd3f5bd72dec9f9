#!/usr/bin/env bash
# Measures one start of Vardak.exe under Wine: the time from process creation to the
# window being shown, and the program's working set once the window is up. Builds
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

display=""
for _ in $(seq 20); do
    candidate=$((200 + RANDOM % 300))
    if [ ! -e "/tmp/.X11-unix/X$candidate" ] && [ ! -e "/tmp/.X$candidate-lock" ]; then
        display=:$candidate
        break
    fi
done
[ -n "$display" ] || { echo "no free X display" >&2; exit 1; }
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true' EXIT
for _ in $(seq 100); do
    xdpyinfo -display "$display" >/dev/null 2>&1 && break
    sleep 0.1
done

export DISPLAY=$display
export VARDAK_E2E_PROGRAMS=$build/app
export VARDAK_E2E_ARTIFACTS=$out
windows_path() { echo "Z:${1//\//\\}"; }
timeout 1800 "$here/wine-run" --prefix "${VARDAK_WINEPREFIX:-$top/build/win32/wineprefix}" \
    "$build/tests/e2e/VardakDriver.exe" --bench "$program" >/dev/null 2>&1 || true

if [ ! -f "$out/bench.txt" ]; then
    echo "no measurement: the window of $program did not appear" >&2
    exit 1
fi
ms=$(sed -n 's/^start-to-window-ms=//p' "$out/bench.txt" | tr -d '\r')
ws=$(sed -n 's/^working-set-kb=//p' "$out/bench.txt" | tr -d '\r')
peak=$(sed -n 's/^peak-working-set-kb=//p' "$out/bench.txt" | tr -d '\r')
echo "$program under Wine: window shown $ms ms after process start; working set $ws KB (peak $peak KB)"
