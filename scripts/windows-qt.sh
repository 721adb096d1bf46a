#!/bin/sh
# Builds Qt for 64-bit Windows once, from Debian's source package of the Qt
# this system has, with mingw-w64, into a cache outside the work tree; later
# runs find it there. Prints the folder Qt is installed in.
# Usage: windows-qt.sh
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
version=$(dpkg-query -W -f='${source:Version}' qt6-base-dev)
cache=${XDG_CACHE_HOME:-$HOME/.cache}/quorvane
prefix=$cache/qt-$version-win64
if [ -f "$prefix/lib/cmake/Qt6/Qt6Config.cmake" ]; then
    echo "$prefix"
    exit 0
fi

# The source comes through apt from the archives this system already uses:
# a private configuration holds a deb-src twin of each configured entry.
apt=$cache/apt
rm -rf "$apt" && mkdir -p "$apt/sources" "$apt/lists/partial"
for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$file" ] && sed -n 's/^deb /deb-src /p' "$file" >>"$apt/sources/twins.list"
done
for file in /etc/apt/sources.list.d/*.sources; do
    [ -f "$file" ] && sed 's/^Types:.*/Types: deb-src/' "$file" >"$apt/sources/$(basename "$file")"
done
set -- -o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$apt/sources" -o Dir::State::Lists="$apt/lists"
apt-get "$@" -q update >&2
source=$cache/qt-$version-source
rm -rf "$source" && mkdir -p "$source"
(cd "$source" && apt-get "$@" -q source "qt6-base=$version" >&2)

# Only what the program uses: Core, Gui, Widgets, the Windows platform and
# style, and Test. Debian's source has no wintab headers (tablet events), and
# without Direct2D the DirectWrite 3 font engine does not link.
build=$source/build
cmake -S "$(find "$source" -maxdepth 1 -type d -name 'qt6-base-*' | head -n1)" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/packaging/windows/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_xml=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF \
    -DFEATURE_concurrent=OFF -DFEATURE_opengl=OFF -DINPUT_opengl=no -DFEATURE_vulkan=OFF -DFEATURE_zstd=OFF \
    -DFEATURE_icu=OFF -DFEATURE_tabletevent=OFF -DFEATURE_direct2d=OFF -DFEATURE_directwrite3=OFF >&2
cmake --build "$build" >&2
cmake --install "$build" >&2
rm -rf "$source"
echo "$prefix"
