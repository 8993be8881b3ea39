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
export WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
# A prefix made before the 32-bit Wine was installed cannot run 32-bit
# programs; it is made again once that Wine is there.
wow64=no
[ -x /usr/lib/wine/wine ] && wow64=yes
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
