#!/bin/bash
# Builds Trical and runs it under wine64, in a Wine prefix of its own under
# build/. With a display the calendar opens there and this returns when it
# is closed. Without one it runs in Xvfb, saves a screenshot and closes it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/test.sh build
exe=$PWD/build/win64/trical.exe
export WINEPREFIX=$PWD/build/run-prefix
shot=$PWD/build/trical-screenshot.png

if [ "${1:-}" != --in-xvfb ]; then
    if [ -n "${DISPLAY:-}" ]; then
        exec tests/wine-run.sh "$exe"
    fi
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" --in-xvfb
fi

tests/wine-run.sh "$exe" &
calendar=$!
window=$(timeout 60 xdotool search --sync --onlyvisible --classname trical.exe | head -1)
# The first paint follows the window's appearance; wait until a red pixel
# (today) is on the screen rather than for a fixed time.
eval "$(xdotool getwindowgeometry --shell "$window")"
for _ in $(seq 100); do
    import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" "$shot"
    convert "$shot" -fill black +opaque '#ff0000' -format '%[fx:maxima.r]' info: | grep -q '^1' && break
    sleep 0.1
done
echo "Screenshot: $shot"
# The X button sits at the top right, at template units (264, 13) of 8-point
# MS Sans Serif (6 x 13 px base units), inside a 3 px frame.
xdotool mousemove $((X + 3 + 264 * 6 / 4)) $((Y + 3 + 13 * 13 / 8)) click 1
for _ in $(seq 100); do
    kill -0 "$calendar" 2>/dev/null || break
    sleep 0.1
done
wait "$calendar"
# Let Wine's own processes finish before Xvfb goes away under them.
/usr/lib/wine/wineserver -w
