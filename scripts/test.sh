#!/bin/bash
# Builds everything and runs every test: the engine natively, the 32- and
# 64-bit Windows programs, and the 64-bit one under wine64 in Xvfb. Also
# makes both release zips and checks that two clean builds give the same
# bytes. Installs what is missing first (Debian 12, as root).
#   scripts/test.sh          build, package and test
#   scripts/test.sh build    build only (the run command uses this)
#   scripts/test.sh package  build and make the release zips in build/packages
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
    cmake ninja-build g++ googletest
    g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
    wine64 fonts-wine fonts-liberation fonts-wqy-microhei xvfb xauth faketime xdotool x11-utils imagemagick
    libxml2-utils unzip clang-format clang-tidy cppcheck git python3-pefile
    qemu-user clang libclang-rt-14-dev
)

# apt-get update fails as a whole when one index cannot be fetched (a mirror
# in the middle of a sync), though the others are fresh. It is tried once
# more, then taken as a warning: the install that follows tells whether
# what is needed could be had.
update_package_lists() {
    apt-get update -qq && return
    echo "apt-get update failed; trying again in 10 s"
    sleep 10
    apt-get update -qq && return
    echo "Warning: apt-get update failed again; installing from the package lists at hand"
}

install_missing() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        update_package_lists
        if ! DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
            "${missing[@]}" >/dev/null; then
            echo "Could not install: ${missing[*]}"
            exit 1
        fi
    fi
}

# The 32-bit calendar runs under Debian's 32-bit Wine beside the 64-bit one.
# It is installed wherever it can be; where it cannot, the 32-bit end-to-end
# groups are skipped. Where the kernel runs no 32-bit programs, only the
# smoke group runs them, under qemu-user (tests/e2e/smoke32.sh).
install_wine32() {
    dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'ok installed' && return
    echo "Installing: wine32:i386"
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386
    fi
    update_package_lists
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends wine32:i386 \
        >/dev/null || echo "wine32:i386 could not be installed"
}

build() {
    local dir=$1
    shift
    # The toolchain counts only on a tree's first configure; named again,
    # CMake would warn that it went unused.
    [ ! -f "build/$dir/CMakeCache.txt" ] || [ "${1:-}" != --toolchain ] || shift 2
    cmake -S . -B "build/$dir" -G Ninja -DCMAKE_COMPILE_WARNING_AS_ERROR=ON "$@" >/dev/null
    cmake --build "build/$dir"
}

# Makes the release zip of a Windows build tree and copies it to a folder.
# Zip entry times are local times, so the zone is fixed too.
package() {
    local dir=$1 out=$2
    rm -f "$dir"/trical-*.zip
    (cd "$dir" && TZ=UTC cpack -G ZIP >/dev/null)
    mkdir -p "$out"
    cp "$dir"/trical-*.zip "$out"/
}

