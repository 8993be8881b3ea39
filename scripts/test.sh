#!/bin/bash
# Builds everything and runs every test: the engine natively, the 32- and
# 64-bit Windows programs, and the 64-bit one under wine64 in Xvfb.
# Installs what is missing first (Debian 12, as root).
#   scripts/test.sh          build and test
#   scripts/test.sh build    build only (the run command uses this)
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
    cmake ninja-build g++ googletest
    g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
    wine64 fonts-wine fonts-liberation xvfb xauth faketime xdotool x11-utils imagemagick
    libxml2-utils
)

install_missing() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        apt-get update -qq
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
    fi
}

build() {
    local dir=$1
    shift
    cmake -S . -B "build/$dir" -G Ninja -DCMAKE_COMPILE_WARNING_AS_ERROR=ON "$@" >/dev/null
    cmake --build "build/$dir"
}

install_missing
build win32 --toolchain cmake/i686-w64-mingw32.cmake
build win64 --toolchain cmake/x86_64-w64-mingw32.cmake
build native
[ "${1:-}" = build ] && exit 0

ctest --test-dir build/native --output-on-failure
xvfb-run -a -s "-screen 0 1024x768x24" ctest --test-dir build/win64 --output-on-failure
