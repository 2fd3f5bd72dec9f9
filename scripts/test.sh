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

status=0
for tree in native win32; do
    rm -rf "build/$tree/test-results"
    mkdir -p "build/$tree/test-results"
    echo "== tests: $tree"
    (cd "build/$tree" && ctest -j2 --output-on-failure --output-junit test-results/ctest.xml "$@") || status=1
done

python3 "$here/count-tests.py" build/native/test-results build/win32/test-results || status=1
exit $status
