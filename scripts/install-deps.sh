#!/bin/sh
# Installs the Debian packages a set of commands needs, only those that are
# missing. No prompts; sudo when not root.
# Usage: install-deps.sh run|test|lint|windows|windows-test|web|web-test
#   run   building and running the program (make build, make run)
#   test  the above, and what the tests and benchmarks add (make test, make bench)
#   lint  the developer's checks (make lint)
#   windows  the Windows program, zip and installer (make windows)
#   windows-test  the above, and its tests under wine (make windows-test)
#   web   the page, built as WebAssembly (make web, make web-run)
#   web-test  the above, its tests under node and in three browser engines, and
#             the test clients and measuring tools from npm (make web-test, make bench)
set -eu

# The compiler, CMake, Qt's Widgets, the X11 client library the program asks
# for a clipboard manager with, the number parser's headers (fast_float), the
# session's JSON library (nlohmann's, header-only) and
# the font the window is drawn in.
run="g++ make cmake ninja-build pkg-config qt6-base-dev libxcb1-dev libfast-float-dev
nlohmann-json3-dev fonts-liberation"
# GoogleTest and Google Benchmark; a private X server with real input, the
# clipboard and screenshots; the start-up probe's X libraries; Qt's Wayland
# platform, which the start-up checks try; what builds and judges the
# Debian package; and clang with its runtime libraries (libFuzzer and the
# sanitizers), which build the fuzz targets.
test="$run libgtest-dev libgmock-dev libbenchmark-dev
xvfb xauth xdotool xclip imagemagick libx11-dev libxdamage-dev qt6-wayland
dpkg-dev file desktop-file-utils appstream lintian clang libclang-rt-dev"
lint="$run clang-format clang-tidy cppcheck"
# Qt for Windows built from Debian's source with mingw-w64 (perl, the source
# package tools), the icon, the installer, and wine to try it.
windows="$run g++-mingw-w64-x86-64-posix perl dpkg-dev imagemagick nsis wine wine64"
# GoogleTest's source, built for Windows; a private X server for wine, with
# real input; git and file for the check that another checkout builds; the
# comma locale the window tests run in (locales).
windows_test="$windows googletest xvfb xauth xdotool git file locales"

# Debian's emscripten with its prebuilt libraries and node, GoogleTest's
# source for the tests under node, the number parser's headers, the font,
# cut to the page's letters by fonttools (woff2 needs brotli), and librsvg's
# rsvg-convert, which draws the home-screen icons from the SVG.
web="make cmake ninja-build emscripten nodejs googletest libfast-float-dev nlohmann-json3-dev fonts-liberation fonttools python3-brotli
librsvg2-bin"
# The three engines the browser tests run in: Chromium, and Firefox ESR,
# both driven by puppeteer-core from npm; WebKitGTK's WebDriver with its
# MiniBrowser, on a private Xvfb (xauth), its clipboard read by xclip, its
# language from a locale compiled at the test's start (locales). Chromium's
# WebDriver and Python's Selenium for the bench's time to interactive, and
# npm for the tools below. A node from elsewhere (NodeSource's nodejs
# package) brings its own npm and conflicts with Debian's, so npm is asked
# for only when there is none.
web_test="$web chromium chromium-driver firefox-esr webkit2gtk-driver xvfb xauth xclip locales python3-selenium"
command -v npm >/dev/null 2>&1 || web_test="$web_test npm"

case "${1:-}" in
    run) packages=$run ;;
    test) packages=$test ;;
    lint) packages=$lint ;;
    windows) packages=$windows ;;
    windows-test) packages=$windows_test ;;
    web) packages=$web ;;
    web-test) packages=$web_test ;;
    *) echo "usage: $0 run|test|lint|windows|windows-test|web|web-test" >&2 && exit 2 ;;
esac

install_packages() {
    if ! command -v apt-get >/dev/null 2>&1 || ! command -v dpkg-query >/dev/null 2>&1; then
        echo "This system has no apt-get, so the packages this needs cannot be installed here." >&2
        echo "Install their equivalents yourself; their Debian names are:" >&2
        echo "  $packages" | tr '\n' ' ' | fold -s -w 78 >&2
        echo >&2
        echo "Going on: the build stops where something is missing." >&2
        return 0
    fi

    missing=""
    for p in $packages; do
        status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
        case "$status" in
            *"install ok installed"*) ;;
            *) missing="$missing $p" ;;
        esac
    done

    [ -z "$missing" ] && return 0

    echo "Installing missing packages:$missing"
    if [ "$(id -u)" -eq 0 ]; then
        as_root=""
    elif command -v sudo >/dev/null 2>&1; then
        as_root="sudo -n"
    else
        echo "Packages missing ($missing) and neither root nor sudo is available." >&2
        exit 1
    fi
    export DEBIAN_FRONTEND=noninteractive
    $as_root apt-get update -q
    # shellcheck disable=SC2086
    $as_root apt-get install -y -q --no-install-recommends $missing
}

# The browser tests' client, puppeteer-core (it downloads no browser: it
# drives Debian's), and the page's measuring tools, axe-core (the browser
# tests) and Lighthouse (make bench), are not Debian packages: npm ci installs the versions
# tests/web/package-lock.json pins, checked against its hashes, into
# tests/web/node_modules, as this user (no root needed). A stamp there holds
# the hash of the package files, so npm runs again only when they change or
# the folder is gone, and a build without the network still works after.
install_web_tools() {
    tools=$(dirname "$0")/../tests/web
    stamp=$tools/node_modules/.package-files.sha256
    hash=$(cat "$tools/package.json" "$tools/package-lock.json" | sha256sum | cut -d' ' -f1)
    [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$hash" ] && return 0
    if ! command -v npm >/dev/null 2>&1; then
        echo "No npm here, so the page's measuring tools (tests/web/package.json) are not installed." >&2
        return 0
    fi
    echo "Installing the page's measuring tools into tests/web/node_modules (npm ci)"
    # No install scripts: none of them needs one, and none then runs.
    (cd "$tools" && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --ignore-scripts --no-audit --no-fund --no-update-notifier)
    echo "$hash" >"$stamp"
}

install_packages
[ "$1" != web-test ] || install_web_tools
