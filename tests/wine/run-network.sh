#!/usr/bin/env bash
# Runs the report program under Wine once and checks its network and printer
# sections against the host: every non-loopback interface's IPv4 address (from
# `ip -o addr`) and hardware address (from /sys/class/net) appear in them, the DNS
# servers are those of /etc/resolv.conf, Windows Sockets starts, and the print
# system, which has no printers here, gives an empty printer list. No probe may
# report a failure.
#   run-network.sh BUILD_DIR
# VARDAK_WINEPREFIX names another prefix than BUILD_DIR/wineprefix.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=tests/wine/report-checks.sh
. "$here/report-checks.sh"
report_paths "$1"

report=$(mktemp)
trap 'rm -f "$report"' EXIT

checks_begin "$build" vardak_network_report NetworkReport
check_group=report

if ! timeout 600 "$top/scripts/wine-run" --prefix "$prefix" "$report_program" >"$report"; then
    fail "the report program failed"
fi
# The report's lines end with CR LF.
sed -i 's/\r$//' "$report"

# The values of the numbered entries PREFIX1, PREFIX2... of SECTION, one a line.
numbered() {
    section "$1" | sed -n "s/^$2[0-9][0-9]*=//p"
}

# The comma-separated values of the adapter entries KEY[0], KEY[1]... of [TCP/IP].
per_adapter() {
    section TCP/IP | sed -n "s/^$1\[[0-9][0-9]*\]=//p" | tr ',' '\n'
}

# "name address" of every IPv4 address of an interface other than the loopback.
host_addresses() {
    ip -o -4 addr show | awk '$2 != "lo" { split($4, address, "/"); if (address[1] !~ /^127\./) print $2, address[1] }'
}

expect_listed() {
    local what=$1 value=$2
    shift 2
    if printf '%s\n' "$@" | grep -qxF "$value"; then
        pass "$what $value"
    else
        fail "$what: $value missing from '$(printf '%s ' "$@")'"
    fi
}

check_interfaces() {
    local interfaces name address mac
    interfaces=$(host_addresses)
    if [ -z "$interfaces" ]; then
        fail "the host has no IPv4 interface besides the loopback to compare with"
        return
    fi
    mapfile -t ip_addresses < <(numbered Network IPAddress)
    mapfile -t mac_addresses < <(numbered Network MACAddress)
    mapfile -t adapter_addresses < <(per_adapter Adapter_IPAddress)
    mapfile -t adapter_macs < <(per_adapter AdapterPhysAddr)
    while read -r name address; do
        mac=$(tr 'A-F' 'a-f' <"/sys/class/net/$name/address")
        expect_listed "[Network] IPAddress of $name" "$address" "${ip_addresses[@]}"
        expect_listed "[Network] MACAddress of $name" "$mac" "${mac_addresses[@]}"
        expect_listed "[TCP/IP] Adapter_IPAddress of $name" "$address" "${adapter_addresses[@]}"
        expect_listed "[TCP/IP] AdapterPhysAddr of $name" "${mac//:/-}" "${adapter_macs[@]}"
    done <<<"$interfaces"
}

# The IPv4 name servers of the resolver's configuration, joined by commas; one
# empty entry, quoted, without any.
check_dns_servers() {
    local servers
    servers=$(awk '$1 == "nameserver" && $2 ~ /^[0-9.]+$/ { print $2 }' /etc/resolv.conf | paste -sd,)
    expect_entry TCP/IP DNSServers "${servers:-\"\"}"
}

# Windows Sockets 1.1 was started, and the library offers 2.2.
check_winsock() {
    expect_entry Winsock Version 2.2
    expect_entry Winsock Status Running
}

check_printers() {
    expect_entry Printers Count 0
    if [ "$(section Printers | wc -l)" -eq 1 ]; then
        pass "[Printers] lists no printer"
    else
        fail "[Printers] lists printers: $(section Printers | tr '\n' ' ')"
    fi
}

# A failing refresh is written as "<class>.GetInfo: <message>" in a console program.
check_no_failures() {
    if grep -q '\.GetInfo: ' "$report"; then
        fail "a probe failed: $(grep '\.GetInfo: ' "$report" | tr '\n' ' ')"
    else
        pass "no probe failed"
    fi
}

check_interfaces
check_dns_servers
check_winsock
check_printers
check_no_failures
checks_end
