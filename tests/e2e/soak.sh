#!/bin/bash
# Runs the soak tests with trical's GDI trace on and checks from the trace
# that its live GDI objects stay flat: Wine counts them at every allocation
# and release ("N/65536"). The driver marks in the same stream the point
# after its warm-up and the end, each with trical's pid.
#   soak.sh DRIVER.exe [gtest options]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
summary=$(mktemp)
trap 'rm -f "$summary"' EXIT

# The trace runs to gigabytes: grep takes the few lines that matter before
# awk reads them, and everything that is not trace still reaches stderr.
{
    "$here/run-e2e.sh" "$@" 2>&1 >&3 |
        tee >(grep -F -v ':trace:' >&2) |
        grep -F -e '/65536' -e 'trical-soak ' |
        awk '
            # The driver writes its lines with CRLF.
            /^trical-soak / {
                sub(/\r$/, "")
                at[$2] = live[$3]
                if ($2 == "warm") { pid = $3; peak = live[$3] }
                next
            }
            # An allocation counts itself in, a release is counted before it.
            {
                p = substr($0, 1, index($0, ":") - 1)
                live[p] = $NF - (/ freed / ? 1 : 0)
                if (p == pid && !("done" in at) && live[p] > peak)
                    peak = live[p]
            }
            END { if ("warm" in at && "done" in at) print at["warm"], peak, at["done"] }' >"$summary"
    status=${PIPESTATUS[0]}
} 3>&1
read -r warm peak done <"$summary" || {
    echo "soak.sh: the trace held no marked GDI counts" >&2
    exit 1
}
echo "trical's live GDI objects: $warm after the warm-up, at most $peak during the run, $done at the end"
# Within a repaint a font, a brush and update regions come and go; what
# counts is that the run ends with as many as it had after the warm-up.
if [ "$done" -ne "$warm" ]; then
    echo "soak.sh: trical's GDI objects grew" >&2
    exit 1
fi
exit "$status"
