#!/bin/sh
# Runs a program of the Windows test build under wine, with Qt's and the
# compiler's libraries and Qt's plugins where the build found them. The wine
# prefix and the display come from the caller (windows-test.sh).
# Usage: wine.sh QT_PREFIX PROGRAM [ARGUMENT...]
set -eu
windows_path() { printf 'Z:%s' "$1" | tr / '\\'; }
qt=$1
shift
path=$(windows_path "$qt/bin")
for library in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
    path="$path;$(windows_path "$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=$library)")")"
done
WINEPATH=$path QT_PLUGIN_PATH=$(windows_path "$qt/plugins") exec wine "$@"
