#!/bin/bash
# Measures trical.exe against the floor, a bare dialog of the same template
# that paints nothing, and at start also against the floor of any calendar,
# that dialog drawing the weekday letters and three months of days in Arial
# (plain, with every choice on, and with a holidays file in the folder),
# under wine64 in Xvfb, and the engine's layout and calendar file reader
# natively.
# Prints one table: median, min and max over repeated runs. Installs what is
# missing first (Debian 12, as root). Takes about ten minutes, six of them
# the idle windows.
#   scripts/bench.sh
# BENCH_THEME=dark measures it with Windows' app mode dark.
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${BENCH_RUNS:-21}                 # start-ups of each program, A B A B ...
repaint_runs=${BENCH_REPAINT_RUNS:-5}  # calendars of each program for the steps
commands=${BENCH_COMMANDS:-10000}      # month steps sent to each of them
idle_windows=${BENCH_IDLE_WINDOWS:-3}  # consecutive windows of one idle process
idle_seconds=${BENCH_IDLE_SECONDS:-120}

packages=(
    cmake ninja-build g++ googletest libbenchmark-dev
    g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
    binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
    wine64 fonts-wine xvfb xauth
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
    local dir=$1 target=$2
    shift 2
    # The toolchain counts only on a tree's first configure.
    cmake -S . -B "build/$dir" -G Ninja --no-warn-unused-cli -DCMAKE_COMPILE_WARNING_AS_ERROR=ON \
        -DTRICAL_BENCH=ON "$@" >/dev/null
    cmake --build "build/$dir" --target "$target" >/dev/null
}

install_missing
build bench-win32 trical --toolchain cmake/i686-w64-mingw32.cmake
build bench-win64 bench_driver --toolchain cmake/x86_64-w64-mingw32.cmake
build bench-native layout_bench
build bench-native ics_bench

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

export WINEPREFIX=$PWD/build/bench-prefix
driver=build/bench-win64/bench_driver.exe
personalize='HKCU\Software\Microsoft\Windows\CurrentVersion\Themes\Personalize'
if [ "${BENCH_THEME:-}" = dark ]; then
    tests/wine-run.sh reg add "$personalize" /v AppsUseLightTheme /t REG_DWORD /d 0 /f >/dev/null 2>&1
else
    tests/wine-run.sh reg delete "$personalize" /v AppsUseLightTheme /f >/dev/null 2>&1 || true
fi
/usr/lib/wine/wineserver -w
echo "Running under wine64 in Xvfb (about $((idle_windows * idle_seconds / 60 + 3)) minutes)..." >&2
# One Xvfb and one wineserver for everything; the prefix's last process
# ends before the display does. The inner script takes its arguments as $0...
# shellcheck disable=SC2016
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    tests/wine-run.sh "$0" start "$1" &&
    tests/wine-run.sh "$0" start "$1" choices &&
    tests/wine-run.sh "$0" start "$1" events &&
    tests/wine-run.sh "$0" repaint "$2" "$3" &&
    tests/wine-run.sh "$0" idle "$4" "$5"
    status=$?
    /usr/lib/wine/wineserver -w
    exit $status' "$driver" "$runs" "$repaint_runs" "$commands" "$idle_windows" "$idle_seconds" \
    >"$out/wine" 2>"$out/wine.err" || { cat "$out/wine.err" >&2; exit 1; }

build/bench-native/layout_bench --benchmark_repetitions=10 --benchmark_report_aggregates_only=true \
    --benchmark_format=csv 2>/dev/null >"$out/layout"
build/bench-native/ics_bench --benchmark_repetitions=10 --benchmark_report_aggregates_only=true \
    --benchmark_format=csv 2>/dev/null >"$out/ics"

# Column N of the driver's lines for one figure and program.
column() { awk -v k="$1" -v n="$2" -v c="$3" '$1 == k && $2 == n { print $c }' "$out/wine"; }
# Median, min and max of numbers, one a line.
stats() {
    sort -g | awk '{ v[NR] = $1 } END {
        m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
        printf "%10s %10s %10s", f(m), f(v[1]), f(v[NR]) }
        function f(x) { return x >= 10000 || x <= -10000 ? sprintf("%.0f", x) : sprintf("%.4g", x) }'
}
# Figure, column, and the two programs' names (trical and floor by default).
pairs() { paste <(column "$1" "${3:-trical}" "$2") <(column "$1" "${4:-floor}" "$2"); }
ratios() { pairs "$@" | awk '{ print $1 / $2 }'; }
median() { stats | awk '{ print $1 }'; }
verdict() { awk -v v="$1" -v t="$2" 'BEGIN { print (v <= t ? "met" : "NOT met") }'; }
row() { printf "%-44s %s  %-5s %s\n" "$1" "$2" "$3" "${4:-}" | sed 's/ *$//'; }
layout() { awk -F, -v n="\"LayoutPanels/$1_$2\"" '$1 == n { print $3 }' "$out/layout"; }

printf "%-44s %10s %10s %10s  %-5s %s\n" "" median min max unit target
start_ratio=$(ratios start 3 | median)
row "start-up to first paint, trical" "$(column start trical 3 | stats)" ms
row "start-up to first paint, floor" "$(column start floor 3 | stats)" ms
row "  trical/floor, pair by pair ($runs pairs)" "$(ratios start 3 | stats)" x \
    "<= 1.10: $(verdict "$start_ratio" 1.10)"
