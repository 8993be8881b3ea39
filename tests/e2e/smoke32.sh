#!/bin/bash
# Starts the 32-bit calendar once (SmokeTest) on every machine that can run
# it at all: natively where the kernel runs 32-bit programs, and elsewhere
# under qemu-user, which binfmt_misc is told to hand i386 programs to for
# this run alone. Emulated, the calendar takes most of a minute to appear,
# too slow for whole groups but enough to see that it starts and works.
#   smoke32.sh DRIVER.exe       (TRICAL_EXE names the 32-bit calendar)
# Where neither works (no qemu-user, not root, no binfmt_misc) it ends with
# 77, which ctest reports as skipped, and says why.
set -euo pipefail
driver=$1
here=$(cd "$(dirname "$0")" && pwd)
exe=${TRICAL_EXE:?TRICAL_EXE names the 32-bit calendar}
binfmt=/proc/sys/fs/binfmt_misc
qemu=/usr/bin/qemu-i386
entry=trical-i386-$$
# Under ctest's TIMEOUT for the group (CMakeLists.txt), so that a stuck run
# is ended here, where the registration is taken back, rather than killed.
budget=1200

skip() {
    echo "smoke32.sh: skipped, $*"
    exit 77
}

# Its own prefix: one made with the emulator in place would otherwise stand
# in for the shared one, or make it over (wine-run.sh).
WINEPREFIX=$(cd "$(dirname "$driver")" && pwd)/wineprefix-smoke32
export WINEPREFIX

status=0
kind=$("$here/can-run-32bit.sh" "$exe") || status=$?
[ $status -le 1 ] || exit 1
if [ $status -eq 0 ] && [ "$kind" != 32-bit ]; then
    echo "smoke32.sh: $exe is no 32-bit program" >&2
    exit 1
fi

# Whatever happens, nothing of this run stays running in its prefix, and the
# emulator's registration goes: left, it would hand every later 32-bit
# program to the emulator. An entry that was there before is not ours and
# stays.
cleanup() {
    if ! timeout 60 /usr/lib/wine/wineserver -w 2>/dev/null; then
        /usr/lib/wine/wineserver -k 2>/dev/null || true
    fi
    if [ -e "$binfmt/$entry" ]; then
        echo -1 >"$binfmt/$entry"
    fi
}

if [ $status -eq 1 ]; then
    echo "smoke32.sh: natively $kind; trying qemu-user"
    [ -x /usr/lib/wine/wine ] || skip "$kind"
    [ -x $qemu ] || skip "$qemu is not installed (Debian's qemu-user)"
    [ "$(id -u)" = 0 ] || skip "only root can register $qemu with binfmt_misc"
    if [ ! -e "$binfmt/register" ]; then
        mount -t binfmt_misc binfmt_misc $binfmt 2>/dev/null ||
            skip "binfmt_misc cannot be mounted on $binfmt"
    fi
    trap cleanup EXIT
    trap 'exit 1' INT TERM
    # 32-bit little-endian x86 ELF executables and shared objects, as
    # qemu's own binfmt configuration names them. The newest entry is the
    # one the kernel takes, so another one, if there is one, is left be.
    magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
    mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
    echo ":$entry:M::$magic:$mask:$qemu:" >"$binfmt/register" ||
        skip "binfmt_misc would not take $qemu"
    # Without room kept free below 3 GiB, Wine's loader cannot map the
    # shared user data page at its fixed address.
    export QEMU_RESERVED_VA=0xbfff0000 TRICAL_E2E_EMULATED=1
    if ! why=$("$here/can-run-32bit.sh" "$exe"); then
        echo "smoke32.sh: registered $qemu, yet $why" >&2
        exit 1
    fi
    echo "smoke32.sh: 32-bit programs run under $qemu for this run (binfmt_misc entry $entry)"
else
    trap cleanup EXIT
    trap 'exit 1' INT TERM
fi

# In the background, waited for: a signal to this script is handled at once
# rather than once the run has ended, and passed on to everything the run
# started.
timeout $budget "$here/run-e2e.sh" "$driver" --gtest_filter='SmokeTest.*' &
run=$!
trap 'kill -TERM $run 2>/dev/null; exit 1' INT TERM
status=0
wait $run || status=$?
[ $status -ne 124 ] || echo "smoke32.sh: still running after $budget seconds" >&2
exit $status
