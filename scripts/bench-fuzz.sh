#!/usr/bin/env bash
# Runs the fuzz targets one after the other, as the test command runs them (the same
# time each, the same seeds, the corpus kept in build/native), and prints how many
# inputs each tried and how many a second.
#   scripts/bench-fuzz.sh
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
build=$top/build/native
[ -f "$build/build.ninja" ] || cmake -S "$top" -B "$build" -G Ninja >/dev/null
cmake --build "$build" -j2 --target vardak_fuzz_targets >/dev/null

(cd "$build" && ctest -L fuzz -j1 --verbose) | awk '
    /Start +[0-9]+: / { sub(/.*Start +[0-9]+: /, ""); name = $1 }
    /stat::number_of_executed_units:/ { runs = $NF }
    /stat::average_exec_per_sec:/ { printf "%-28s %9d inputs %7d per second\n", name, runs, $NF }
    /Passed|Failed|\*\*\*/ && /Test +#/ { if ($0 !~ /Passed/) print "   " $0 }
'
