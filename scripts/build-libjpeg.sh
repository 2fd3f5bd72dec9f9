#!/usr/bin/env bash
# Cross-compiles libjpeg-turbo 2.1.5 from Debian's source package into a static
# library for the Win32 build. Source and result are cached under build/deps.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
deps=$top/build/deps
install=$deps/libjpeg-i686
version=2.1.5

if [ -f "$install/lib/libjpeg.a" ] && [ -f "$install/include/jpeglib.h" ]; then
    exit 0
fi

mkdir -p "$deps/src"
cd "$deps/src"
if ! ls libjpeg-turbo_${version}*.orig.tar.* >/dev/null 2>&1; then
    echo "setup: fetching the libjpeg-turbo source package"
    apt-get source --download-only -qq libjpeg-turbo >/dev/null
fi
tarball=$(ls libjpeg-turbo_${version}.orig.tar.* 2>/dev/null | head -n 1)
if [ -z "$tarball" ]; then
    echo "setup: Debian's libjpeg-turbo source is not version $version" >&2
    exit 1
fi
rm -rf "$deps/libjpeg-turbo"
mkdir -p "$deps/libjpeg-turbo"
tar -xf "$tarball" -C "$deps/libjpeg-turbo" --strip-components=1

echo "setup: cross-compiling libjpeg-turbo"
cmake -S "$deps/libjpeg-turbo" -B "$deps/libjpeg-build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$install" \
    -DWITH_SIMD=OFF -DENABLE_SHARED=OFF -DWITH_TURBOJPEG=OFF -DWITH_JAVA=OFF \
    -Wno-dev >/dev/null
cmake --build "$deps/libjpeg-build" -j2 --target install >/dev/null
rm -rf "$deps/libjpeg-build" "$deps/libjpeg-turbo"
echo "setup: libjpeg ready in $install"
