#!/usr/bin/env bash
# Makes sure 32-bit x86 programs (Wine's i386 loader and server) run on this machine.
#   scripts/setup-i386.sh
#
# A kernel without 32-bit support runs them through qemu user-mode emulation,
# registered with binfmt_misc. Debian 12's qemu 7.2 searches the guest address space
# page by page on each memory mapping Wine asks for, so every Wine process costs about
# a minute of CPU and creating a prefix takes tens of minutes; Debian 13's qemu 10
# does the same in a fraction of a second. Where emulation is needed, that qemu is
# fetched into build/deps/qemu from the Debian mirror the system's apt configuration
# names (without one the set-up stops and says so; the system's apt state is left
# alone) and registered in front of any older entry. A kernel that runs 32-bit code
# itself never consults binfmt_misc for it, so nothing is changed there.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)

probe=/usr/lib/wine/wineserver32
binfmt=/proc/sys/fs/binfmt_misc
entry=vardak-i386
deps=$top/build/deps/qemu
emulator=$deps/qemu-i386
# ELF, 32-bit, little-endian, executable or shared object, machine 3 (i386): the
# pattern Debian's qemu-user-binfmt registers for qemu-i386.
magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
magic_hex=7f454c4601010100000000000000000002000300

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

probe_runs() {
    "$probe" --version >/dev/null 2>&1
}

# The enabled binfmt_misc entries that claim i386 programs.
i386_entries() {
    local file
    for file in "$binfmt"/*; do
        case $(basename "$file") in register | status) continue ;; esac
        [ -f "$file" ] || continue
        grep -qx enabled "$file" && grep -q "^magic $magic_hex" "$file" && echo "$file"
    done
    return 0
}

# True when the kernel itself runs the probe: every emulator entry is switched off
# for the moment of the check and switched on again afterwards.
runs_natively() {
    local entries
    entries=$(i386_entries)
    [ -z "$entries" ] && { probe_runs; return; }
    local status=1
    # shellcheck disable=SC2086
    for file in $entries; do echo 0 | as_root tee "$file" >/dev/null; done
    probe_runs && status=0
    # shellcheck disable=SC2086
    for file in $entries; do echo 1 | as_root tee "$file" >/dev/null; done
    return $status
}

# The Debian mirror the system's apt configuration names for its own release (main
# component, not the -updates or -security suites), or nothing. apt lists the
# entries of every sources file, in either format; the origin is known once
# apt-get update has run, and then it must be Debian.
configured_mirror() {
    local codename
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
    [ -n "$codename" ] || return 0
    apt-get indextargets --format '$(TARGET_OF) $(REPO_URI) $(RELEASE) $(COMPONENT) $(ORIGIN)' 2>/dev/null |
        awk -v release="$codename" '$1 == "deb" && $3 == release && $4 == "main" &&
                                    ($5 == "Debian" || $5 == "$(ORIGIN)") { print $2; exit }'
}

fetch_emulator() {
    [ -x "$emulator" ] && return 0
    local mirror
    mirror=$(configured_mirror)
    if [ -z "$mirror" ]; then
        echo "setup: 32-bit programs need qemu-user from Debian 13 here, and the system's apt" \
            "configuration names no Debian mirror to fetch it from: add one for this release" \
            "(a 'deb' entry of the main component) to /etc/apt/sources.list or" \
            "/etc/apt/sources.list.d/, then run the set-up again" >&2
        exit 1
    fi
    local apt_dir=$deps/apt
    rm -rf "$apt_dir"
    mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
    echo "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $mirror trixie main" \
        >"$apt_dir/sources.list"
    local options=(
        -o Dir::Etc::SourceList="$apt_dir/sources.list" -o Dir::Etc::SourceParts=/dev/null
        -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir/cache"
        -o APT::Sandbox::User=root -o Debug::NoLocking=1 -o APT::Get::List-Cleanup=0
    )
    echo "setup: fetching qemu-user from Debian 13 for 32-bit emulation"
    apt-get "${options[@]}" update -qq
    (cd "$apt_dir" && apt-get "${options[@]}" download qemu-user >/dev/null)
    dpkg-deb --fsys-tarfile "$apt_dir"/qemu-user_*.deb |
        tar -xO ./usr/bin/qemu-i386 >"$emulator.part"
    chmod +x "$emulator.part"
    mv "$emulator.part" "$emulator"
    rm -rf "$apt_dir"
}

register_emulator() {
    if [ ! -e "$binfmt/register" ]; then
        as_root mount -t binfmt_misc binfmt_misc "$binfmt" || return 1
    fi
    # F: the kernel opens the emulator now, so it works in every mount namespace and
    # after the build folder is gone.
    printf ':%s:M::%s:%s:%s:OCF' "$entry" "$magic" "$mask" "$emulator" |
        as_root tee "$binfmt/register" >/dev/null
}

# How 32-bit programs run here, for scripts/wine-run to tell the tests.
mode_file=$top/build/deps/i386-mode
record_mode() {
    mkdir -p "$(dirname "$mode_file")"
    [ "$(cat "$mode_file" 2>/dev/null)" = "$1" ] || echo "$1" >"$mode_file"
}

# Our entry is only ever registered where the kernel could not run the probe.
if [ -f "$binfmt/$entry" ] && grep -qx enabled "$binfmt/$entry" && probe_runs; then
    record_mode emulated
    exit 0
fi
if runs_natively; then
    record_mode native
    exit 0
fi
mkdir -p "$deps"
fetch_emulator
if [ -f "$binfmt/$entry" ]; then echo -1 | as_root tee "$binfmt/$entry" >/dev/null || true; fi
if ! register_emulator; then
    if probe_runs; then
        # Slow, but it works: better than no Win32 tests at all.
        echo "setup: warning: binfmt_misc cannot be written here; 32-bit programs stay on the" \
            "emulator already registered, which makes each Wine process take about a minute" >&2
        record_mode emulated
        exit 0
    fi
    echo "setup: 32-bit programs do not run here, and $emulator cannot be registered" \
        "with binfmt_misc (root and a writable /proc/sys/fs/binfmt_misc are needed)" >&2
    exit 1
fi
if ! probe_runs; then
    echo "setup: 32-bit programs do not run on this machine, even under $emulator" >&2
    exit 1
fi
record_mode emulated
echo "setup: 32-bit programs run under $emulator"
