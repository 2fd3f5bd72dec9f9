#!/usr/bin/env bash
# The report program's CPU sections for a cpuid_tool dump of this machine's processor
# must equal its live CPU sections in everything but what only a live run measures
# (the clock and the processor count).
#   run-cpuid-dump.sh BUILD_DIR
# The dump comes from the 32-bit cpuid_tool that the set-up keeps in
# build/deps/cpuidtool-i386: it sees the processor exactly as a 32-bit Windows program
# under Wine does, also where 32-bit code runs under an emulator whose CPUID answers
# with its own model.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/../.." && pwd)
build=$(cd "$1" && pwd)
prefix=${VARDAK_WINEPREFIX:-$build/wineprefix}
tool=$top/build/deps/cpuidtool-i386

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

LD_LIBRARY_PATH=$tool/usr/lib/i386-linux-gnu timeout 120 "$tool/usr/bin/cpuid_tool" \
    --save="$work/cpu.txt" >/dev/null
# Leaf 1 carries the APIC identifier of the processor that asked: the live report asks
# on the first logical processor, as the dump reader reads that one.
report() {
    timeout 600 taskset -c 0 "$top/scripts/wine-run" --prefix "$prefix" "$build/app/VardakReport.exe" "$@" |
        tr -d '\r'
}
report --cpuid-dump "Z:${work//\//\\}\\cpu.txt" >"$work/dump.report"
report >"$work/live.report"

cpu_sections() {
    awk '/^\[/ { cpu = ($0 == "[CPU]" || $0 == "[CPUID_CPUSIGNATURE]" || $0 == "[CPU Features]" || $0 == "[CPU Cache]") }
         cpu' "$1" | grep -v -E '^(Count|Frequency)='
}
cpu_sections "$work/dump.report" >"$work/dump.cpu"
cpu_sections "$work/live.report" >"$work/live.cpu"
if [ ! -s "$work/live.cpu" ] || ! grep -q '^\[CPU\]$' "$work/live.cpu"; then
    echo "the live report has no CPU sections" >&2
    exit 1
fi
if ! diff "$work/dump.cpu" "$work/live.cpu"; then
    echo "the dump (<) and the live report (>) differ" >&2
    exit 1
fi
echo "the dump and the live processor give the same $(wc -l <"$work/live.cpu") CPU lines"
