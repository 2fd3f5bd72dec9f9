#!/usr/bin/env bash
# The CPU probe under Wine: how long one GetInfo takes and how far 20 clock
# measurements spread; then the report program's CPU sections for a cpuid_tool dump
# of this machine against its live ones (all but the clock and the processor count).
#   scripts/bench-cpu.sh [BUILD_DIR]        BUILD_DIR: a Win32 tree, default build/win32
# Runs in the shared Wine prefix (scripts/wine-run); each Wine start is slow here.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
build=$(cd "${1:-$top/build/win32}" && pwd)

cmake --build "$build" -j2 --target vardak_cpu_bench VardakReport >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Output goes to a file, not a pipe: Wine's helper processes may keep a pipe open.
wine_run() {
    local output=$1
    shift
    timeout 900 "$here/wine-run" "$@" >"$work/raw" 2>"$work/errors" || {
        cat "$work/errors" >&2
        return 1
    }
    tr -d '\r' <"$work/raw" >"$output"
}

echo "== CPU probe benchmark (Wine)"
wine_run "$work/bench" "$build/tests/bench/vardak_cpu_bench.exe" 3 20
cat "$work/bench"

echo "== cpuid_tool dump of this machine against the live report"
if ! command -v cpuid_tool >/dev/null; then
    echo "cpuid_tool is missing (Debian package cpuidtool): comparison skipped"
    exit 0
fi
cpuid_tool --save="$work/host.txt" >/dev/null 2>&1
wine_run "$work/dump.report" "$build/app/VardakReport.exe" --cpuid-dump "Z:${work//\//\\}\\host.txt"
wine_run "$work/live.report" "$build/app/VardakReport.exe"
# Only the four CPU sections are compared; the clock and the processor count are
# measured live only.
strip() {
    awk '/^\[/ { cpu = ($0 == "[CPU]" || $0 == "[CPUID_CPUSIGNATURE]" || $0 == "[CPU Features]" || $0 == "[CPU Cache]") }
         cpu' "$1" | grep -v -E '^(Count|Frequency)='
}
if diff <(strip "$work/dump.report") <(strip "$work/live.report") >"$work/diff"; then
    echo "the dump and the live processor give the same CPU sections"
else
    echo "the dump (<) and the live report (>) differ:"
    cat "$work/diff"
    if ! cmp -s <(grep '^EAX=' "$work/dump.report") <(grep '^EAX=' "$work/live.report"); then
        echo "note: the signatures differ, so the live program does not see the host's processor;"
        echo "      under user-mode emulation (qemu-i386) CPUID is answered by the emulator's model."
    fi
fi
