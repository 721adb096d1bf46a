#!/bin/sh
# Builds Qt for 64-bit Windows once, from Debian's source package of the Qt
# this system has, with mingw-w64, into a cache outside the work tree; later
# runs, from this checkout or any other, find it there. Prints the folder Qt
# is installed in.
# Usage: windows-qt.sh
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
version=$(dpkg-query -W -f='${source:Version}' qt6-base-dev)
upstream=$(dpkg-query -W -f='${Version}' qt6-base-dev | sed 's/[+~-].*//')
toolchain=$root/packaging/windows/mingw-w64.cmake
# The cache is keyed by what the build depends on: the Qt source, and this
# script and the toolchain file, which hold the features and the compiler.
key=$(cat "$0" "$toolchain" | sha256sum | cut -c1-12)
cache=${XDG_CACHE_HOME:-$HOME/.cache}/quorvane
prefix=$cache/qt-$version-win64-$key
if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
fi

log=$cache/qt-$version-win64-$key.log
step=""
failed() {
    status=$?
    [ "$status" -eq 0 ] && return
    at=$(grep -m1 '^FAILED: ' "$log" 2>/dev/null | cut -c1-160 || true)
    echo "windows-qt.sh: Qt $upstream for Windows failed at \"$step\"${at:+ ($at)}; the log is $log" >&2
}
trap failed EXIT
mkdir -p "$cache"
: >"$log"
echo "Building Qt $upstream for Windows into $prefix (about 35 minutes; the log is $log)" >&2

# The source comes through apt from the archives this system already uses:
# a private configuration holds a deb-src twin of each configured entry.
step="apt-get source qt6-base=$version"
apt=$cache/apt
rm -rf "$apt" && mkdir -p "$apt/sources" "$apt/lists/partial"
for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$file" ] && sed -n 's/^deb /deb-src /p' "$file" >>"$apt/sources/twins.list"
done
for file in /etc/apt/sources.list.d/*.sources; do
    [ -f "$file" ] && sed 's/^Types:.*/Types: deb-src/' "$file" >"$apt/sources/$(basename "$file")"
done
set -- -o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$apt/sources" -o Dir::State::Lists="$apt/lists"
apt-get "$@" -q update >>"$log" 2>&1
source=$cache/qt-$version-source
rm -rf "$source" "$prefix" && mkdir -p "$source" "$prefix"
(cd "$source" && apt-get "$@" -q source "qt6-base=$version" >>"$log" 2>&1)

# Only what the program uses: Core, Gui, Widgets, the Windows platform and
# style, and Test. Debian's source has no wintab headers (tablet events).
# Qt 6.4 with mingw-w64 10: without Direct2D the DirectWrite 3 font engine
# does not link, so both are off. Qt 6.8 with mingw-w64 12: its font
# database needs Direct2D to compile at all, and with DirectWrite 3 it has
# the font database Qt uses by default on Windows.
case $upstream in
    6.4.*) fonts="-DFEATURE_direct2d=OFF -DFEATURE_directwrite3=OFF" ;;
    *) fonts="-DFEATURE_direct2d=ON -DFEATURE_directwrite3=ON" ;;
esac
# The toolchain file goes with Qt into the cache, which records its path:
# the cache then serves any checkout, wherever it is.
cp "$toolchain" "$prefix/mingw-w64.cmake"
step="cmake (configure)"
build=$source/build
# shellcheck disable=SC2086
cmake -S "$(find "$source" -maxdepth 1 -type d -name 'qt6-base-*' | head -n1)" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$prefix/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_xml=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF \
    -DFEATURE_concurrent=OFF -DFEATURE_opengl=OFF -DINPUT_opengl=no -DFEATURE_vulkan=OFF -DFEATURE_zstd=OFF \
    -DFEATURE_icu=OFF -DFEATURE_tabletevent=OFF $fonts >>"$log" 2>&1
step="cmake --build"
cmake --build "$build" >>"$log" 2>&1
step="cmake --install"
cmake --install "$build" >>"$log" 2>&1
rm -rf "$source"
touch "$prefix/.complete"
echo "$prefix"
