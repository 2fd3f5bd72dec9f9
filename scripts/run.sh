#!/usr/bin/env bash
# Installs what is missing, builds the Win32 program and starts Vardak under Wine.
# Without a display it starts a private Xvfb server, waits for the window, saves a
# screenshot under build/screenshots and closes the program again.
#   scripts/run.sh [Vardak.exe arguments]
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
cd "$top"

"$here/setup.sh"
"$here/build.sh" >/dev/null
program=$top/build/win32/app/Vardak.exe
export VARDAK_WINEPREFIX=$top/build/win32/wineprefix

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    echo "Starting Vardak on display $DISPLAY"
    exec "$here/wine-run" "$program" "$@"
fi

shots=$top/build/screenshots
mkdir -p "$shots"
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display
cleanup() {
    WINEPREFIX=$VARDAK_WINEPREFIX wineserver -k >/dev/null 2>&1 || true
    kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

echo "No display: starting Vardak on a private Xvfb server ($display)"
"$here/wine-run" "$program" "$@" &
for _ in $(seq 300); do
    if xwininfo -root -tree 2>/dev/null | grep -q '"Vardak"'; then break; fi
    sleep 0.2
done
if ! xwininfo -root -tree 2>/dev/null | grep -q '"Vardak"'; then
    echo "Vardak's window did not appear" >&2
    exit 1
fi
sleep 1
import -window root "$shots/vardak.png"
echo "Vardak is running; screenshot saved to $shots/vardak.png"
