#!/bin/bash
# Builds Trical and runs it under wine64, in a Wine prefix of its own under
# build/. With a display the calendar opens there and this returns when it
# is closed. Without one it runs in Xvfb, saves a screenshot and closes it
# (or, where the window never appears, shows the end of Wine's output).
# TRICAL_CHOICES=all starts it with every remembered choice on (Monday
# first, week numbers, keep on top); TRICAL_CHOICES=none with every one off
# (the week starting on the region's first day). TRICAL_THEME=dark starts
# it with Windows' app mode dark; without it the mode is light.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/test.sh build
exe=$PWD/build/win64/trical.exe
export WINEPREFIX=$PWD/build/run-prefix
shot=$PWD/build/trical-screenshot.png

if [ -n "${TRICAL_CHOICES:-}" ] && [ "${1:-}" != --in-xvfb ]; then
    case $TRICAL_CHOICES in
    all) on=1 ;;
    none) on=0 ;;
    *) echo "run.sh: TRICAL_CHOICES is all or none" >&2; exit 2 ;;
    esac
    # The prefix is made on its first use; the settings go in the user's
    # roaming folder of it, beside anything else the file holds.
    tests/wine-run.sh cmd /c exit >/dev/null 2>&1
    settings="$WINEPREFIX/drive_c/users/$(whoami)/AppData/Roaming/Trical/TRICAL.INI"
    mkdir -p "$(dirname "$settings")"
    touch "$settings"
    sed -i '/^\[OPTIONS\]/,/^\[/{/^\[OPTIONS\]/d;/^[^[]/d}' "$settings"
    # Without FIRSTDAY the week starts on the region's first day.
    firstday=
    [ $on = 0 ] || firstday='FIRSTDAY=1\r\n'
    printf "[OPTIONS]\r\n${firstday}WEEKNUM=%s\r\nONTOP=%s\r\n" $on $on >>"$settings"
fi

if [ "${1:-}" != --in-xvfb ]; then
    personalize='HKCU\Software\Microsoft\Windows\CurrentVersion\Themes\Personalize'
    if [ "${TRICAL_THEME:-}" = dark ]; then
        tests/wine-run.sh reg add "$personalize" /v AppsUseLightTheme /t REG_DWORD /d 0 /f >/dev/null 2>&1
    else
        tests/wine-run.sh reg delete "$personalize" /v AppsUseLightTheme /f >/dev/null 2>&1 || true
    fi
    if [ -n "${DISPLAY:-}" ]; then
        exec tests/wine-run.sh "$exe"
    fi
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" --in-xvfb
fi

# Wine's output is kept, to be shown where the calendar never appears.
log=$PWD/build/trical-wine.log
tests/wine-run.sh "$exe" >"$log" 2>&1 &
calendar=$!
if ! window=$(timeout 60 xdotool search --sync --onlyvisible --classname trical.exe | head -1) ||
    [ -z "$window" ]; then
    if kill "$calendar" 2>/dev/null; then
        echo "run.sh: the calendar's window did not appear within 60 s; it was ended." >&2
    else
        status=0
        wait "$calendar" || status=$?
        echo "run.sh: the calendar ended with status $status without showing its window." >&2
    fi
    echo "The end of Wine's output ($log):" >&2
    tail -n 20 "$log" >&2
    [ -s "$log" ] || echo "(none)" >&2
    /usr/lib/wine/wineserver -w
    exit 1
fi
# The first paint follows the window's appearance; wait until a red pixel
# (today, lighter on dark) is on the screen rather than for a fixed time.
today='#ff0000'
[ "${TRICAL_THEME:-}" != dark ] || today='#ff5c5c'
eval "$(xdotool getwindowgeometry --shell "$window")"
for _ in $(seq 100); do
    import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" "$shot"
    convert "$shot" -fill black +opaque "$today" -format '%[fx:maxima.r]' info: | grep -q '^1' && break
    sleep 0.1
done
echo "Screenshot: $shot"
# The X button sits at the top right, at template units (264, 13) of 8-point
# MS Sans Serif (6 x 13 px base units), inside a 3 px frame: 17 units, 25 px,
# from the client's right edge, where it stays when the week column widens
# the window.
xdotool mousemove $((X + WIDTH - 3 - 17 * 6 / 4)) $((Y + 3 + 13 * 13 / 8)) click 1
for _ in $(seq 100); do
    kill -0 "$calendar" 2>/dev/null || break
    sleep 0.1
done
wait "$calendar"
# Let Wine's own processes finish before Xvfb goes away under them.
/usr/lib/wine/wineserver -w
