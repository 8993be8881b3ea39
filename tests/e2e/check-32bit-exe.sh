#!/bin/bash
# The 32-bit calendar is built in a tree of its own (build/win32, which
# scripts/test.sh builds before it runs these tests), and the e2e32 groups
# drive whatever file is there. This fails, and with it those groups, where
# that file is missing, is no 32-bit Windows program, or is behind its
# sources as its own build sees them.
#   check-32bit-exe.sh EXE
set -u
exe=$1
here=$(cd "$(dirname "$0")" && pwd)

fail() {
    echo "check-32bit-exe.sh: $*"
    exit 1
}

[ -e "$exe" ] || fail "$exe is missing: build it first (scripts/test.sh build)"
status=0
kind=$("$here/can-run-32bit.sh" "$exe") || status=$?
[ $status -le 1 ] || exit 1
[ $status -eq 1 ] || [ "$kind" = 32-bit ] || fail "$exe is a 64-bit program"

tree=$(dirname "$exe")
if [ ! -f "$tree/build.ninja" ]; then
    echo "$exe is a 32-bit program, from no build tree that could tell whether it is current"
    exit 0
fi
# Ninja's dry run names what it would build, and nothing where all is current.
if ! plan=$(ninja -C "$tree" -n trical 2>&1); then
    fail "ninja cannot tell whether $exe is current: $plan"
fi
grep -q 'no work to do' <<<"$plan" ||
    fail "$exe is behind its sources; build it again (cmake --build $tree):"$'\n'"$plan"
echo "$exe is a current 32-bit program"
