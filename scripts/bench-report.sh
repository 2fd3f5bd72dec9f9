#!/usr/bin/env bash
# Measures VardakReport.exe end to end under Wine, the whole refresh and report written
# to a file, beside an empty Win32 console program started the same way: the median
# of 5 runs of each, in milliseconds of wall-clock time. The Wine server is started
# beforehand and kept, so neither figure holds its start.
#   scripts/bench-report.sh [RUNS]      (default 5)
# VARDAK_BUILD_DIR names another Win32 build folder than build/win32.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
cd "$top"
runs=${1:-5}

build=${VARDAK_BUILD_DIR:-$top/build/win32}
if [ ! -f "$build/build.ninja" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" \
        -DVARDAK_LIBJPEG_DIR="$top/build/deps/libjpeg-i686" >/dev/null
fi
cmake --build "$build" -j2 --target VardakReport EmptyConsole >/dev/null
prefix=${VARDAK_WINEPREFIX:-$build/wineprefix}
report=$build/test-artifacts/bench-report.txt
mkdir -p "$(dirname "$report")"

now_ms() { date +%s%3N; }
# The median of the numbers on standard input.
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : int((v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }

# Milliseconds of each of `runs` runs of a program, one a line.
time_runs() {
    for _ in $(seq "$runs"); do
        local start end
        start=$(now_ms)
        "$here/wine-run" --prefix "$prefix" "$@" >/dev/null 2>&1
        end=$(now_ms)
        echo $((end - start))
    done
}

# One run to start the Wine server and warm the caches; not counted.
"$here/wine-run" --prefix "$prefix" "$build/tests/bench/EmptyConsole.exe" >/dev/null 2>&1
empty=$(time_runs "$build/tests/bench/EmptyConsole.exe" | median)
full=$(time_runs "$build/app/VardakReport.exe" --output "Z:${report//\//\\}" | median)
lines=$(wc -l <"$report")
echo "median of $runs runs under Wine: VardakReport.exe $full ms (refresh and report, $lines lines); empty console program $empty ms"
