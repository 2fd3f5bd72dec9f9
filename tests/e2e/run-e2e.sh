#!/usr/bin/env bash
# Runs the end-to-end driver under Wine on the build's shared prefix, on the test
# run's X display or a private Xvfb server. The driver's results go to
# the build's test-results folder as GoogleTest XML; its screenshots are converted
# to PNG in the build's test-artifacts folder.
#   run-e2e.sh BUILD_DIR [gtest arguments]
# VARDAK_WINEPREFIX names another prefix than BUILD_DIR/wineprefix.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/../.." && pwd)
build=$(cd "$1" && pwd)
shift

driver=$build/tests/e2e/VardakDriver.exe
results=$build/test-results
artifacts=$build/test-artifacts
mkdir -p "$results" "$artifacts"
rm -f "$results/vardak_e2e_tests.xml" "$artifacts"/*.bmp

# shellcheck source=scripts/xvfb.sh
. "$top/scripts/xvfb.sh"
prefix=${VARDAK_WINEPREFIX:-$build/wineprefix}
# The test run's display, else a private one; a Wine server that started its desktop
# on another display (or none) is ended first.
if ! display_works; then
    "$top/scripts/wine-run" --prefix "$prefix" --kill-server
    start_xvfb 1280x1024x24
    trap stop_xvfb EXIT
fi
export VARDAK_E2E_PROGRAMS=$build/app
export VARDAK_E2E_PICTURES=$build/app/win32/pictures
export VARDAK_E2E_ARTIFACTS=$artifacts
windows_path() { echo "Z:${1//\//\\}"; }

timeout 3000 "$top/scripts/wine-run" --prefix "$prefix" \
    "$driver" "--gtest_output=xml:$(windows_path "$results/vardak_e2e_tests.xml")" "$@" || true

for shot in "$artifacts"/*.bmp; do
    [ -e "$shot" ] || continue
    convert "$shot" "${shot%.bmp}.png" && rm -f "$shot"
done

report=$results/vardak_e2e_tests.xml
if [ ! -f "$report" ]; then
    echo "the driver wrote no results" >&2
    exit 1
fi
python3 - "$report" <<'PY'
import sys
import xml.etree.ElementTree as ET
root = ET.parse(sys.argv[1]).getroot()
cases = list(root.iter("testcase"))
failed = [c.get("name") for c in cases if c.find("failure") is not None]
for case in cases:
    print(("FAIL " if case.get("name") in failed else "ok   ") + case.get("classname") + "." + case.get("name"))
    for failure in case.iter("failure"):
        print("     " + (failure.get("message") or "").replace("\n", "\n     "))
sys.exit(1 if failed or not cases else 0)
PY
