#!/usr/bin/env bash
# Runs the report program once under Wine and checks its drives against the prefix's
# drive mapping (dosdevices) and against df, and its multimedia sections for lists
# that hold each device once with its driver version.
#   run-drives-media.sh BUILD_DIR
# VARDAK_WINEPREFIX names another prefix than BUILD_DIR/wineprefix.
#
# For the run, a free drive letter is mapped to a folder that does not exist: a drive
# that is not ready, which the report must walk without a box and show as empty.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=tests/wine/report-checks.sh
. "$here/report-checks.sh"
report_paths "$1"
# Far more than a report takes; a system box waiting for a click would pass it.
report_timeout=300

"$top/scripts/wine-run" --prefix "$prefix" --init
dosdevices=$prefix/dosdevices

not_ready=""
for letter in r q p o n m; do
    if [ ! -e "$dosdevices/$letter:" ] && [ ! -L "$dosdevices/$letter:" ]; then
        not_ready=$letter
        break
    fi
done

report=$(mktemp)
cleanup() {
    [ -z "$not_ready" ] || rm -f "$dosdevices/$not_ready:"
    rm -f "$report"
}
trap cleanup EXIT
[ -z "$not_ready" ] || ln -s "$build/vardak-no-such-drive" "$dosdevices/$not_ready:"

checks_begin "$build" vardak_report_drives_media ReportDrivesMedia
check_group=report

started=$(date +%s)
if timeout "$report_timeout" "$top/scripts/wine-run" --prefix "$prefix" "$report_program" >"$report"; then
    pass "the report program ended by itself in $(($(date +%s) - started)) s"
else
    fail "the report program failed or did not end within $report_timeout s"
fi
sed -i 's/\r$//' "$report"

# In the console program a failing probe writes "<class>.GetInfo: <message>".
if grep -q '\.GetInfo: ' "$report"; then
    fail "a probe failed: $(grep '\.GetInfo: ' "$report" | head -n 3 | tr '\n' ' ')"
else
    pass "no probe failed"
fi

# ---------------------------------------------------------------- drives

letters=$(find "$dosdevices" -mindepth 1 -maxdepth 1 -name '?:' -printf '%f\n' |
    cut -c1 | tr '[:lower:]' '[:upper:]' | sort | tr -d '\n')
expect_entry Disks Available "$letters"

# Whether $1 lies within 1 % of $2.
within_one_percent() {
    awk -v actual="$1" -v expected="$2" \
        'BEGIN { d = actual - expected; if (d < 0) d = -d; exit !(expected > 0 && d * 100 <= expected) }'
}

root_letter=""
for link in "$dosdevices"/?:; do
    if [ "$(readlink "$link")" = / ]; then
        root_letter=$(basename "$link" | cut -c1 | tr '[:lower:]' '[:upper:]')
    fi
done
if [ -z "$root_letter" ]; then
    fail "no drive maps to /"
else
    read -r df_size df_available < <(df -B1 --output=size,avail / | tail -n 1)
    for pair in "Capacity $df_size" "FreeSpace $df_available"; do
        read -r key expected <<<"$pair"
        actual=$(entry "Disk$root_letter:" "$key" | tr -cd '0-9')
        if within_one_percent "${actual:-0}" "$expected"; then
            pass "[Disk$root_letter:] $key $actual within 1 % of df's $expected"
        else
            fail "[Disk$root_letter:] $key '$(entry "Disk$root_letter:" "$key")' is not within 1 % of df's $expected"
        fi
    done
fi

if [ -n "$not_ready" ]; then
    drive=$(echo "$not_ready" | tr '[:lower:]' '[:upper:]'):
    for pair in "VolumeLabel=" "SerialNumber=" "Capacity=0" "FreeSpace=0" "BytesPerSector=0" "TotalClusters=0"; do
        expect_entry "Disk$drive" "${pair%%=*}" "${pair#*=}"
    done
    flags_set=$(section "Disk${drive}_Flags" | grep -c '=1$' || true)
    if [ "$flags_set" -eq 0 ]; then pass "[Disk${drive}_Flags] none set"; else fail "[Disk${drive}_Flags] $flags_set set"; fi
fi

# ---------------------------------------------------------------- multimedia

# A numbered list: its count, then exactly that many entries numbered from 1, each
# value once and, when $4 is given, matching it.
check_list() {
    local section=$1 count_key=$2 prefix=$3 pattern=${4:-} count values
    count=$(entry "$section" "$count_key")
    if ! [[ $count =~ ^[0-9]+$ ]]; then
        fail "[$section] $count_key is '$count'"
        return
    fi
    values=$(section "$section" | sed -n "s/^$prefix\([0-9]*\)=/\1 /p")
    if [ "$(echo "$values" | grep -c . || true)" -ne "$count" ] ||
        [ "$(echo "$values" | awk 'NF { print $1 }' | tr '\n' ' ')" != "$(seq -s ' ' 1 "$count" | sed 's/$/ /;s/^ $//')" ]; then
        fail "[$section] $count_key=$count but the entries are: $(echo "$values" | tr '\n' ';')"
        return
    fi
    if [ -n "$(echo "$values" | cut -d' ' -f2- | grep . | sort | uniq -d)" ]; then
        fail "[$section] $prefix lists a device twice"
        return
    fi
    if [ -n "$pattern" ] && echo "$values" | cut -d' ' -f2- | grep . | grep -qvE "$pattern"; then
        fail "[$section] $prefix has an entry without a driver version"
        return
    fi
    pass "[$section] $count_key=$count with its entries"
}

check_list Media Count Device
for list in WaveIn WaveOut MIDIIn MIDIOut AUX Mixer; do
    check_list Sound "${list}Count" "$list" ' v[0-9]+\.[0-9]+$'
done

checks_end
