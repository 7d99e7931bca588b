#!/usr/bin/env bash
# Installs the Debian packages that building and testing Quorvel need.
set -euo pipefail

packages=(
    cmake make python3
    clang libclang-rt-14-dev googletest
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    wine wine64
    xvfb xdotool x11-utils imagemagick
    clang-format clang-tidy
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages: ${missing[*]}" >&2
    echo "Install them with:" >&2
    echo "  sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
    exit 1
fi
echo "Installing: ${missing[*]}"
apt-get update -qq
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
