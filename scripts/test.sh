#!/usr/bin/env bash
# Builds both trees (native core and Win32 program) and runs every test: the native
# unit tests, then the Win32 tests under Wine. Ends with one line "N passed, M failed".
#   scripts/test.sh [ctest arguments, e.g. -R vardak_unit_tests]
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
cd "$top"

"$here/setup.sh"
"$here/build.sh"

# One Wine server for the whole Win32 run: starting Wine's system processes costs
# minutes where 32-bit code is emulated, so they are started once and kept.
wine_server_started=""
start_wine_server() {
    "$here/wine-run" --init
    export WINEPREFIX=$top/build/win32/wineprefix
    export WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver32}
    [ -x "$WINESERVER" ] || WINESERVER=wineserver
    "$WINESERVER" -p || true
    wine_server_started=yes
}
stop_wine_server() {
    if [ -n "$wine_server_started" ]; then
        "$WINESERVER" -k >/dev/null 2>&1 || true
    fi
}
trap stop_wine_server EXIT

status=0
for tree in native win32; do
    rm -rf "build/$tree/test-results"
    mkdir -p "build/$tree/test-results"
    echo "== tests: $tree"
    # The end-to-end run needs the server that starts with its own X display.
    if [ "$tree" = win32 ] && [ -z "${VARDAK_E2E:-}" ]; then start_wine_server; fi
    (cd "build/$tree" && ctest -j2 --output-on-failure --output-junit test-results/ctest.xml "$@") || status=1
done

python3 "$here/count-tests.py" build/native/test-results build/win32/test-results || status=1
exit $status
