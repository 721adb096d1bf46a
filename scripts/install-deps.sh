#!/bin/sh
# Installs the Debian packages the build, the tests and the window need,
# only those that are missing. No prompts; sudo when not root.
set -eu

packages="g++ make cmake ninja-build pkg-config qt6-base-dev libx11-dev libxdamage-dev libgtest-dev libbenchmark-dev
clang-format clang-tidy cppcheck clang libclang-rt-14-dev valgrind
fonts-liberation xvfb xauth xdotool xclip desktop-file-utils dpkg-dev file imagemagick
libxcb1-dev lintian appstream qt6-gtk-platformtheme"

missing=""
for p in $packages; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    case "$status" in
        *"install ok installed"*) ;;
        *) missing="$missing $p" ;;
    esac
done

[ -z "$missing" ] && exit 0

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
