#!/usr/bin/env bash
# Installs what Vardak's builds need on Debian 12 and prepares the cross-built
# libjpeg. Idempotent: when everything is there it only checks and returns.
#   scripts/setup.sh
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

packages=(
    cmake g++ ninja-build python3 googletest
    gcc-mingw-w64-i686-posix g++-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev
    wine wine32:i386
    xvfb xauth x11-utils imagemagick
    python3-pil fonts-dejavu-core
    dmidecode clang
)

missing_packages() {
    local p
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' || echo "$p"
    done
}

enable_i386() {
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        as_root dpkg --add-architecture i386
        echo yes
    fi
}

# Source entries for the configured mirrors, so apt-get source can fetch libjpeg-turbo.
enable_deb_src() {
    local added=""
    if [ -f /etc/apt/sources.list.d/debian.sources ] &&
        ! grep -Eq '^Types:.*deb-src' /etc/apt/sources.list.d/debian.sources /etc/apt/sources.list.d/*.sources 2>/dev/null; then
        sed -E 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
            as_root tee /etc/apt/sources.list.d/vardak-deb-src.sources >/dev/null
        added=yes
    fi
    if [ -f /etc/apt/sources.list ] && grep -Eq '^deb ' /etc/apt/sources.list &&
        ! grep -Eq '^deb-src ' /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null; then
        grep -E '^deb ' /etc/apt/sources.list | sed -E 's/^deb /deb-src /' |
            as_root tee /etc/apt/sources.list.d/vardak-deb-src.list >/dev/null
        added=yes
    fi
    echo "$added"
}

need_update=""
[ -n "$(enable_i386)" ] && need_update=yes
[ -n "$(enable_deb_src)" ] && need_update=yes
missing=$(missing_packages)
if [ -n "$missing" ] || [ -n "$need_update" ]; then
    echo "setup: installing: $(echo $missing | tr '\n' ' ')"
    as_root apt-get update -qq
    if [ -n "$missing" ]; then
        # shellcheck disable=SC2086
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing >/dev/null
    fi
fi

"$here/setup-i386.sh"
"$here/build-libjpeg.sh"

# The 32-bit cpuid_tool, unpacked beside the builds (it cannot be installed next to the
# 64-bit one): the Wine tests compare its dump of this processor with the live report.
cpuid_tool_dir=$top/build/deps/cpuidtool-i386
if [ ! -x "$cpuid_tool_dir/usr/bin/cpuid_tool" ]; then
    echo "setup: fetching the 32-bit cpuid_tool"
    rm -rf "$cpuid_tool_dir"
    mkdir -p "$cpuid_tool_dir/debs"
    (cd "$cpuid_tool_dir/debs" &&
        apt-get -o APT::Sandbox::User=root download cpuidtool:i386 libcpuid16:i386 >/dev/null)
    for deb in "$cpuid_tool_dir"/debs/*.deb; do dpkg-deb -x "$deb" "$cpuid_tool_dir"; done
    ln -sf "$(basename "$(ls "$cpuid_tool_dir"/usr/lib/i386-linux-gnu/libcpuid.so.*.*)")" \
        "$cpuid_tool_dir/usr/lib/i386-linux-gnu/libcpuid.so.16"
    rm -rf "$cpuid_tool_dir/debs"
fi