# Builds trical.exe and its zip twice for both targets, in two new
# directories of different names and depths, and fails unless the two
# builds are the same bytes.
check_reproducible() {
    local root=build/repro copy arch file
    rm -rf "$root"
    for copy in a second-copy; do
        for arch in i686:win32 x86_64:win64; do
            local tree=$root/$copy/${arch#*:}
            cmake -S . -B "$tree" -G Ninja -DCMAKE_COMPILE_WARNING_AS_ERROR=ON \
                -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON --toolchain "cmake/${arch%:*}-w64-mingw32.cmake" >/dev/null
            cmake --build "$tree" --target trical >/dev/null
            package "$tree" "$root/$copy/packages"
        done
    done
    local files=(win32/trical.exe win64/trical.exe)
    for file in "$root"/a/packages/*.zip; do
        files+=("packages/${file##*/}")
    done
    if [ ${#files[@]} -ne 4 ]; then
        echo "Reproducibility: expected two zips, found: ${files[*]:2}"
        return 1
    fi
    for file in "${files[@]}"; do
        cmp "$root/a/$file" "$root/second-copy/$file"
    done
    (cd "$root/a" && sha256sum "${files[@]}")
    echo "Reproducible: ${#files[@]} files the same in two clean builds"
    rm -rf "$root"
}

# The calendar starts without the C runtime's start-up code (ui/start.cpp),
# which is what runs a global's dynamic initialiser (a constructor, or a
# value from a call) before main: one in our code would silently never run.
# GCC lists them in .ctors (or .init_array), each through a _GLOBAL__sub_I_
# function; no object file of the calendar may have either.
check_no_dynamic_initialisers() {
    local arch tree objects object symbols sections found=0
    for arch in i686:win32 x86_64:win64; do
        tree=build/${arch#*:}
        mapfile -t objects < <(find "$tree"/CMakeFiles/{ui,engine,trical}.dir -name '*.obj' | sort)
        if [ ${#objects[@]} -eq 0 ]; then
            echo "No object files of the calendar in $tree; build it first"
            return 1
        fi
        for object in "${objects[@]}"; do
            symbols=$("${arch%:*}-w64-mingw32-nm" "$object")
            sections=$("${arch%:*}-w64-mingw32-objdump" -h "$object")
            if grep -q '_GLOBAL__sub_I_' <<<"$symbols" || grep -qE ' \.(ctors|init_array)' <<<"$sections"; then
                echo "Dynamic initialiser in $object: nothing would run it"
                found=1
            fi
        done
    done
    return $found
}

# Style and static analysis of the calendar's own code; any finding fails.
static_checks() {
    local sources
    mapfile -t sources < <(git ls-files '*.cpp' '*.h')
    clang-format --dry-run --Werror "${sources[@]}"

    cppcheck --quiet --std=c++17 --language=c++ --enable=warning,style,performance,portability \
        --library=windows --error-exitcode=1 --suppress=missingIncludeSystem --inline-suppr -D_WIN32 \
        -I engine -I ui -I res engine ui

    # clang parses the Windows sources as MinGW does, given MinGW's C++ headers.
    local mingw_cxx
    mingw_cxx=$(echo | x86_64-w64-mingw32-g++-posix -xc++ -E -v - 2>&1 |
        sed -n 's|^ \(/.*/include/c++.*\)|--extra-arg=-isystem\1|p')
    clang-tidy --quiet -p build/native engine/*.cpp 2>/dev/null
    # shellcheck disable=SC2086
    clang-tidy --quiet -p build/win64 $mingw_cxx ui/*.cpp 2>/dev/null
    # The window code includes downwards only, the dialog at the top.
    python3 scripts/include_graph.py ui >/dev/null
    check_no_dynamic_initialisers
    echo "Static checks: clean"
}

install_missing
[ "${1:-}" = build ] || install_wine32

# Whatever keeps a time (the zip entries) takes the commit's, so that two
# builds of one commit are the same bytes.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
fi
export SOURCE_DATE_EPOCH

build win32 --toolchain cmake/i686-w64-mingw32.cmake
build win64 --toolchain cmake/x86_64-w64-mingw32.cmake -DCMAKE_EXPORT_COMPILE_COMMANDS=ON
build native -DCMAKE_EXPORT_COMPILE_COMMANDS=ON
[ "${1:-}" = build ] && exit 0

rm -rf build/packages
package build/win32 build/packages
package build/win64 build/packages
if [ "${1:-}" = package ]; then
    for zip in build/packages/*.zip; do
        unzip -l "$zip"
    done
    exit 0
fi

check_reproducible
static_checks

cmake -S . -B build/sanitize -G Ninja -DCMAKE_COMPILE_WARNING_AS_ERROR=ON -DTRICAL_SANITIZE=ON >/dev/null
cmake --build build/sanitize --target engine_tests
ctest --test-dir build/sanitize -R engine_tests --output-on-failure

# The calendar file reader under libFuzzer for a minute, seeded with the
# test files; a crash, a leak or a hang fails the script.
cmake -S . -B build/fuzz -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_COMPILE_WARNING_AS_ERROR=ON -DTRICAL_FUZZ=ON >/dev/null
cmake --build build/fuzz --target ics_fuzz
rm -rf build/fuzz/corpus
mkdir -p build/fuzz/corpus
build/fuzz/ics_fuzz -max_total_time=60 -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -dict=tests/fuzz/ics.dict -artifact_prefix=build/fuzz/ build/fuzz/corpus tests/engine/ics

ctest --test-dir build/native --output-on-failure
if ! why=$(tests/e2e/can-run-32bit.sh build/win32/trical.exe); then
    echo "The 32-bit end-to-end groups (e2e32_*) but e2e32_smoke will be skipped: $why"
fi
xvfb-run -a -s "-screen 0 1024x768x24" ctest --test-dir build/win64 --output-on-failure
