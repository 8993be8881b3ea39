#!/bin/bash
# Tells whether this machine can run a Windows program under Wine:
#   can-run-32bit.sh EXE
# prints "32-bit" for a 32-bit program it can run and nothing for a 64-bit
# one, exiting 0; for a 32-bit program it cannot run it says why and exits 1.
# Some kernels are built or booted without 32-bit support, so the 32-bit
# Wine loader itself, a small 32-bit program, is started rather than a kernel
# version believed.
set -u
exe=$1
# The machine field of the PE header: 014c for a 32-bit x86 program.
header=$(od -An -tu4 -j 60 -N4 "$exe" | tr -d ' ')
[ "$(od -An -tx2 -j $((header + 4)) -N2 "$exe" | tr -d ' ')" = 014c ] || exit 0

loader=/usr/lib/wine/wine
if [ ! -x "$loader" ]; then
    echo "the 32-bit Wine is not installed (Debian's wine32:i386)"
    exit 1
fi
if ! error=$("$loader" --version 2>&1 >/dev/null); then
    echo "this machine cannot start a 32-bit program: $loader: ${error##*"$loader": }"
    exit 1
fi
echo 32-bit
