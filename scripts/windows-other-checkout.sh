#!/bin/sh
# The cached Qt for Windows serves any checkout, not only the one that built
# it: it names no path of this checkout, and a copy of the sources elsewhere,
# with a build folder of its own, configures and builds the program with it.
# Usage: windows-other-checkout.sh QT_PREFIX
set -eu
qt=$1
root=$(cd "$(dirname "$0")/.." && pwd)
fail() { echo "FAIL: $*" >&2 && exit 1; }
# A path into this checkout, as CMake writes one: at a line's start or after
# a quote, a space, "=", ";" or "(" (a checkout at /src is not Qt's src/).
pattern=$(printf '%s' "$root" | sed 's/[].*^$+?(){}|[\\]/\\&/g')
! grep -rlE "(^|[\"' =;(])$pattern/" "$qt/lib/cmake" >&2 || fail "the cached Qt names this checkout ($root)"
other=$(mktemp -d)
trap 'rm -rf "$other"' EXIT
(cd "$root" && git ls-files -z | xargs -0 cp --parents -t "$other")
cmake -S "$other" -B "$other/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" >/dev/null || fail "another checkout does not configure"
cmake --build "$other/build" --target quorvane >/dev/null || fail "another checkout does not build"
file "$other/build/quorvane.exe" | grep -qE "PE32\+ executable.*\(GUI\).*x86-64" || fail "another checkout built no Windows program"
echo "another checkout builds with $qt"
