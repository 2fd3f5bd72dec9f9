#!/usr/bin/env bash
# Builds both trees (native core and Win32 program) and runs every test: the native
# unit tests, then the Win32 tests under Wine. Ends with one line "N passed, M failed".
#   scripts/test.sh [ctest arguments, e.g. -R vardak_unit_tests]
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
cd "$top"
# shellcheck source=scripts/xvfb.sh
. "$here/xvfb.sh"

started=$SECONDS
stage() { echo "== $1 ($((SECONDS - started)) s)"; }

stage setup
"$here/setup.sh"
stage build
"$here/build.sh"

# Every Wine program of one run shares the prefix's server, and Wine's desktop takes
# the display of the program that starts it: the whole Win32 run gets one display, a
# private Xvfb server when there is none.
cleanup() {
    "$here/wine-run" --kill-server || true
    stop_xvfb
}
trap cleanup EXIT

status=0
for tree in native win32; do
    rm -rf "build/$tree/test-results"
    mkdir -p "build/$tree/test-results"
    stage "tests: $tree"
    if [ "$tree" = win32 ]; then
        display_works || start_xvfb 1280x1024x24
        "$here/wine-run" --kill-server
    fi
    (cd "build/$tree" && ctest -j2 --output-on-failure --output-junit test-results/ctest.xml "$@") || status=1
done

stage count
python3 "$here/count-tests.py" build/native/test-results build/win32/test-results || status=1
exit $status
