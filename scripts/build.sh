#!/usr/bin/env bash
# Configures and builds both trees: build/native (portable core and unit tests) and
# build/win32 (mingw-w64 i686: the programs and the tests that run under Wine).
#   scripts/build.sh                 everything
#   scripts/build.sh TARGET...       only these targets of build/win32, for example
#                                    the programs: scripts/build.sh Vardak VardakReport
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
cd "$top"

configure() {
    local dir=$1
    shift
    if [ ! -f "$dir/build.ninja" ]; then
        cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
    fi
}

configure build/win32 -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" \
    -DVARDAK_LIBJPEG_DIR="$top/build/deps/libjpeg-i686"
# VARDAK_E2E=0 leaves out the end-to-end run of the summary window under Wine and Xvfb.
cmake -S . -B build/win32 -DVARDAK_E2E="$([ "${VARDAK_E2E:-1}" = 0 ] && echo OFF || echo ON)" >/dev/null
if [ $# -gt 0 ]; then
    echo "== build: win32 $*"
    cmake --build build/win32 -j2 --target "$@"
    exit 0
fi

configure build/native
echo "== build: native"
cmake --build build/native -j2
echo "== build: win32"
cmake --build build/win32 -j2
