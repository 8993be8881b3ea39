#!/bin/bash
# Ending the Windows session while the calendar is open must save its place:
# the session's end may take the process down without the window ever being
# destroyed. wineboot -e sends WM_QUERYENDSESSION and WM_ENDSESSION to every
# top-level window and then ends every process left, a test driver included,
# so this runs from the outside: session_probe.exe starts the calendar and
# reports where it is, then wineboot ends the session.
#   end-session.sh SESSION_PROBE.exe
set -euo pipefail
probe=$1
here=$(cd "$(dirname "$0")" && pwd)
wine_run=$here/../wine-run.sh
wineserver=/usr/lib/wine/wineserver
export WINEPREFIX=${WINEPREFIX:-$(cd "$(dirname "$probe")" && pwd)/wineprefix}
# TRICAL_EXE, if set, names the calendar the probe starts; 77 is ctest's skip.
# A missing calendar fails the run (can-run-32bit.sh's 2) rather than skipping it.
status=0
kind=$("$here/can-run-32bit.sh" "${TRICAL_EXE:-$(dirname "$probe")/trical.exe}") || status=$?
if [ $status -eq 1 ]; then
    echo "end-session.sh: skipped, the calendar is a 32-bit program and $kind"
    exit 77
fi
[ $status -eq 0 ] || exit 1
# Wine names the profile after the Unix user.
settings=$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Trical/TRICAL.INI

fail() {
    echo "FAILED: $*"
    exit 1
}

report=$WINEPREFIX.session-report

# Whatever happens, nothing of this test stays running in the prefix.
cleanup() {
    rm -f "$report"
    if ! timeout 60 "$wineserver" -w; then
        "$wineserver" -k || true
    fi
}
trap cleanup EXIT

# wineboot -e ends every process of the prefix: make sure none but ours run.
if ! timeout 60 "$wineserver" -w; then
    trap - EXIT
    rm -f "$report"
    fail "Wine programs are still running in $WINEPREFIX; end them first"
fi

# With no settings file the calendar opens centred, and only saving creates
# the file again. The probe reports into a file, not a pipe: the calendar it
# leaves running inherits its output and would hold a pipe open.
rm -f "$settings"
"$wine_run" "$probe" >"$report"
place=$(tr -d '\r' <"$report")
read -r left top <<<"$place"
[[ $left =~ ^-?[0-9]+$ && $top =~ ^-?[0-9]+$ ]] || fail "the probe reported \"$place\""
echo "calendar open at $left,$top"
[ ! -e "$settings" ] || fail "TRICAL.INI was written while the calendar was open"

"$wine_run" wineboot -e
# The session is over once its last process has gone and the server with it.
timeout 60 "$wineserver" -w || fail "processes were still running a minute after the session ended"

[ -e "$settings" ] || fail "no TRICAL.INI after the session ended"
saved=$(tr -d '\r' <"$settings")
expected=$(printf '[LOC]\nXLOC=%s\nYLOC=%s' "$left" "$top")
if [ "$saved" != "$expected" ]; then
    echo "TRICAL.INI holds:"
    echo "$saved"
    fail "expected XLOC=$left and YLOC=$top under [LOC]"
fi
echo "TRICAL.INI holds the calendar's place"
