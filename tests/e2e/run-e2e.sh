#!/bin/bash
# Runs the end-to-end driver under wine64 with a wall clock that the driver
# can set: libfaketime is preloaded into the driver and, through the
# environment Wine hands down, into every trical.exe it starts. They all read
# one offset from a file that the driver rewrites to move their clock.
#   run-e2e.sh DRIVER.exe [gtest options]
# TRICAL_EXE names the calendar to drive, by default the one beside the
# driver. libfaketime does not reach a 32-bit Wine process's clock, so a
# 32-bit calendar is driven on the real clock, and where this machine does
# not run it itself (see can-run-32bit.sh) the run ends with 77, which ctest
# reports as skipped.
set -euo pipefail
driver=$1
shift
here=$(cd "$(dirname "$0")" && pwd)
exe=${TRICAL_EXE:-$(dirname "$driver")/trical.exe}
exe=$(cd "$(dirname "$exe")" && pwd)/$(basename "$exe")

# A missing calendar fails the run (can-run-32bit.sh's 2) rather than skipping it.
status=0
kind=$("$here/can-run-32bit.sh" "$exe") || status=$?
if [ $status -eq 1 ]; then
    echo "run-e2e.sh: skipped, $exe is a 32-bit program and $kind"
    exit 77
fi
[ $status -eq 0 ] || exit 1
[ "$kind" != 32-bit ] || export TRICAL_E2E_REAL_CLOCK=1
export TRICAL_EXE=$exe
wine_run=$here/../wine-run.sh
wineserver=/usr/lib/wine/wineserver
faketime_lib=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1
export WINEPREFIX=${WINEPREFIX:-$(cd "$(dirname "$driver")" && pwd)/wineprefix}

if [ ! -r "$faketime_lib" ]; then
    echo "run-e2e.sh: $faketime_lib is missing (Debian package libfaketime)" >&2
    exit 1
fi

# The first faked process of a run keeps its clock state in /dev/shm under
# its pid. Wine processes end without running libfaketime's clean-up, so
# those objects outlive them, and a later faked process that happens to get
# the same pid would exit at once. Only objects of dead pids are removed.
sweep_faketime_leftovers() {
    local object pid
    for object in /dev/shm/faketime_shm_* /dev/shm/sem.faketime_sem_*; do
        [ -e "$object" ] || continue
        pid=${object##*_}
        case $pid in *[!0-9]* | '') continue ;; esac
        kill -0 "$pid" 2>/dev/null || rm -f "$object"
    done
}

trap 'echo "run-e2e.sh: line $LINENO failed" >&2' ERR

# Waits for the prefix's wineserver, if one runs, to end with its last process.
# One that does not end within a minute serves someone else's program (a
# calendar started by hand, say), which this run would collide with.
wait_for_idle_prefix() {
    if ! timeout 60 "$wineserver" -w; then
        echo "run-e2e.sh: Wine programs are still running in $WINEPREFIX; end them first" >&2
        exit 1
    fi
}

# Beside the prefix, like wine-run.sh's lock: one run at a time uses it, and a
# run killed before its clean-up leaves nothing behind that accumulates.
clock=$WINEPREFIX.e2e-clock
trap 'rm -f "$clock" "$clock.new"; sweep_faketime_leftovers' EXIT
echo "+0" >"$clock"
sweep_faketime_leftovers

# Makes the prefix if this is its first use, with a clock that is not faked,
# and lists the tests the options choose. A server still ending after an
# earlier run can turn this client away at once (seen once in some forty
# runs); it is tried again after that one ends.
listed=no
for _ in 1 2 3 4 5; do
    wait_for_idle_prefix
    if tests=$("$wine_run" "$driver" --gtest_list_tests "$@"); then
        listed=yes
        break
    fi
    sleep 1
done
if [ $listed != yes ]; then
    echo "run-e2e.sh: the driver would not start under wine64" >&2
    exit 1
fi
# GoogleTest passes a filter that matches nothing, as a mistyped name would.
# The tests are listed indented under their suites.
if ! grep -q '^  [^ ]' <<<"$tests"; then
    echo "run-e2e.sh: no test matches: $*" >&2
    exit 1
fi

# wineserver keeps the system time and the timers of every Wine process, so it
# must run on the real clock: start it here, before any faked process could
# start one of its own. One left from an earlier run ends when its last
# process does; wait for that first.
started=no
for _ in 1 2 3 4 5; do
    wait_for_idle_prefix
    status=0
    "$wineserver" || status=$?
    if [ $status -eq 0 ]; then
        started=yes
        break
    fi
    # 2: another one came up meanwhile; let it end too.
    [ $status -eq 2 ] || break
done
if [ $started != yes ]; then
    echo "run-e2e.sh: could not start a wineserver of our own" >&2
    exit 1
fi

status=0
if [ "${TRICAL_E2E_REAL_CLOCK:-0}" = 1 ]; then
    # The tests then start on today's date; ctest leaves out those that move the clock.
    "$wine_run" "$driver" "$@" || status=$?
else
    LD_PRELOAD=$faketime_lib \
        FAKETIME_TIMESTAMP_FILE=$clock \
        FAKETIME_NO_CACHE=1 \
        FAKETIME_DONT_FAKE_MONOTONIC=1 \
        "$wine_run" "$driver" "$@" || status=$?
fi
exit $status
