#!/bin/bash
# Tells whether this machine can run a Windows program under Wine:
#   can-run-32bit.sh EXE
# prints "32-bit" for a 32-bit program it can run and nothing for a 64-bit
# one, exiting 0; for a 32-bit program it cannot run it says why and exits 1.
# A file that is missing, unreadable or no Windows program is an error, said
# on stderr, exit 2: it must not pass for a 64-bit program.
#   can-run-32bit.sh
# asks the same of the 32-bit Wine alone (exit 0, or why and 1).
#
# Some kernels are built or booted without 32-bit support, so the 32-bit
# Wine loader itself, a small 32-bit program, is started rather than a kernel
# version believed. Where binfmt_misc hands i386 programs to an emulator
# (qemu-user), they start as well, but tens of times slower, too slowly for
# whole test groups: they count as runnable only with TRICAL_E2E_EMULATED=1,
# which the 32-bit smoke test (smoke32.sh) sets.
set -u
loader=/usr/lib/wine/wine
binfmt=/proc/sys/fs/binfmt_misc

error() {
    echo "can-run-32bit.sh: $*" >&2
    exit 2
}

# The machine field of a PE file's header: 014c for 32-bit x86, 8664 for x64.
pe_machine() {
    local exe=$1 header
    [ -f "$exe" ] || error "$exe does not exist"
    [ -r "$exe" ] || error "$exe cannot be read"
    [ "$(head -c 2 "$exe")" = MZ ] || error "$exe is no Windows program"
    header=$(od -An -tu4 -j 60 -N4 "$exe" | tr -d ' ')
    if [ -z "$header" ] || [ "$(od -An -c -j "$header" -N4 "$exe" | tr -d ' ')" != 'PE\0\0' ]; then
        error "$exe is no Windows program"
    fi
    od -An -tx2 -j $((header + 4)) -N2 "$exe" | tr -d ' '
}

# An enabled binfmt_misc entry of the kernel's that would take the file, by
# name; nothing where none would. The entries are the kernel's, shared by
# the whole machine, but only seen where binfmt_misc is mounted, so root
# mounts it first (as systemd does at boot; in a chroot it is not).
handled_by() {
    local file=$1 entry state line offset magic mask bytes i f m g
    if [ ! -e "$binfmt/status" ] && [ "$(id -u)" = 0 ]; then
        mount -t binfmt_misc binfmt_misc "$binfmt" 2>/dev/null
    fi
    [ "$(cat "$binfmt/status" 2>/dev/null)" = enabled ] || return 0
    # A smoke run ended by SIGKILL (ctest's timeout) could not remove its own
    # entry, named after its pid; left, it would pass every 32-bit program to
    # the emulator.
    for entry in "$binfmt"/trical-i386-*; do
        [ -e "$entry" ] || continue
        kill -0 "${entry##*-}" 2>/dev/null || echo -1 >"$entry" 2>/dev/null || true
    done
    bytes=$(od -An -v -tx1 -N256 "$file" | tr -d ' \n')
    for entry in "$binfmt"/*; do
        case ${entry##*/} in register | status) continue ;; esac
        state='' offset='' magic='' mask=''
        while read -r line; do
            case $line in
            enabled | disabled) state=$line ;;
            'offset '*) offset=${line#offset } ;;
            'magic '*) magic=${line#magic } ;;
            'mask '*) mask=${line#mask } ;;
            esac
        done <"$entry"
        if [ "$state" != enabled ] || [ -z "$magic" ]; then
            continue
        fi
        # The kernel compares the file's bytes, masked, with the magic.
        for ((i = 0; i < ${#magic}; i += 2)); do
            f=${bytes:offset * 2 + i:2}
            m=${mask:i:2}
            g=${magic:i:2}
            [ -n "$f" ] || continue 2
            (((0x$f & 0x${m:-ff}) == (0x$g & 0x${m:-ff}))) || continue 2
        done
        echo "${entry##*/}"
        return 0
    done
}

if [ $# -gt 0 ]; then
    case $(pe_machine "$1") in
    014c) ;;
    8664) exit 0 ;;
    '') exit 2 ;;
    *) error "$1 is a Windows program for neither x86 nor x64" ;;
    esac
fi

if [ ! -x "$loader" ]; then
    echo "the 32-bit Wine is not installed (Debian's wine32:i386)"
    exit 1
fi
entry=$(handled_by "$loader")
if [ -n "$entry" ] && [ "${TRICAL_E2E_EMULATED:-0}" != 1 ]; then
    echo "32-bit programs run here only emulated, by binfmt_misc's entry $entry" \
        "($(sed -n 's/^interpreter //p' "$binfmt/$entry")), too slowly for these tests"
    exit 1
fi
if ! error=$("$loader" --version 2>&1 >/dev/null); then
    echo "this machine cannot start a 32-bit program: $loader: ${error##*"$loader": }"
    exit 1
fi
echo 32-bit
