#!/bin/bash
# Runs a Windows program under wine64 in a private prefix beside it, so tests
# never touch the user's own ~/.wine. The prefix is made once, with Wine's own
# fonts (Debian's wine64 does not find them) and without the window-manager
# stall that Xvfb otherwise costs every dialog.
set -e
exe=$1
prefix=${WINEPREFIX:-$(cd "$(dirname "$exe")" && pwd)/wineprefix}
export WINEPREFIX=$prefix
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installer at the prefix's making; a caller's own
# overrides (a test group's) come after these.
export WINEDLLOVERRIDES="mscoree,mshtml=${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
wine=/usr/lib/wine/wine64
# A prefix made where 32-bit programs could not start (no 32-bit Wine, or a
# kernel without 32-bit support) has a 32-bit side that never ran; it is
# made again once they can. An installed 32-bit Wine that cannot start does
# not count, nor one that starts only emulated, unless the run allows that
# (smoke32.sh's prefix of its own): another run's emulator, registered for
# a while, must not make the shared prefix over.
wow64=no
"$(dirname "$0")/e2e/can-run-32bit.sh" >/dev/null && wow64=yes
(
    flock 9
    if [ "$(cat "$prefix/.trical-ready" 2>/dev/null)" != "wow64=$wow64" ]; then
        rm -rf "$prefix"
        $wine wineboot -i >/dev/null 2>&1
        cp /usr/share/wine/fonts/* "$prefix/drive_c/windows/Fonts/"
        $wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
        /usr/lib/wine/wineserver -w
        echo "wow64=$wow64" >"$prefix/.trical-ready"
    fi
) 9>"$prefix.lock"
exec $wine "$@"
