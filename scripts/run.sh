#!/usr/bin/env bash
# Installs what is missing, builds the programs (not the tests) and starts Vardak
# under Wine. Without a display it starts a private Xvfb server, waits for the
# window, saves a screenshot under build/screenshots and closes the program again.
#   scripts/run.sh [Vardak.exe arguments]
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
cd "$top"

"$here/setup.sh"
echo "Building Vardak.exe and VardakReport.exe (a few minutes the first time)"
mkdir -p build
if ! "$here/build.sh" Vardak VardakReport >build/run-build.log 2>&1; then
    tail -n 40 build/run-build.log >&2
    echo "The build failed; its whole output is in build/run-build.log" >&2
    exit 1
fi
program=$top/build/win32/app/Vardak.exe
export VARDAK_WINEPREFIX=$top/build/win32/wineprefix
echo "The report program is build/win32/app/VardakReport.exe; it prints the report to standard output:"
echo "  scripts/wine-run build/win32/app/VardakReport.exe > report.txt"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    echo "Starting Vardak on display $DISPLAY"
    exec "$here/wine-run" "$program" "$@"
fi

shots=$top/build/screenshots
mkdir -p "$shots"
# shellcheck source=scripts/xvfb.sh
. "$here/xvfb.sh"
"$here/wine-run" --kill-server
start_xvfb 1024x768x24
cleanup() {
    "$here/wine-run" --kill-server
    stop_xvfb
}
trap cleanup EXIT

echo "No display: starting Vardak on a private Xvfb server ($DISPLAY)"
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
