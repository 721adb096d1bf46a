#!/bin/sh
# Builds GoogleTest for 64-bit Windows once, from the source Debian's
# googletest package ships, with mingw-w64, into a cache outside the work
# tree. Prints the folder it is installed in.
# Usage: windows-googletest.sh
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
version=$(dpkg-query -W -f='${Version}' googletest)
prefix=${XDG_CACHE_HOME:-$HOME/.cache}/quorvane/googletest-$version-win64
if [ ! -f "$prefix/lib/cmake/GTest/GTestConfig.cmake" ]; then
    build=$(mktemp -d)
    trap 'rm -rf "$build"' EXIT
    cmake -S /usr/src/googletest -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$root/packaging/windows/mingw-w64.cmake" -DCMAKE_INSTALL_PREFIX="$prefix" >&2
    cmake --build "$build" >&2
    cmake --install "$build" >&2
fi
echo "$prefix"