paint_ratio=$(ratios start 3 trical floor-paint | median)
row "start-up to first paint, floor that paints" "$(column start floor-paint 3 | stats)" ms
row "  trical/floor that paints, pair by pair" "$(ratios start 3 trical floor-paint | stats)" x \
    "<= 1.05: $(verdict "$paint_ratio" 1.05)"
choices_ratio=$(ratios start 3 trical-choices floor-choices | median)
row "start-up, trical with every choice on" "$(column start trical-choices 3 | stats)" ms
row "  its trical/floor, pair by pair" "$(ratios start 3 trical-choices floor-choices | stats)" x \
    "<= 1.10: $(verdict "$choices_ratio" 1.10)"
choices_paint=$(ratios start 3 trical-choices floor-paint-choices | median)
row "  its trical/floor that paints, pair by pair" \
    "$(ratios start 3 trical-choices floor-paint-choices | stats)" x \
    "<= 1.05: $(verdict "$choices_paint" 1.05)"
events_paint=$(ratios start 3 trical-events floor-paint-events | median)
row "start-up, trical with 300 holidays in a file" "$(column start trical-events 3 | stats)" ms
row "  its trical/floor that paints, pair by pair" \
    "$(ratios start 3 trical-events floor-paint-events | stats)" x \
    "<= 1.05: $(verdict "$events_paint" 1.05)"
row "repaint per command, trical ($commands cmds)" "$(column repaint trical 3 | stats)" us
row "repaint per command, floor (as many TextOutW)" "$(column repaint floor 3 | stats)" us
row "  trical/floor, pair by pair ($repaint_runs pairs)" "$(ratios repaint 3 | stats)" x
size_budget=98304  # 96 KiB, for each executable
for bits in 64 32; do
    exe=build/bench-win$bits/trical.exe
    size=$(stat -c %s "$exe")
    row "trical.exe size, win$bits" "$(echo "$size" | stats)" bytes \
        "<= $size_budget: $(verdict "$size" $size_budget)"
done
mem_ratio=$(ratios peakmem 3 | median)
row "peak working set at first paint, trical" "$(column peakmem trical 3 | stats)" KiB
row "peak working set at first paint, floor" "$(column peakmem floor 3 | stats)" KiB
row "  trical/floor, pair by pair" "$(ratios peakmem 3 | stats)" x \
    "<= 1.10: $(verdict "$mem_ratio" 1.10)"
row "  trical-floor, pair by pair" "$(pairs peakmem 3 | awk '{ print $1 - $2 }' | stats)" KiB
choices_mem=$(ratios peakmem 3 trical-choices floor-choices | median)
row "peak working set, trical with every choice on" "$(column peakmem trical-choices 3 | stats)" KiB
row "  its trical/floor, pair by pair" "$(ratios peakmem 3 trical-choices floor-choices | stats)" x \
    "<= 1.10: $(verdict "$choices_mem" 1.10)"
row "private (anon) memory then, trical" "$(column peakmem trical 4 | stats)" KiB
row "private (anon) memory then, floor" "$(column peakmem floor 4 | stats)" KiB
idle=$(column idle trical 3 | median)
row "idle CPU per ${idle_seconds} s, trical (scheduler)" "$(column idle trical 3 | stats)" ms \
    "< 10: $(awk -v v="$idle" 'BEGIN { print (v < 10 ? "met" : "NOT met") }')"
row "idle CPU per ${idle_seconds} s, floor (scheduler)" "$(column idle floor 3 | stats)" ms
row "idle CPU, trical (GetProcessTimes, 10 ms)" "$(column idle trical 4 | stats)" ms
row "idle CPU, floor (GetProcessTimes, 10 ms)" "$(column idle floor 4 | stats)" ms
resting=$(column idle-day trical 3 | median)
row "  the same, pointer resting on a day, trical" "$(column idle-day trical 3 | stats)" ms \
    "< 10: $(awk -v v="$resting" 'BEGIN { print (v < 10 ? "met" : "NOT met") }')"
for kind in current side; do
    row "LayoutMonth, $kind panel (native, 10 reps)" \
        "$(printf "%s\n" "$(layout $kind median)" "$(layout $kind min)" "$(layout $kind max)" | stats)" ns
done
ics() { awk -F, -v n="\"$1_$2\"" '$1 == n { print $3 }' "$out/ics"; }
ics_row() {
    printf "%s\n" "$(ics "$1" median)" "$(ics "$1" min)" "$(ics "$1" max)" | stats
}
read_ms=$(ics Read median)
row "calendar file read, 2.9 MiB (native, 10 reps)" "$(ics_row Read)" ms \
    "<= 29 (100 MB/s): $(verdict "$read_ms" 29)"
mark_us=$(ics MarkThreeMonths median)
row "three months marked, 10,960 events loaded" "$(ics_row MarkThreeMonths)" us \
    "<= 2000: $(verdict "$mark_us" 2000)"
row "one day's names, 10,960 events loaded" "$(ics_row NameOneDay)" us
for arch in x86_64:64 i686:32; do
    imports=$("${arch%:*}-w64-mingw32-objdump" -p "build/bench-win${arch#*:}/trical.exe" |
        awk '/DLL Name:/ { print $3 }' | sort -f | tr '\n' ' ')
    # Every one of these ships with Windows itself.
    foreign=$(echo "$imports" | tr ' ' '\n' | grep -viE '^$|^(kernel32|user32|gdi32|msvcrt|advapi32|comctl32|shell32)\.dll$' || true)
    echo "imports, win${arch#*:}: ${imports}-> $([ -z "$foreign" ] && echo "system DLLs only" || echo "NOT system: $foreign")"
done
