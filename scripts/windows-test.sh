#!/bin/sh
# Runs the Windows build's tests (ctest) under wine, in a wine prefix of the
# build folder and on a private X server. One wine session serves the whole
# run, as one Windows login keeps its clipboard from program to program.
# Usage: windows-test.sh WINDOWS_BUILD_DIR
set -eu
if [ -z "${QUORVANE_WINE_INSIDE:-}" ]; then
    exec env QUORVANE_WINE_INSIDE=1 xvfb-run -a -s '-screen 0 1024x768x24 -nolisten tcp' "$0" "$@"
fi
build=$(cd "$1" && pwd)
# No Mono or Gecko prompts while the prefix is made.
export WINEPREFIX="$build/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'wineserver -k 2>/dev/null || true' EXIT
mkdir -p "$WINEPREFIX"
wineserver -p
wine wineboot --init >"$build/wineboot.log" 2>&1 || { cat "$build/wineboot.log" >&2 && exit 1; }
ctest --test-dir "$build" --output-on-failure
