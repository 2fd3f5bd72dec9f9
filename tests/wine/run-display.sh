#!/usr/bin/env bash
# Runs the report program under Wine on private Xvfb screens of two sizes and checks
# the display section against each screen and the power section against the
# machine's power supplies.
#   run-display.sh BUILD_DIR
# VARDAK_WINEPREFIX names another prefix than BUILD_DIR/wineprefix.
#
# Wine's desktop keeps the display of the Wine server it started with, so the
# prefix's server is ended before each screen and again at the end: the next test
# must not inherit a screen that is gone.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=tests/wine/report-checks.sh
. "$here/report-checks.sh"
report_paths "$1"
screens=(1024x768x24 800x600x16)

# shellcheck source=scripts/xvfb.sh
. "$top/scripts/xvfb.sh"

end_wine_server() {
    timeout 120 "$top/scripts/wine-run" --prefix "$prefix" --kill-server || true
}

report=$(mktemp)
cleanup() {
    end_wine_server
    stop_xvfb
    rm -f "$report"
}
trap cleanup EXIT

checks_begin "$build" vardak_display_screens DisplayScreens

# Wine stores the pixels of a 24-bit X screen in 32 bits and reports that size.
bits_per_pixel() {
    if [ "$1" = 24 ]; then echo 32; else echo "$1"; fi
}

check_display() {
    local screen=$1 width height depth bits
    IFS=x read -r width height depth <<<"$screen"
    bits=$(bits_per_pixel "$depth")
    expect_entry Display HorzRes "$width"
    expect_entry Display VertRes "$height"
    expect_entry Display ColorDepth "$bits"
    expect_entry Display Technology "Raster Display"
    local current="$width x $height - $bits bit"
    if section "Video Modes" | grep -Eq "^Mode[0-9]+=$current\$"; then
        pass "[Video Modes] holds $current"
    else
        fail "[Video Modes] does not hold '$current': $(section "Video Modes" | tr '\n' ' ')"
    fi
}

# What the kernel's power-supply class says about this machine: Wine reads it.
check_power() {
    local supplies=/sys/class/power_supply mains="" battery=""
    local supply
    for supply in "$supplies"/*; do
        [ -e "$supply/type" ] || continue
        case $(cat "$supply/type") in
            Mains) [ "$(cat "$supply/online" 2>/dev/null)" = 1 ] && mains=online || mains=${mains:-offline} ;;
            Battery) [ "$(cat "$supply/present" 2>/dev/null || echo 1)" = 1 ] && battery=present ;;
        esac
    done
    if [ -z "$battery" ]; then
        # Without a battery Wine counts the machine as running on mains.
        expect_entry "Advanced Power Management" ACPowerStatus Online
        expect_entry "Advanced Power Management" BatteryChargeStatus "No Battery"
        if section "Advanced Power Management" | grep -q "LifeTime="; then
            fail "[Advanced Power Management] has life times without a battery"
        else
            pass "[Advanced Power Management] without life times"
        fi
        return
    fi
    if [ "$mains" = online ]; then
        expect_entry "Advanced Power Management" ACPowerStatus Online
    elif [ "$mains" = offline ]; then
        expect_entry "Advanced Power Management" ACPowerStatus Offline
    fi
    local status
    status=$(entry "Advanced Power Management" BatteryChargeStatus)
    case $status in
        "No Battery" | "") fail "[Advanced Power Management] BatteryChargeStatus '$status' with a battery" ;;
        *) pass "[Advanced Power Management] BatteryChargeStatus=$status" ;;
    esac
}

for screen in "${screens[@]}"; do
    echo "== screen $screen"
    check_group=$screen
    end_wine_server
    start_xvfb "$screen"
    if ! timeout 600 "$top/scripts/wine-run" --prefix "$prefix" "$report_program" >"$report"; then
        fail "$screen: the report program failed"
    fi
    # The report's lines end with CR LF.
    sed -i 's/\r$//' "$report"
    check_display "$screen"
    check_power
    # The server first, so that Wine does not see its display vanish.
    end_wine_server
    stop_xvfb
done

checks_end
