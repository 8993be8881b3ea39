#!/bin/bash
# Runs the DPI tests with Wine at 96, 144 and 192 DPI, each in a prefix of
# its own beside the driver, and keeps a screenshot of the calendar at each
# as <build>/screenshot-<dpi>dpi.png (screenshot-32bit-<dpi>dpi.png for the
# 32-bit calendar), and one with every choice on.
#   dpi.sh DRIVER.exe
set -euo pipefail
driver=$1
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$(dirname "$driver")" && pwd)
wine_run=$here/../wine-run.sh
wineserver=/usr/lib/wine/wineserver
# TRICAL_EXE, if set, names the calendar (run-e2e.sh); 77 is ctest's skip.
# A missing calendar fails the run (can-run-32bit.sh's 2) rather than skipping it.
status=0
kind=$("$here/can-run-32bit.sh" "${TRICAL_EXE:-$build/trical.exe}") || status=$?
if [ $status -eq 1 ]; then
    echo "dpi.sh: skipped, the calendar is a 32-bit program and $kind"
    exit 77
fi
[ $status -eq 0 ] || exit 1

status=0
for dpi in 96 144 192; do
    export WINEPREFIX=$build/dpi-prefix-$dpi
    echo "== $dpi DPI in $WINEPREFIX"
    # Wine 8 takes the user's setting and, where that is missing, the
    # machine's; both are set so neither can disagree. (wine-run.sh makes
    # the prefix on its first use.)
    "$wine_run" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
    "$wine_run" reg add 'HKCC\Software\Fonts' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
    # A running server would keep serving the old DPI to what it starts.
    "$wineserver" -k 2>/dev/null || true
    "$wineserver" -w
    shot=$build/screenshot-${kind:+32bit-}${dpi}dpi
    rm -f "$shot.bmp" "$shot.png" "$shot-choices.bmp" "$shot-choices.png"
    TRICAL_TEST_DPI=$dpi TRICAL_SCREENSHOT=$shot.bmp \
        "$here/run-e2e.sh" "$driver" --gtest_filter='DpiTest.*' || status=1
    # The second, with every choice on, is <build>/screenshot-<dpi>dpi-choices.png.
    for bmp in "$shot.bmp" "$shot-choices.bmp"; do
        if [ -f "$bmp" ]; then
            convert "$bmp" -strip -define png:exclude-chunk=date,time "${bmp%.bmp}.png"
            rm -f "$bmp"
        fi
    done
done
exit $status
